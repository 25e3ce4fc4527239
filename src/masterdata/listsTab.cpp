#include "listsTab.h"

#include "ui/pageParts.h"
#include "ui/search.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace esc {

namespace {

const QString readOnlyHint =
    QStringLiteral("Esta tela é somente para leitura. Não se pode modificar os dados.");

} // namespace

struct ListsTab::Page {
  QString caption;
  QString gridName;
  Table* table;
  DataSource* source;
  QVector<GridColumn> columns;
  bool readOnly = true;
  NavBarNames bar{}; // empty = no bar and no counters
  QString recNoName, totalName;
  QWidget* besideBar = nullptr; // a button that stands after the bar
};

ListsTab::ListsTab(MainContext& ctx, QWidget* parent) : QTabWidget(parent), ctx_(ctx) {
  setObjectName("Listas");
  TDEscrivon& dm = ctx.dm();
  addPage({"Contas",
           "DBGrContas",
           dm.TbContas,
           dm.DsContas,
           {{"CodigoContaContabil", {}},
            {"NomeContaContabil", {}},
            {"CodigoContaCorrente", "Conta Corrente"},
            {"NomeContaCorrente", {}},
            {"TipoDeSaldo", {}},
            {"NivelDaConta", {}},
            {"CodCtaConCodCtaCor", "Chave de Busca"}},
           true,
           {"ButCEdFirst", "ButCEdRw", "ButCEdPrior", "ButCEdNext", "ButCEdFW", "ButCEdLast",
            "MaskCSaltoEd"},
           "EdCEdRecNo",
           "EdCEdTotRec"});
  addPage({"Históricos",
           "DBGrHistoric",
           dm.TbHistoric,
           dm.DsHistoric,
           {{"CodigoHistorico", {}}, {"NomeHistorico", {}}},
           true,
           {"ButHEdFirs", "ButHEdRW", "ButHEdPrior", "ButHEdNext", "ButHEdFF", "ButHEdLast",
            "MaskHSaltoEd"},
           "EdHEdRecNo",
           "EdHEdTotRec"});
  QWidget* entries = addPage({"Lançamentos",
                              "DBGrLancamen",
                              dm.TbLancamen,
                              dm.DsLancamen,
                              {{"CodigoContaContabil", {}},
                               {"CodigoContaCorrente", {}},
                               {"CodigoHistorico", {}},
                               {"DataDaContabilizacao", {}},
                               {"TipoDeLancamento", {}},
                               {"ValorLancamento", {}},
                               {"HistoricoComplementar", {}},
                               {"NumeroDocumento", {}},
                               {"NomeContaContabil", {}},
                               {"NomeContaCorrente", "Chave de Busca"},
                               {"NomeHistorico", {}},
                               {"Situacao", {}},
                               {"SaldoAtual", {}},
                               {"TipoSaldoAtual", {}}},
                              true,
                              {"ButLEdFirs", "ButLEdRW", "ButLEdPrior", "ButLEdNext", "ButLEdFF",
                               "ButLEdLast", "MaskLSaltoEd"},
                              "EdLEdRecNo",
                              "EdLEdTotRec"});
  // The trial balance is the one list with a search of its own.
  auto* search =
      makeButton(this, "ButBBuscaLote", "&Buscar", "Busca o registro pela chave de busca");
  connect(search, &QPushButton::clicked, this,
          [this] { runSearch(ctx_, SearchKind::Balanco, ctx_.dm().DsBalanco, "Balanco"); });
  addPage({"Balancete",
           "DBGrBalanco",
           dm.TbBalanco,
           dm.DsBalanco,
           {{"Periodo", {}},
            {"CodigoContaContabil", {}},
            {"CodigoContaCorrente", {}},
            {"TipoSaldoAnterior", {}},
            {"SaldoAnterior", {}},
            {"ValorCredito", {}},
            {"ValorDebito", {}},
            {"SaldoAtual", {}},
            {"TipoSaldoAtual", {}},
            {"CodCtaConCodCtaCor", {}}},
           true,
           {"ButBEdFirst", "ButBEdRW", "ButBEdPrior", "ButBEdNext", "ButBEdFF", "ButBEdLast",
            "MaskBSaltoEd"},
           "EdBEdRecNo",
           "EdBEdTotRec",
           search});
  addPage({"Dem. Res.",
           "DBGrid1",
           dm.TbDemResul,
           dm.DsDemResul,
           {{"ContaInicial", {}},
            {"ContaFinal", {}},
            {"NomeDoGrupo", {}},
            {"SinalDoGrupo", {}},
            {"SaldoDoGrupo", {}},
            {"Acumulado", {}},
            {"OrdemDoGrupo", {}},
            {"AnoEMes", {}}},
           true,
           {"ButDEdFirst", "ButDEdRW", "ButDEdPrior", "ButDEdNext", "ButDEdFF", "ButDEdLast",
            "MaskDSaltoEd"},
           "EdDEdRecNo",
           "EdDEdTotRec"});
  addPage({"Bal. Patr.",
           "DBGrid2",
           dm.TbBalPatri,
           dm.DsBalpatri,
           {{"CodigoContaContabil", {}},
            {"TipoSaldoAnterior", {}},
            {"SaldoAnterior", {}},
            {"ValorCredito", {}},
            {"ValorDebito", {}},
            {"SaldoAtual", {}},
            {"TipoSaldoAtual", {}},
            {"NaturezaDaConta", "Nat."},
            {"NivelDaConta", "Nív."},
            {"Periodo", {}}},
           false,
           {},
           {},
           {}});

  setCurrentWidget(entries);
  refreshCounters();
}

QWidget* ListsTab::addPage(const Page& p) {
  auto* page = new QWidget(this);
  auto* column = new QVBoxLayout(page);
  auto* grid = new DBGrid(page);
  grid->setObjectName(p.gridName);
  grid->setUi(&ctx_.ui());
  grid->setDataSource(p.source);
  grid->setColumns(p.columns);
  grid->setReadOnly(p.readOnly);
  if (p.readOnly) {
    grid->setToolTip(readOnlyHint);
    grid->setStatusTip(readOnlyHint);
  }
  column->addWidget(grid, 1);
  if (!p.bar.first.isEmpty()) {
    auto* row = new QHBoxLayout;
    row->addWidget(new NavBar(p.table, ctx_.ui(), p.bar, page));
    if (p.besideBar) row->addWidget(p.besideBar);
    row->addStretch();
    auto* counters = new RecordCounters(p.recNoName, p.totalName, page);
    row->addWidget(counters);
    column->addLayout(row);
    counters_ << std::make_pair(counters, p.table);
  }
  addTab(page, p.caption);
  return page;
}

void ListsTab::refreshCounters() {
  for (auto& [counters, table] : counters_)
    counters->show(table);
}

} // namespace esc
