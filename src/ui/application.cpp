#include "application.h"

#include "store/storeerror.h"

namespace esc {

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const StoreError& e) {
    // One box at a time: the box's own event loop may meet the same fault again.
    if (ui_ && !e.silent() && !reporting_) {
      reporting_ = true;
      ui_->error(e.message());
      reporting_ = false;
    }
    return false;
  }
}

} // namespace esc
