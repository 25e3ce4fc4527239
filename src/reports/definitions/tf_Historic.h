#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The standard-description listing's definition (its query empty until built).
std::shared_ptr<ReportDefinition> makeHistoric();
// The dialog TF_SelHist.
DialogForm selHistForm();
// The query pieces of TF_SelHist, in order, from its values.
void buildHistoricQuery(QueryText& query, const ParamValues& values);

} // namespace esc::report
