#include "processing.h"

namespace esc {

bool DocumentProcessing::run() {
  return false;
}

} // namespace esc
