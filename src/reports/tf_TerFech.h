#pragma once
#include "tf_TerAber.h"

namespace esc::report {

// The closing term: the opening term's body under "Termo de Encerramento".
std::shared_ptr<ReportDefinition> makeTerFech(const FixedSource& cabecalh);

} // namespace esc::report
