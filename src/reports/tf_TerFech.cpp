// The closing term TF_TerFech.
#include "tf_TerFech.h"

namespace esc::report {

std::shared_ptr<ReportDefinition> makeTerFech(const FixedSource& cabecalh) {
  return makeTerm("TF_TerFech", "Termo de Encerramento", cabecalh);
}

} // namespace esc::report
