#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <optional>

namespace esc {

// The refusal of a selected year whose next year would not fit the four characters of a
// period's year (or of no year at all); nothing for a year that may be opened. The page says it
// before asking to confirm.
std::optional<OperationResult> yearOpeningYearRefusal(const QString& year);
// Those refusals, then the next year opened before: every refusal of openNextYear().
std::optional<OperationResult> yearOpeningRefusal(Database& db, const QString& year);

// "Abertura do &Exercício Financeiro Posterior": creates the year after `year`.
// Every December row of the year gives twelve rows of the new year with no movements:
// accounts of groups 1 and 2 copy December's balances and letters, result accounts (groups 3
// and above) start at zero with their nature as both letters. The year becomes "T" and the new
// year is added to TbFechamen, open. All of it, or nothing when a row of the new year already
// exists (a store failure: "Key violation."). Refused as yearOpeningRefusal() says. The bar runs
// over the December rows. Figures: "accounts" (December rows), "rows written".
OperationResult openNextYear(Database& db, const QString& year, Progress& progress);

} // namespace esc
