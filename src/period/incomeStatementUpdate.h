#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

namespace esc {

// The refusal of a period without trial-balance rows (an empty period is no restriction at all
// and refused too); nothing when the update may run. The period is matched as stored texts
// are, without trailing spaces.
std::optional<OperationResult> incomeStatementRefusal(Database& db, const QString& period);

// "Atualização &Demonstração de Resultado": fills the lines of `demresul` with one month's
// closing balances of the analytic accounts in each line's range, then walks the lines in
// order keeping the running result that the "=" lines show. `lines` are the row ids of the
// lines in the order the caller shows them (all lines by their number when not given). All lines
// change in one transaction, or none does. The bar runs over two passes of the lines.
// Figures: "lines written".
OperationResult updateIncomeStatement(Database& db, const QString& period, Progress& progress,
                                      const std::optional<QVector<qint64>>& lines = {});

// The stages of the update between reading the lines with their ranges and writing them.
namespace incomeStatement {

// A trial-balance row of the period within a line's range, in the trial balance's key order.
struct RangeRow {
  QString level, nature;
  double balance = 0;
};
// A line of `demresul` as read, with the rows of its range.
struct Line {
  qint64 rowId = 0;
  QString sign;
  QVariant accumulated; // left as stored for a line of an unknown sign
  QVector<RangeRow> rows;
};
// What a line is written with.
struct Values {
  qint64 rowId = 0;
  QVariant own, accumulated;
};

// Each line's own total, then the running result in the lines' order: a "+" or "-" line adds
// or subtracts its total from the result and accumulates 0, an "=" line accumulates the
// result and owns 0, a line without a sign accumulates its own total and owns 0, and a line of
// any other sign owns its total and keeps its accumulated value.
QVector<Values> compute(const QVector<Line>& lines);

} // namespace incomeStatement

} // namespace esc
