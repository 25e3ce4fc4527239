#include "chartsPage.h"

#include "book/period.h"
#include "reports/dialogs/reportRun.h"
#include "store/storeerror.h"
#include "ui/pageParts.h"

#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLineSeries>
#include <QRegularExpressionValidator>
#include <QToolTip>
#include <QVBoxLayout>

namespace esc {

namespace {

QChartView* makeView(QWidget* parent, const QString& name) {
  auto* view = new QChartView(parent);
  view->setObjectName(name);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(200, 150);
  return view;
}

// Shows `text` by the mouse while `on`, as the charts' hover signals say.
void tip(bool on, const QString& text) {
  if (on)
    QToolTip::showText(QCursor::pos(), text);
  else
    QToolTip::hideText();
}

// Gives `view` its new chart and deletes the one it showed.
void replaceChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

} // namespace

ChartsPage::ChartsPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("Graficos");
  openReport = [this](const QString& id, const report::ParamValues& values) {
    if (const report::ReportEntry* entry = report::ReportRegistry::instance().byId(id))
      report::run(ctx_, *entry, values, report::Output::Video, window());
  };
  askSavePath = [this](const QString& caption, const QString& suggested, const QString& filter) {
    return QFileDialog::getSaveFileName(this, caption, suggested, filter);
  };

  auto* column = new QVBoxLayout(this);
  LblGraficos = new QLabel(this);
  LblGraficos->setObjectName("LblGraficos");
  LblGraficos->setAlignment(Qt::AlignCenter);
  LblGraficos->setWordWrap(true);
  column->addWidget(LblGraficos, 1);
  auto* grid = new QGridLayout;
  GrafResultado = makeView(this, "GrafResultado");
  GrafDisponivel = makeView(this, "GrafDisponivel");
  GrafDespesas = makeView(this, "GrafDespesas");
  grid->addWidget(GrafResultado, 0, 0, 1, 2);
  grid->addWidget(GrafDisponivel, 1, 0);
  grid->addWidget(GrafDespesas, 1, 1);
  grid->setRowStretch(0, 1);
  grid->setRowStretch(1, 1);
  column->addLayout(grid, 1);

  auto* row = new QHBoxLayout;
  auto* prefixLabel = new QLabel("&Disponível (contas iniciadas por):", this);
  EdGDisponivel = new QLineEdit(this);
  EdGDisponivel->setObjectName("EdGDisponivel");
  EdGDisponivel->setMaxLength(6);
  EdGDisponivel->setMaximumWidth(70);
  EdGDisponivel->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), EdGDisponivel));
  const QString prefixHint =
      "O começo do código das contas de caixa e bancos que o gráfico do disponível mostra";
  EdGDisponivel->setToolTip(prefixHint);
  EdGDisponivel->setStatusTip(prefixHint);
  prefixLabel->setBuddy(EdGDisponivel);
  connect(EdGDisponivel, &QLineEdit::editingFinished, this, &ChartsPage::savePrefix);
  ButGSalvarImagem =
      makeButton(this, "ButGSalvarImagem", "Salvar &imagem", "Grava os gráficos numa imagem PNG");
  ButGSalvarPdf = makeButton(this, "ButGSalvarPdf", "Salvar &PDF",
                             "Grava os gráficos numa página A4 em PDF, com o cabeçalho da "
                             "organização");
  connect(ButGSalvarImagem, &QPushButton::clicked, this, [this] {
    saveAs(QStringLiteral("Salvar imagem"), QStringLiteral(".png"),
           QStringLiteral("Imagem PNG (*.png)"));
  });
  connect(ButGSalvarPdf, &QPushButton::clicked, this, [this] {
    saveAs(QStringLiteral("Salvar PDF"), QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"));
  });
  row->addWidget(prefixLabel);
  row->addWidget(EdGDisponivel);
  row->addStretch();
  row->addWidget(ButGSalvarImagem);
  row->addWidget(ButGSalvarPdf);
  column->addLayout(row);
  draw();
}

ChartsPage::~ChartsPage() = default;

quint64 ChartsPage::generation() const {
  Database& db = ctx_.dm().database();
  return db.generation(QStringLiteral("balanco")) + db.generation(QStringLiteral("contas"));
}

void ChartsPage::refresh() {
  Database& db = ctx_.dm().database();
  if (!db.isConnected()) return;
  try {
    panel_ = loadYearPanel(db, ctx_.selectedYear());
  } catch (const StoreError& e) {
    panel_ = YearPanel{};
    if (!e.silent()) ctx_.ui().error(e.message());
  }
  drawn_ = true;
  drawnYear_ = ctx_.selectedYear();
  drawnGeneration_ = generation();
  draw();
}

void ChartsPage::yearChanged() {
  if (isVisible()) refresh();
}

void ChartsPage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!drawn_ || drawnYear_ != ctx_.selectedYear() || drawnGeneration_ != generation()) refresh();
}

void ChartsPage::draw() {
  const QString sentence = charts::emptyPanelSentence(panel_);
  LblGraficos->setText(sentence);
  LblGraficos->setVisible(!sentence.isEmpty());
  for (QChartView* v : {GrafResultado, GrafDisponivel, GrafDespesas})
    v->setVisible(sentence.isEmpty());
  if (!EdGDisponivel->hasFocus()) EdGDisponivel->setText(panel_.cashPrefix);
  ButGSalvarImagem->setEnabled(!panel_.year.isEmpty());
  ButGSalvarPdf->setEnabled(!panel_.year.isEmpty());
  if (!sentence.isEmpty()) return;

  result_ = charts::makeResultChart(panel_);
  cash_ = charts::makeCashChart(panel_);
  expenses_ = charts::makeExpenseChart(panel_);
  replaceChart(GrafResultado, result_.chart);
  replaceChart(GrafDisponivel, cash_.chart);
  replaceChart(GrafDespesas, expenses_.chart);

  // Every part of a month tells the whole month; a click opens the group it stands for.
  auto monthOf = [](const QPointF& p) { return qBound(1, qRound(p.x()) + 1, 12); };
  connect(result_.revenue, &QBarSet::hovered, this,
          [this](bool on, int i) { tip(on, charts::monthTip(panel_, i + 1)); });
  connect(result_.expenses, &QBarSet::hovered, this,
          [this](bool on, int i) { tip(on, charts::monthTip(panel_, i + 1)); });
  for (QLineSeries* line : {result_.result, result_.accumulated}) {
    connect(line, &QLineSeries::hovered, this, [this, monthOf](const QPointF& p, bool on) {
      tip(on, charts::monthTip(panel_, monthOf(p)));
    });
    connect(line, &QLineSeries::clicked, this,
            [this, monthOf](const QPointF& p) { openMonth(monthOf(p), charts::Group::Result); });
  }
  connect(result_.revenue, &QBarSet::clicked, this,
          [this](int i) { openMonth(i + 1, charts::Group::Revenue); });
  connect(result_.expenses, &QBarSet::clicked, this,
          [this](int i) { openMonth(i + 1, charts::Group::Expenses); });
  for (int l = 0; l < cash_.lines.size(); ++l)
    connect(cash_.lines[l], &QLineSeries::hovered, this,
            [this, l, monthOf](const QPointF& p, bool on) {
              tip(on, charts::cashTip(panel_, cash_.total ? -1 : l, monthOf(p)));
            });
  const int count = int(panel_.largestExpenses.size());
  connect(expenses_.amounts, &QBarSet::hovered, this,
          [this, count](bool on, int i) { tip(on, charts::expenseTip(panel_, count - 1 - i)); });
  connect(expenses_.amounts, &QBarSet::clicked, this,
          [this, count](int i) { openExpense(count - 1 - i); });
}

void ChartsPage::openMonth(int month, charts::Group group) {
  if (panel_.year.isEmpty() || month < 1 || month > 12) return;
  // The trial balance of the month, every level of the group's accounts.
  const QString from = group == charts::Group::Expenses ? "400000" : "300000";
  const QString to = group == charts::Group::Revenue ? "399999" : "499999";
  openReport(
      QStringLiteral("balancete"),
      {{"EdBCon", from}, {"EdBConAte", to}, {"EdBPeriodo", book::period(panel_.year, month)}});
}

void ChartsPage::openExpense(int index) {
  if (index < 0 || index >= panel_.largestExpenses.size()) return;
  const PanelExpense& e = panel_.largestExpenses[index];
  openReport(QStringLiteral("razao"), {{"EdCon", e.code},
                                       {"EdCor", e.current},
                                       {"EdData", "01/01/" + panel_.year},
                                       {"EdDataAte", "31/12/" + panel_.year}});
}

bool ChartsPage::saveImage(const QString& path) {
  Database& db = ctx_.dm().database();
  const QString failure = charts::writePng(path, panel_, charts::readHeading(db), db.directory());
  if (!failure.isEmpty()) ctx_.ui().error(failure);
  return failure.isEmpty();
}

bool ChartsPage::savePdf(const QString& path) {
  Database& db = ctx_.dm().database();
  const QString failure = charts::writePdf(path, panel_, charts::readHeading(db), db.directory());
  if (!failure.isEmpty()) ctx_.ui().error(failure);
  return failure.isEmpty();
}

void ChartsPage::saveAs(const QString& caption, const QString& extension, const QString& filter) {
  if (panel_.year.isEmpty()) return;
  QString path = askSavePath(caption, "Graficos-" + panel_.year + extension, filter);
  if (path.isEmpty()) return;
  if (!path.endsWith(extension, Qt::CaseInsensitive)) path += extension;
  try {
    if (extension == QLatin1String(".png"))
      saveImage(path);
    else
      savePdf(path);
  } catch (const StoreError& e) {
    if (!e.silent()) ctx_.ui().error(e.message());
  }
}

void ChartsPage::savePrefix() {
  const QString prefix = EdGDisponivel->text().trimmed();
  if (prefix == panel_.cashPrefix || !ctx_.dm().database().isConnected()) return;
  try {
    const OperationResult r = saveCashPrefix(ctx_.dm().database(), prefix);
    if (r.isRefused()) {
      ctx_.ui().message(r.message());
      EdGDisponivel->setText(panel_.cashPrefix);
      return;
    }
  } catch (const StoreError& e) {
    if (!e.silent()) ctx_.ui().error(e.message());
    EdGDisponivel->setText(panel_.cashPrefix);
    return;
  }
  refresh();
}

} // namespace esc
