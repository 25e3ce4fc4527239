#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <QVector>

namespace esc {

// "Atualização do Balanço &Patrimonial": rebuilds `balpatri` for the fiscal year from its
// trial-balance rows: one row per account code of groups 1 and 2, analytic rows with the
// year's opening balance, movements and closing balance, synthetic rows rolled up from the
// analytic rows that follow them. The table is replaced whole in one transaction. The bar runs
// through each stage in turn. Refused only without a year. Figures: "rows written".
OperationResult updateBalanceSheet(Database& db, const QString& year, Progress& progress);

// The stages of the update between reading the trial balance and writing `balpatri`.
namespace balanceSheet {

// A code's first trial-balance row of the year, walking groups 1 and 2 in account order.
struct Account {
  QString code, nature, level, openingLetter;
  double opening = 0;
};
// A trial-balance row of the year in groups 1 and 2, in the trial balance's key order.
struct Movement {
  QString code;
  int month = 0; // 1 in the year's January, 12 in its December, 0 in the months between
  double debits = 0, credits = 0, opening = 0, closing = 0;
};
// A row of `balpatri`.
struct Row {
  QString code, nature, level, openingLetter, closingLetter;
  double debits = 0, credits = 0, opening = 0, closing = 0;
  bool analytic() const { return level == QLatin1String("6"); }
};

// The rows of the sheet in the table's key order (plain text order of the codes): an analytic
// code (level "6") totals its movements, opens with January's openings and closes with
// December's closings; a synthetic code (a level below "6") totals the analytic codes after it
// that begin with its first `level` characters, signed by their nature against its own; any
// other level keeps its first row's opening. Every amount to four decimal places.
QVector<Row> compute(const QVector<Account>& accounts, const QVector<Movement>& movements);

} // namespace balanceSheet

} // namespace esc
