#include "atualizacoesPage.h"

#include "carryForward.h"
#include "fiscalYear.h"
#include "syntheticUpdate.h"
#include "ui/pageParts.h"
#include "yearOpening.h"

#include <QVBoxLayout>

namespace esc {

AtualizacoesPage::AtualizacoesPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("TabAtualizacoes");
  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, "Atualizações"));
  auto add = [&](const QString& name, const QString& caption, const QString& hint, auto handler) {
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

// Leaves the chart and the trial balance in their primary orders, the chart on the result
// account, and remembers the search texts of both as they stood.
bool AtualizacoesPage::atuSaldo() {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  Database& db = dm.database();
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) {
    ui.message(book::text::noYearSelected);
    return false;
  }
  try {
    Table& chart = *dm.TbContas;
    const std::optional<OperationResult> refusal = syntheticUpdateRefusal(db, year);
    // The chart is looked up after the closed year was refused, and before its own refusal.
    if (!refusal || refusal->reason() == int(SyntheticRefusal::NoResultAccount)) {
      chart.setOrder({});
      ctx_.setSearchText(SearchKind::Contas, chart.field("CodigoContaContabil").asString());
    }
    if (refusal) {
      ui.message(refusal->message());
      return false;
    }
    chart.findKey({book::resultPair});
    Table& balance = *dm.TbBalanco;
    balance.setOrder({});
    ctx_.setSearchText(SearchKind::Balanco, balance.field("CodCtaConCodCtaCor").asString());
    const OperationResult r = syntheticUpdate(db, year, ui.progress());
    balance.setFiltered(false);
    ui.message(r.message());
    // A refused month leaves the bar where it stopped.
    if (r.isDone()) ui.progress().setPosition(0);
    return r.isDone();
  } catch (const StoreError& e) {
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

// Leaves the trial balance unrestricted and the years on the new one.
bool AtualizacoesPage::aberExer() {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  Database& db = dm.database();
  const QString year = ctx_.selectedYear().trimmed();
  if (const auto refusal = yearOpeningYearRefusal(year)) {
    ui.message(refusal->message());
    return false;
  }
  const QString next = book::nextYear(year);
  if (!ui.confirm("Confirma a abertura do exercício de " + next + "?")) return false;
  try {
    if (const auto refusal = yearOpeningRefusal(db, year)) {
      ui.message(refusal->message());
      return false;
    }
    Table& balance = *dm.TbBalanco;
    Table& years = *dm.TbFechamen;
    balance.checkBrowseMode();
    years.checkBrowseMode();
    const OperationResult r = openNextYear(db, year, ui.progress());
    balance.setFiltered(false);
    years.findKey({next});
    ui.message(r.message());
    ui.progress().setPosition(0);
    return r.isDone();
  } catch (const StoreError& e) {
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

// Leaves the trial balance in its primary order, unrestricted, and remembers its search text.
bool AtualizacoesPage::transpSdo() {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  Database& db = dm.database();
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) {
    ui.message(book::text::noYearSelected);
    return false;
  }
  try {
    if (const auto refusal = carryForwardRefusal(db, year)) {
      ui.message(refusal->message());
      return false;
    }
    if (!ui.confirm("Confirma a retransposição dos saldos de " + year + " para " +
                    book::nextYear(year) + "?"))
      return false;
    Table& balance = *dm.TbBalanco;
    balance.setOrder({});
    ctx_.setSearchText(SearchKind::Balanco, balance.field("CodCtaConCodCtaCor").asString());
    const OperationResult r = carryForward(db, year, ui.progress());
    balance.setFiltered(false);
    ui.message(r.message());
    ui.progress().setPosition(0);
    return r.isDone();
  } catch (const StoreError& e) {
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

bool AtualizacoesPage::fechaExercicio() {
  return changeYear(YearChange::Close);
}

bool AtualizacoesPage::abreExercicio() {
  return changeYear(YearChange::Reopen);
}

// The years' cursor stays on the selected year's row.
bool AtualizacoesPage::changeYear(YearChange change) {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) {
    ui.message(book::text::noYearSelected);
    return false;
  }
  try {
    Table& years = *dm.TbFechamen;
    years.findKey({year});
    if (const auto refusal = yearChangeRefusal(dm.database(), year, change)) {
      ui.message(refusal->message());
      return false;
    }
    if (!ui.confirm(yearChangeQuestion(change))) return false;
    const OperationResult r = changeYearState(dm.database(), year, change);
    years.findKey({year});
    ui.message(r.message());
    return r.isDone();
  } catch (const StoreError& e) {
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

} // namespace esc
