#include "atualizacoesPage.h"

#include "carryForward.h"
#include "syntheticUpdate.h"
#include "ui/pageParts.h"
#include "yearOpening.h"
#include "yearState.h"

#include <QVBoxLayout>

namespace esc {

AtualizacoesPage::AtualizacoesPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("TabAtualizacoes");
  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, "Atualizações"));
  auto add = [&](const QString& name, const QString& caption, const QString& hint,
                 void (AtualizacoesPage::*handler)()) {
    QPushButton* b = makeButton(this, name, caption, hint);
    col->addWidget(b);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  ButAtuSaldo =
      add("ButAtuSaldo", "Atualização de &Saldo de Contas Sintéticas",
          "Atualiza o saldo de todo o exercício selecionado", &AtualizacoesPage::atuSaldo);
  ButAberExer =
      add("ButAberExer", "Abertura do &Exercício Financeiro Posterior",
          "Cria as contas para o exercício posterior ao selecionado", &AtualizacoesPage::aberExer);
  ButTranspSdo = add("ButTranspSdo", "&Retransposição de saldos de balanço",
                     "Transpõe os saldos para o exercício posterior ao selecionado",
                     &AtualizacoesPage::transpSdo);
  ButAtuDemRes = add("ButAtuDemRes", "Atualização &Demonstração de Resultado",
                     "Atualiza a Demonstração de resultado para o período indicado",
                     &AtualizacoesPage::atuDemRes);
  ButAtuBalPatri = add("ButAtuBalPatri", "Atualização do Balanço &Patrimonial",
                       "Atualiza o Balanço Patrimonial para o exercício indicado",
                       &AtualizacoesPage::atuBalPatri);
  ButFechaExercicio = add("ButFechaExercicio", "&Fechamento de Exercício Financeiro", "",
                          &AtualizacoesPage::fechaExercicio);
  ButAbreExercicio = add("ButAbreExercicio", "Re&abertura de Exercício Fechado", "",
                         &AtualizacoesPage::abreExercicio);
  ButBackUp = add("ButBackUp", "&Cópia de Segurança do Banco de Dados",
                  "Faz uma cópia de todos os bancos de dados", &AtualizacoesPage::backUp);
  col->addStretch();
}

void AtualizacoesPage::atuSaldo() {
  SyntheticUpdate(ctx_, ctx_.selectedYear()).run();
}

void AtualizacoesPage::aberExer() {
  YearOpening(ctx_.dm(), ctx_.ui(), ctx_.selectedYear()).run();
}

void AtualizacoesPage::transpSdo() {
  CarryForward(ctx_, ctx_.selectedYear()).run();
}

void AtualizacoesPage::fechaExercicio() {
  YearState(ctx_.dm(), ctx_.ui(), ctx_.selectedYear()).close();
}

void AtualizacoesPage::abreExercicio() {
  YearState(ctx_.dm(), ctx_.ui(), ctx_.selectedYear()).reopen();
}

} // namespace esc
