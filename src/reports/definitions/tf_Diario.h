#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The journal book, with its fixed query QryDiario: every entry of every fiscal year, in
// date order.
std::shared_ptr<ReportDefinition> makeDiario();

} // namespace esc::report
