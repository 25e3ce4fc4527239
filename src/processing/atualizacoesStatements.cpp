#include "atualizacoesPage.h"
#include "backupCopy.h"
#include "balanceSheetUpdate.h"
#include "incomeStatementUpdate.h"

namespace esc {

void AtualizacoesPage::atuDemRes() {
  IncomeStatementUpdate(ctx_).run();
}

void AtualizacoesPage::atuBalPatri() {
  BalanceSheetUpdate(ctx_).run();
}

void AtualizacoesPage::backUp() {
  BackupCopy(ctx_).run();
}

} // namespace esc
