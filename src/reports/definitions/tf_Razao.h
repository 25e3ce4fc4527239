#pragma once
#include "reports/engine/registry.h"

namespace esc::report {

// The general ledger's definition (its query empty until built).
std::shared_ptr<ReportDefinition> makeRazao();
// The dialog TF_SelRelan.
DialogForm selRelanForm();
// The query pieces of TF_SelRelan, in order, from its values. `output` matters: only
// "&Vídeo" trims the first account code of a range. Returns false, with the text left
// partly built, when a date cannot be read (the run is then refused).
bool buildRazaoQuery(QueryText& query, const ParamValues& values, Output output);

// The previous balance of an account's group, from its first listed entry, and its letter.
extern const QString razaoPreviousBalance;
extern const QString razaoPreviousLetter;

} // namespace esc::report
