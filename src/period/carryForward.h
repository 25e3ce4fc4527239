#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <QVariant>
#include <QVector>
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

// The stages of the carry between reading both years' rows and writing the next year's.
namespace carry {

// A December row of the year carried, in key order.
struct DecemberRow {
  QString code, current, nature, letter;
  double closing = 0;
};
// A row of the next year as the chain needs it. Blank movements read as 0; a closing that the
// chain does not compute is written back as it was, blank included.
struct NextRow {
  QString key; // CodCtaConCodCtaCor
  qint64 rowId = 0;
  double debits = 0, credits = 0;
  double before = 0;
  QString letterBefore;
  QVariant now;
  QString letterNow;
  QVariantList stored; // the four values as they were read: an unchanged row is not written
  QVariantList values() const { return {before, letterBefore, now, letterNow}; }
};
// The next year's rows to write, in the order they are written, each with the index of the
// December row that carried it; or the key of the first missing January row.
struct Plan {
  struct Write {
    int source = 0;
    NextRow row;
  };
  QVector<Write> writes;
  QString missingKey;
};

// The chain of each December row through `next`'s months, as carryForward describes it.
Plan compute(const QString& next, const QVector<DecemberRow>& sources, QVector<NextRow> rows);

} // namespace carry

} // namespace esc
