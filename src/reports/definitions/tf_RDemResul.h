#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The income statement, with its fixed query QryDemResul: the groups as the income-statement
// update last stored them, in the groups' order.
std::shared_ptr<ReportDefinition> makeRDemResul();

} // namespace esc::report
