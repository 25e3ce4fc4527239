#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <QVariantList>
#include <QVector>
#include <optional>

namespace esc {

// Why a synthetic update was refused (OperationResult::reason).
enum class SyntheticRefusal { NoYear = 1, YearClosed, NoResultAccount, MissingResultMonth };

// The refusals the synthetic update gives before it reads a month, in their order: no year,
// the year closed, the result account (299999 / 999) missing from the chart. Nothing when the
// update may run.
std::optional<OperationResult> syntheticUpdateRefusal(Database& db, const QString& year);

// "Atualização de &Saldo de Contas Sintéticas": the roll-up of one fiscal year of the trial
// balance, month by month from January:
//  - the result account (299999 / 999) opens each month with the balance it closed the month
//    before (January keeps its own opening) and receives as movements the debits and credits of
//    the analytic rows of groups 3 and 4 whose nature is "D" or "C";
//  - every synthetic row (level below "6") gets the sums of the analytic rows of its month that
//    sort after it and whose code begins with its first `level` characters; balances of the
//    other nature count negatively, and its letters follow its nature (a row of another nature
//    keeps its letters).
// Amounts are added in the trial balance's key order, so the sums are the same to the last bit
// however often the year is rolled up. One read of each month in key order and one write per
// row that changes; nothing is kept unless the whole year is done (a missing result-account row
// of a month refuses with the year as it was, `progress` left on the months done). The bar runs
// over the twelve months. Figures: "synthetic rows" (rolled up over the twelve months, the count
// the message says), "rows written".
OperationResult syntheticUpdate(Database& db, const QString& year, Progress& progress);

// A trial-balance row the roll-up writes, with the values it writes: SaldoAnterior, SaldoAtual,
// ValorDebito, ValorCredito, TipoSaldoAnterior, TipoSaldoAtual (the result account's opening
// letter is never written).
struct SyntheticRowChange {
  qint64 rowId = 0;
  QString key; // CodCtaConCodCtaCor
  QVariantList values;
  bool resultAccount = false;
};

// What the roll-up of a year would write now, read without writing: the rows whose stored
// values differ from the roll-up's, in the order it writes them. A book whose synthetic rows
// and result account are up to date gives no change.
struct SyntheticRollUp {
  QVector<SyntheticRowChange> changes;
  int synthetic = 0;          // synthetic rows rolled up over the twelve months
  int monthsDone = 0;         // months read before a month without the result account's row
  QString missingResultMonth; // that month's period; "" when every month has it
};
// The computation of syntheticUpdate() without its refusals and its writes (the book's check
// compares the stored rows with it). The bar runs over the twelve months.
SyntheticRollUp computeSyntheticUpdate(Database& db, const QString& year, Progress& progress);

} // namespace esc
