#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The entry listing's definition (its query empty until built).
std::shared_ptr<ReportDefinition> makeLanctos();
// The dialog TF_SeLanctos.
DialogForm seLanctosForm();
// The query pieces of TF_SeLanctos, in order, from its values. Throws Refusal when a date
// field holds what is not a date.
void buildLanctosQuery(QueryText& query, const ParamValues& values);

} // namespace esc::report
