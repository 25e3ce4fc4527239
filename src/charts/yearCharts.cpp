#include "yearCharts.h"

#include "reports/engine/pdfOutput.h"
#include "store/formats.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QValueAxis>
#include <cmath>

namespace esc::charts {

namespace {

const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);

// Axes read in the book's form: "12.000" (whole amounts; cents when the range is small).
QValueAxis* amountAxis(QChart* chart, double low, double high) {
  auto* axis = new QValueAxis;
  if (low == high) high = low + 1;
  axis->setRange(std::min(low, 0.0), std::max(high, 0.0));
  axis->applyNiceNumbers();
  axis->setLabelFormat(axis->max() - axis->min() < 10 ? QStringLiteral("%.2f")
                                                      : QStringLiteral("%.0f"));
  QFont f = axis->labelsFont();
  f.setPixelSize(9);
  axis->setLabelsFont(f);
  chart->setLocalizeNumbers(true);
  chart->setLocale(brazil);
  return axis;
}

QChart* newChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  QFont f = chart->titleFont();
  f.setPixelSize(12);
  f.setBold(true);
  chart->setTitleFont(f);
  chart->setAnimationOptions(QChart::NoAnimation);
  // The page is small: the plot takes what the frame and the titles leave.
  chart->setMargins(QMargins(2, 2, 2, 2));
  chart->layout()->setContentsMargins(2, 2, 2, 2);
  chart->setBackgroundRoundness(2);
  chart->legend()->setAlignment(Qt::AlignBottom);
  QFont lf = chart->legend()->font();
  lf.setPixelSize(9);
  chart->legend()->setFont(lf);
  return chart;
}

QBarCategoryAxis* monthAxis() {
  auto* axis = new QBarCategoryAxis;
  for (int m = 1; m <= 12; ++m)
    axis->append(shortMonth(m));
  QFont f = axis->labelsFont();
  f.setPixelSize(9);
  axis->setLabelsFont(f);
  return axis;
}

QLineSeries* monthLine(const QString& name, const QColor& color, double width = 2.5) {
  auto* line = new QLineSeries;
  line->setName(name);
  QPen pen(color);
  pen.setWidthF(width);
  line->setPen(pen);
  line->setPointsVisible(true);
  return line;
}

// A name that fits beside a bar or in a legend: its start and its end, which tell apart the
// current accounts of one account ("BANCO DO B…CC 67890-1").
QString shortName(const QString& name, int most) {
  if (name.size() <= most) return name;
  const int end = most / 2 - 1;
  return name.left(most - end - 1).trimmed() + QChar(0x2026) + name.right(end).trimmed();
}

// Puts `chart` in a scene of its own at `size` and paints it into `target`.
void paintChart(QPainter& painter, QChart* chart, const QRectF& target) {
  QGraphicsScene scene;
  scene.addItem(chart);
  chart->setGeometry(QRectF(QPointF(0, 0), target.size()));
  scene.setSceneRect(QRectF(QPointF(0, 0), target.size()));
  scene.render(&painter, target, scene.sceneRect());
  // The scene deletes its items: the chart goes with it.
}

QString saveRefusal(const QString& path, const QString& dataDirectory) {
  return report::outputRefusal(path, dataDirectory);
}

} // namespace

QString shortMonth(int month) {
  static const char* const names[] = {"Jan", "Fev", "Mar", "Abr", "Mai", "Jun",
                                      "Jul", "Ago", "Set", "Out", "Nov", "Dez"};
  return month >= 1 && month <= 12 ? QString::fromLatin1(names[month - 1]) : QString();
}

QString monthOfYear(const QString& year, int month) {
  return brazil.standaloneMonthName(month, QLocale::LongFormat).toLower() + '/' + year;
}

QString monthTip(const YearPanel& p, int month) {
  if (month < 1 || month > 12) return {};
  const PanelMonth& m = p.months[month - 1];
  return QStringLiteral("%1\nReceitas: %2\nDespesas: %3\nResultado do mês: %4\n"
                        "Resultado acumulado: %5")
      .arg(monthOfYear(p.year, month), fmt::amount(m.revenue), fmt::amount(m.expenses),
           fmt::amount(m.result), fmt::amount(m.accumulated));
}

QString cashTip(const YearPanel& p, int line, int month) {
  if (month < 1 || month > 12) return {};
  if (line < 0 || line >= p.cashAccounts.size())
    return QStringLiteral("Total do disponível\n%1: %2")
        .arg(monthOfYear(p.year, month), fmt::amount(p.months[month - 1].cash));
  const PanelCashAccount& a = p.cashAccounts[line];
  return QStringLiteral("%1 (%2 %3)\n%4: %5")
      .arg(a.name, a.code, a.current, monthOfYear(p.year, month),
           fmt::amount(a.balances[month - 1]));
}

QString expenseTip(const YearPanel& p, int index) {
  if (index < 0 || index >= p.largestExpenses.size()) return {};
  const PanelExpense& e = p.largestExpenses[index];
  return QStringLiteral("%1 (%2 %3)\n%4 em %5")
      .arg(e.name, e.code, e.current, fmt::amount(e.amount), p.year);
}

QString emptyPanelSentence(const YearPanel& p) {
  if (p.year.isEmpty()) return QStringLiteral("Selecione um exercício para ver os gráficos.");
  if (!p.hasMovements)
    return QStringLiteral("O exercício de %1 não tem lançamentos processados: não há o que "
                          "mostrar nos gráficos.")
        .arg(p.year);
  return {};
}

ResultChart makeResultChart(const YearPanel& p) {
  ResultChart c;
  c.chart = newChart(QStringLiteral("Receitas, despesas e resultado de %1").arg(p.year));
  c.revenue = new QBarSet(QStringLiteral("Receitas"));
  c.revenue->setColor(QColor(0x2e, 0x7d, 0x32));
  c.expenses = new QBarSet(QStringLiteral("Despesas"));
  c.expenses->setColor(QColor(0xc6, 0x28, 0x28));
  c.result = monthLine(QStringLiteral("Resultado do mês"), QColor(0x15, 0x65, 0xc0));
  c.accumulated = monthLine(QStringLiteral("Resultado acumulado"), QColor(0xef, 0x8f, 0x00));
  // The chart is wide and low: the legend goes to the side.
  c.chart->legend()->setAlignment(Qt::AlignRight);
  double low = 0, high = 0;
  for (int m = 0; m < 12; ++m) {
    const PanelMonth& month = p.months[m];
    *c.revenue << month.revenue;
    *c.expenses << month.expenses;
    c.result->append(m, month.result);
    c.accumulated->append(m, month.accumulated);
    for (double v : {month.revenue, month.expenses, month.result, month.accumulated}) {
      low = std::min(low, v);
      high = std::max(high, v);
    }
  }
  auto* bars = new QBarSeries;
  bars->append(c.revenue);
  bars->append(c.expenses);
  c.chart->addSeries(bars);
  c.chart->addSeries(c.result);
  c.chart->addSeries(c.accumulated);
  QBarCategoryAxis* months = monthAxis();
  QValueAxis* values = amountAxis(c.chart, low, high);
  c.chart->addAxis(months, Qt::AlignBottom);
  c.chart->addAxis(values, Qt::AlignLeft);
  for (QAbstractSeries* s : c.chart->series()) {
    s->attachAxis(months);
    s->attachAxis(values);
  }
  return c;
}

CashChart makeCashChart(const YearPanel& p) {
  CashChart c;
  c.chart = newChart(QStringLiteral("Disponível (contas %1) no fim de cada mês").arg(p.cashPrefix));
  c.total = p.cashAccounts.isEmpty() || p.cashAccounts.size() > cashLinesAtMost;
  static const QColor colors[cashLinesAtMost] = {
      QColor(0x15, 0x65, 0xc0), QColor(0x2e, 0x7d, 0x32), QColor(0xef, 0x8f, 0x00),
      QColor(0x6a, 0x1b, 0x9a), QColor(0xc6, 0x28, 0x28), QColor(0x00, 0x83, 0x8f),
      QColor(0x5d, 0x40, 0x37), QColor(0x54, 0x6e, 0x7a)};
  double low = 0, high = 0;
  auto add = [&](const QString& name, const QColor& color, auto valueOf) {
    QLineSeries* line = monthLine(shortName(name, 22), color, 2);
    for (int m = 0; m < 12; ++m) {
      const double v = valueOf(m);
      line->append(m, v);
      low = std::min(low, v);
      high = std::max(high, v);
    }
    c.chart->addSeries(line);
    c.lines << line;
  };
  if (c.total) {
    add(QStringLiteral("Total do disponível"), colors[0], [&](int m) { return p.months[m].cash; });
  } else {
    // The legend leaves each line a few letters: what tells the lines apart comes first, the
    // current account's code and name when it has one (the tooltip says the whole name).
    for (int i = 0; i < p.cashAccounts.size(); ++i) {
      const PanelCashAccount& a = p.cashAccounts[i];
      const bool plain = a.current == QLatin1String("999") || a.current.isEmpty();
      add(plain ? a.name : a.current + ' ' + (a.currentName.isEmpty() ? a.name : a.currentName),
          colors[i], [&](int m) { return p.cashAccounts[i].balances[m]; });
    }
  }
  QBarCategoryAxis* months = monthAxis();
  // Half the width of the first chart: smaller month names still show whole.
  QFont f = months->labelsFont();
  f.setPixelSize(8);
  months->setLabelsFont(f);
  QValueAxis* values = amountAxis(c.chart, low, high);
  c.chart->addAxis(months, Qt::AlignBottom);
  c.chart->addAxis(values, Qt::AlignLeft);
  for (QLineSeries* line : c.lines) {
    line->attachAxis(months);
    line->attachAxis(values);
  }
  return c;
}

ExpenseChart makeExpenseChart(const YearPanel& p) {
  ExpenseChart c;
  c.chart = newChart(QStringLiteral("As %1 maiores despesas de %2")
                         .arg(p.largestExpenses.size() == panelExpenseCount
                                  ? QStringLiteral("dez")
                                  : QString::number(p.largestExpenses.size()),
                              p.year));
  c.chart->legend()->hide();
  c.amounts = new QBarSet(QStringLiteral("Despesas do ano"));
  c.amounts->setColor(QColor(0xc6, 0x28, 0x28));
  auto* names = new QBarCategoryAxis;
  double high = 0;
  // The axis draws its first category at the bottom: the largest expense goes last.
  for (qsizetype i = p.largestExpenses.size() - 1; i >= 0; --i) {
    const PanelExpense& e = p.largestExpenses[i];
    *c.amounts << e.amount;
    // Numbered by rank: the axis wants distinct names, and two accounts may share one.
    names->append(QStringLiteral("%1. %2").arg(i + 1).arg(shortName(e.name, 30)));
    high = std::max(high, e.amount);
  }
  QFont f = names->labelsFont();
  f.setPixelSize(9);
  names->setLabelsFont(f);
  auto* bars = new QHorizontalBarSeries;
  bars->append(c.amounts);
  bars->setBarWidth(0.7);
  c.chart->addSeries(bars);
  QValueAxis* values = amountAxis(c.chart, 0, high);
  c.chart->addAxis(names, Qt::AlignLeft);
  c.chart->addAxis(values, Qt::AlignBottom);
  bars->attachAxis(names);
  bars->attachAxis(values);
  return c;
}

Heading readHeading(Database& db) {
  const auto rows = db.select("SELECT NomeDaOrganizacao, CNPJDaOrganizacao FROM cabecalh LIMIT 1");
  if (rows.isEmpty()) return {};
  return {rows.first()[0].toString(), rows.first()[1].toString()};
}

QSize pageSize() {
  // A4 landscape, 297 by 210 mm, at 96 logical pixels to the inch.
  return QSize(1123, 794);
}

void paintPanel(QPainter& painter, const QSize& size, const YearPanel& p, const Heading& h) {
  painter.save();
  const double scale = std::min(size.width() / double(pageSize().width()),
                                size.height() / double(pageSize().height()));
  painter.scale(scale, scale);
  const QRectF page(QPointF(0, 0), QSizeF(pageSize()));
  painter.fillRect(page, Qt::white);
  const QRectF inner = page.adjusted(38, 30, -38, -30); // margins of 10 and 8 mm
  painter.setPen(Qt::black);
  QFont bold = painter.font();
  bold.setPixelSize(18);
  bold.setBold(true);
  painter.setFont(bold);
  painter.drawText(QRectF(inner.left(), inner.top(), inner.width() * 0.7, 24),
                   Qt::AlignLeft | Qt::AlignVCenter, h.organization);
  if (!h.cnpj.isEmpty())
    painter.drawText(QRectF(inner.left(), inner.top(), inner.width(), 24),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("CNPJ: ") + h.cnpj);
  QFont title = bold;
  title.setPixelSize(15);
  painter.setFont(title);
  painter.drawText(QRectF(inner.left(), inner.top() + 26, inner.width(), 22), Qt::AlignCenter,
                   QStringLiteral("O exercício de %1 em gráficos").arg(p.year));
  painter.drawLine(QPointF(inner.left(), inner.top() + 52),
                   QPointF(inner.right(), inner.top() + 52));
  const QRectF area = inner.adjusted(0, 58, 0, 0);
  const QString sentence = emptyPanelSentence(p);
  if (!sentence.isEmpty()) {
    QFont plain = painter.font();
    plain.setBold(false);
    plain.setPixelSize(14);
    painter.setFont(plain);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, sentence);
  } else {
    const double half = area.height() / 2;
    paintChart(painter, makeResultChart(p).chart,
               QRectF(area.left(), area.top(), area.width(), half - 4));
    paintChart(painter, makeCashChart(p).chart,
               QRectF(area.left(), area.top() + half + 4, area.width() / 2 - 4, half - 4));
    paintChart(painter, makeExpenseChart(p).chart,
               QRectF(area.left() + area.width() / 2 + 4, area.top() + half + 4,
                      area.width() / 2 - 4, half - 4));
  }
  painter.restore();
}

QString writePdf(const QString& path, const YearPanel& p, const Heading& h,
                 const QString& dataDirectory) {
  if (const QString refusal = saveRefusal(path, dataDirectory); !refusal.isEmpty()) return refusal;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return report::cannotWriteMessage(path, file.errorString());
  {
    QPdfWriter pdf(&file);
    pdf.setTitle(QStringLiteral("O exercício de %1 em gráficos").arg(p.year));
    pdf.setCreator(QStringLiteral("Escrivon"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    // At the logical resolution the fonts keep the sizes they have on screen.
    pdf.setResolution(96);
    QPainter painter(&pdf);
    if (!painter.isActive()) {
      file.cancelWriting();
      return report::cannotWriteMessage(path);
    }
    paintPanel(painter, QSize(pdf.width(), pdf.height()), p, h);
  }
  if (!file.commit()) return report::cannotWriteMessage(path, file.errorString());
  return {};
}

QString writePng(const QString& path, const YearPanel& p, const Heading& h,
                 const QString& dataDirectory) {
  if (const QString refusal = saveRefusal(path, dataDirectory); !refusal.isEmpty()) return refusal;
  // Twice the logical size, so that the picture stays sharp when printed or enlarged.
  QImage image(pageSize() * 2, QImage::Format_RGB32);
  image.setDevicePixelRatio(2);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPanel(painter, pageSize(), p, h);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return report::cannotWriteMessage(path, file.errorString());
  if (!image.save(&file, "PNG")) {
    file.cancelWriting();
    return report::cannotWriteMessage(path);
  }
  if (!file.commit()) return report::cannotWriteMessage(path, file.errorString());
  return {};
}

} // namespace esc::charts
