#pragma once
// Books for the year-routine tests: random trial balances, row dumps compared to the last bit,
// and the routines written out step by step on the store's cursors, the reference the fast
// routines are held to.
#include "bookRows.h"
#include "printers.h"
#include "store/dataModule.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace esc::test {

struct RandomBook {
  QString year = "2003";
  unsigned seed = 1;
  int analyticCodes = 30;
  int missingPercent = 3; // share of (account, month) rows left out, never the result account's
  bool nextYear = false;  // also rows of the following year, open in TbFechamen
  bool blankAmounts = true;
};

// Chart and trial balance of a random book: synthetic accounts on every level above each
// analytic code (and a few that sort after their analytic rows or share an analytic code),
// several current accounts, natures "D", "C" and blank, negative balances, missing months,
// rows inserted in random order. The same options give the same rows.
void fillRandomBook(Database& db, const RandomBook& options);

// Equal values, amounts compared bit for bit (so 0 and -0, or sums that differ in their last
// digit, do not pass as equal). Returns a description of the first difference, "" when none.
QString firstDifference(const QVector<QVariantList>& a, const QVector<QVariantList>& b);

// Makes the next write matching `when` (an SQL condition on NEW) fail, as a store failure in
// the middle of an operation would.
void failWhen(Database& db, const QString& table, const QString& event, const QString& when);
void stopFailing(Database& db);

// How the walked synthetic update ended.
struct RollUpResult {
  QString missingPeriod; // the first period without the result account's row; "" when done
  int syntheticRows = 0; // synthetic rows written over the twelve months
  bool done() const { return missingPeriod.isEmpty(); }
};

namespace literal {

// The synthetic update from its preparation on, row by row on the cursors.
RollUpResult syntheticUpdate(TDEscrivon& dm, const QString& year);
// Opening the next year from its step 4 on.
void openNextYear(TDEscrivon& dm, const QString& year);
// Carrying balances from step 5 on; the key of a missing January row, "" when done.
QString carryForward(TDEscrivon& dm, const QString& year);

} // namespace literal

} // namespace esc::test
