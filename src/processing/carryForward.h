#pragma once
#include "ui/mainContext.h"

#include <QString>

namespace esc {

// "&Retransposição de saldos de balanço": carries the selected year's December closing
// balances into the year after it, which must be open. For each December row, in key order,
// the next year's January of the same account opens with December's closing balance and letter
// (a result account, groups 3 and above, with 0 and its nature), and the twelve months are
// chained: each closes at its opening plus the movements on the side of December's nature and
// hands its closing to the next existing month. Rows of a nature other than "D" or "C" keep
// their closing and pass their opening on. All of it, or nothing when a January row is missing.
// Leaves the trial balance in its primary order, unrestricted, and remembers its search text.
class CarryForward {
public:
  CarryForward(MainContext& ctx, const QString& year) : ctx_(ctx), year_(year) {}
  bool run(); // true when the balances were carried

private:
  MainContext& ctx_;
  QString year_;
};

} // namespace esc
