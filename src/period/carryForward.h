#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <optional>

namespace esc {

// The refusals of carrying `year` forward, in their order: no year, the next year not yet
// opened, the next year closed. Nothing when it may run; the page says it before asking.
std::optional<OperationResult> carryForwardRefusal(Database& db, const QString& year);

// "&Retransposição de saldos de balanço": carries the year's December closing balances into
// the year after it, which must be open. For each December row, in key order, the next year's
// January of the same account opens with December's closing balance and letter (a result
// account, groups 3 and above, with 0 and its nature), and the twelve months are chained: each
// closes at its opening plus the movements on the side of December's nature and hands its
// closing to the next existing month. Rows of a nature other than "D" or "C" keep their closing
// and pass their opening on. All of it, or nothing (refused, naming the key) when a January row
// is missing. The bar runs over the December rows. Figures: "accounts carried", "rows written".
OperationResult carryForward(Database& db, const QString& year, Progress& progress);

} // namespace esc
