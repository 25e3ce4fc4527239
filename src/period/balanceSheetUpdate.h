#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>

namespace esc {

// "Atualização do Balanço &Patrimonial": rebuilds `balpatri` for the fiscal year from its
// trial-balance rows: one row per account code of groups 1 and 2, analytic rows with the
// year's opening balance, movements and closing balance, synthetic rows rolled up from the
// analytic rows that follow them. The table is replaced whole in one transaction. The bar runs
// through each stage in turn. Refused only without a year. Figures: "rows written".
OperationResult updateBalanceSheet(Database& db, const QString& year, Progress& progress);

} // namespace esc
