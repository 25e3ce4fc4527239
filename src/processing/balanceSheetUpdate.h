#pragma once
#include "ui/mainContext.h"

#include <QString>

namespace esc {

// "Atualização do Balanço &Patrimonial": rebuilds `TbBalPatri` for the selected fiscal year
// from its trial-balance rows: one row per account code of groups 1 and 2, analytic rows
// with the year's opening balance, movements and closing balance, synthetic rows rolled up
// from the analytic rows that follow them. The table is replaced whole in one transaction.
class BalanceSheetUpdate {
public:
  explicit BalanceSheetUpdate(MainContext& ctx) : ctx_(ctx) {}

  // True when the table was rebuilt.
  bool run();

  // The letter of a balance: analytic rows follow the nature "C" or else "D"; synthetic
  // rows follow "C" or "D" and keep `current` for any other nature.
  static QString analyticLetter(const QString& nature, double value);
  static QString syntheticLetter(const QString& nature, double value, const QString& current);

private:
  MainContext& ctx_;
};

} // namespace esc
