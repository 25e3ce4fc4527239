#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The plan of accounts, the whole chart at once, with its fixed query.
std::shared_ptr<ReportDefinition> makePlanoContas();

} // namespace esc::report
