#pragma once
#include "ui/mainContext.h"

#include <QString>
#include <functional>

namespace esc {

struct RollUpResult {
  QString missingPeriod; // the first period without the result account's row; "" when done
  int syntheticRows = 0; // synthetic rows written over the twelve months
  bool done() const { return missingPeriod.isEmpty(); }
};

// The roll-up of one fiscal year of the trial balance, month by month from January:
//  - the result account (299999 / 999) opens each month with the balance it closed the month
//    before (January keeps its own opening) and receives as movements the debits and credits of
//    the analytic rows of groups 3 and 4 whose nature is "D" or "C";
//  - every synthetic row (level below "6") gets the sums of the analytic rows of its month that
//    sort after it and whose code begins with its first `level` characters; balances of the
//    other nature count negatively, and its letters follow its nature (a row of another nature
//    keeps its letters).
// Amounts are added in the trial balance's key order, so the sums are the same to the last bit
// however often the year is rolled up. One read of each month in key order and one write per
// row written; nothing is kept unless the whole year is done (a missing result-account row
// leaves the year as it was). Needs only the connection, so a new book can be rolled up before
// any cursor exists. `monthDone` is told each month finished (1 to 12).
RollUpResult rollUpYear(Database& db, const QString& year,
                        const std::function<void(int month)>& monthDone = {});

// "Atualização de &Saldo de Contas Sintéticas": the checks, the roll-up of the selected year,
// the progress bar and the outcome. Leaves the chart and the trial balance in their primary
// orders, the chart on the result account, and remembers the search texts of both.
class SyntheticUpdate {
public:
  SyntheticUpdate(MainContext& ctx, const QString& year) : ctx_(ctx), year_(year) {}
  bool run(); // true when the year was rolled up

private:
  MainContext& ctx_;
  QString year_;
};

} // namespace esc
