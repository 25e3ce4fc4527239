#pragma once
#include "ui/mainContext.h"

#include <QString>

namespace esc {

// "Atualização &Demonstração de Resultado": fills the lines of `TbDemResul` with one month's
// closing balances of the analytic accounts in each line's range, then walks the lines in
// order keeping the running result that the "=" lines show. All lines change in one
// transaction, or none does.
class IncomeStatementUpdate {
public:
  explicit IncomeStatementUpdate(MainContext& ctx) : ctx_(ctx) {}

  // Asks for the period and updates; true when the lines were written.
  bool run();
  // The update for a period already typed (the prompt's answer).
  bool update(const QString& period);

private:
  MainContext& ctx_;
};

} // namespace esc
