#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
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

} // namespace esc
