#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The trial balance's definition (its query empty until built).
std::shared_ptr<ReportDefinition> makeBalanco();
// The dialog TF_SelBalan.
DialogForm selBalanForm();
// The query pieces of TF_SelBalan, in order, from its values.
void buildBalancoQuery(QueryText& query, const ParamValues& values);

} // namespace esc::report
