#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The balance sheet, with its fixed query QryBalPatri: each row of the balance-sheet table
// once, in account-code order, with its account's name, totals and signatures.
std::shared_ptr<ReportDefinition> makeBalPatri();

} // namespace esc::report
