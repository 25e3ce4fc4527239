#include "atualizacoesPage.h"

namespace esc {

void AtualizacoesPage::atuDemRes() {}

void AtualizacoesPage::atuBalPatri() {}

void AtualizacoesPage::backUp() {}

} // namespace esc
