#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The plan of accounts and the account listing print the chart with one layout; they differ
// in the title line, the font sizes and a few positions.
enum class ChartListing { Plan, Selection };
std::shared_ptr<ReportDefinition> makeChartListing(ChartListing variant);

// The account listing's definition (its query empty until built).
std::shared_ptr<ReportDefinition> makeContas();
// The dialog TF_SeLContas.
DialogForm seLContasForm();
// The query pieces of TF_SeLContas, in order, from its values.
void buildContasQuery(QueryText& query, const ParamValues& values);

} // namespace esc::report
