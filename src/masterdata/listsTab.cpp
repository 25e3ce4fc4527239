#include "listsTab.h"

#include "ui/pageParts.h"
#include "ui/search.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>
#include <functional>

namespace esc {

namespace {

const QString readOnlyHint =
    QStringLiteral("Esta tela é somente para leitura. Não se pode modificar os dados.");

// Room for the widest value a column holds and for its title, measured in the grid's own
// fonts, so codes, dates and amounts show whole.
int columnWidth(const QWidget* grid, const Table& table, const GridColumn& column) {
  const TableDef& def = table.def();
  QString title = column.title;
  QString sample;
  const int fi = def.fieldIndex(column.field);
  if (fi >= 0) {
    const FieldDef& f = def.fields[fi];
    if (title.isEmpty()) title = f.displayLabel();
    if (f.type == FieldType::Float)
      sample = QStringLiteral("-99.999.999,99");
    else if (f.type == FieldType::Date)
      sample = QStringLiteral("00/00/0000");
    else if (f.width <= 20)
      sample = QString(qMax(f.width, 1), QChar('0'));
    else
      sample = QString(f.width, QChar('N')); // names: upper-case letters
  } else if (const LookupDef* l = def.lookup(column.field)) {
    if (title.isEmpty()) title = l->label;
    sample = QString(l->width, QChar('N'));
  }
  QFont bold = grid->font();
  bold.setBold(true);
  const int titleWidth = QFontMetrics(bold).horizontalAdvance(title) + 16;
  // Long names are rarely full: three quarters of their width shows nearly all of them.
  int cellWidth = grid->fontMetrics().horizontalAdvance(sample);
  if (sample.startsWith('N')) cellWidth = cellWidth * 3 / 4;
  return qMax(titleWidth, cellWidth + 12);
}

// Runs an action when the keyboard brings the focus onto a widget (Tab or Shift+Tab), as a
// click does. A mouse press also focuses the widget, but its click runs the action then,
// and the focus coming back when a dialog closes must not run it again.
class OnKeyboardFocus : public QObject {
public:
  OnKeyboardFocus(QWidget* widget, std::function<void()> action)
      : QObject(widget), action_(std::move(action)) {
    widget->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) action_();
    }
    return QObject::eventFilter(watched, event);
  }

private:
  std::function<void()> action_;
};

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
  // The trial balance is the one list with a search of its own; it runs on a click and when
  // the user tabs onto the button. The prompt names the order chosen on "Índices" while the
  // search follows the table's active order, which period operations may have changed.
  auto* search =
      makeButton(this, "ButBBuscaLote", "&Buscar", "Busca o registro pela chave de busca");
  auto searchBalanco = [this] {
    runSearch(ctx_, SearchKind::Balanco, ctx_.dm().DsBalanco, "Balanco");
  };
  connect(search, &QPushButton::clicked, this, searchBalanco);
  new OnKeyboardFocus(search, searchBalanco);
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
  QVector<GridColumn> columns = p.columns;
  for (GridColumn& c : columns)
    if (c.width <= 0) c.width = columnWidth(grid, *p.table, c);
  grid->setColumns(columns);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setReadOnly(p.readOnly);
  if (p.readOnly) {
    grid->setToolTip(readOnlyHint);
    grid->setStatusTip(readOnlyHint);
  }
  column->addWidget(grid, 1);
  if (!p.bar.first.isEmpty()) {
    auto* row = new QHBoxLayout;
    row->addWidget(new NavBar(p.table, ctx_.ui(), p.bar, page));
    row->addStretch();
    auto* counters = new RecordCounters(p.recNoName, p.totalName, page);
    if (p.besideBar) {
      // Bar, button and counters do not fit one line at the page's width: the counters
      // take a line of their own under the bar.
      row->addWidget(p.besideBar);
      // After the skip box in the tab order, as it stands on the page.
      if (auto* skip = page->findChild<QLineEdit*>(p.bar.skipBox))
        QWidget::setTabOrder(skip, p.besideBar);
      column->addLayout(row);
      row = new QHBoxLayout;
      row->addStretch();
    }
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
