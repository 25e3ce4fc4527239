#pragma once
// The three charts of the year at a glance, drawn with Qt Charts from a YearPanel: the page
// shows them, the PDF page and the picture paint them with the organization's heading.
#include "period/yearPanel.h"

#include <QSize>
#include <QString>

class QBarSet;
class QChart;
class QLineSeries;
class QPainter;

namespace esc {
class Database;
}

namespace esc::charts {

// The groups a click on the first chart names: revenue (group 3), expenses (group 4), or
// the result (groups 3 and 4).
enum class Group { Revenue, Expenses, Result };

// Chart 1: revenue and expenses as bars, the month's and the accumulated result as lines.
struct ResultChart {
  QChart* chart = nullptr;
  QBarSet* revenue = nullptr;
  QBarSet* expenses = nullptr;
  QLineSeries* result = nullptr;
  QLineSeries* accumulated = nullptr;
};
// Chart 2: the cash accounts' month-end balances, one line per pair (at most eight) or the
// total. Chart 3: the largest expense accounts as horizontal bars, the largest at the top.
struct CashChart {
  QChart* chart = nullptr;
  QVector<QLineSeries*> lines; // a line per pair, or the one line of the total
  bool total = false;
};
struct ExpenseChart {
  QChart* chart = nullptr;
  QBarSet* amounts = nullptr; // index i is largestExpenses[size - 1 - i]
};

// The most cash accounts drawn one line each; with more, the chart draws their total.
inline constexpr int cashLinesAtMost = 8;

// The charts of `panel`, owned by the caller (or the view given them).
ResultChart makeResultChart(const YearPanel& panel);
CashChart makeCashChart(const YearPanel& panel);
ExpenseChart makeExpenseChart(const YearPanel& panel);

// "Jan" to "Dez", and "março/2023" for month 3.
QString shortMonth(int month);
QString monthOfYear(const QString& year, int month);

// Tooltips, amounts as the book shows them ("1.234,56"). `month` is 1 to 12.
QString monthTip(const YearPanel& panel, int month);
QString cashTip(const YearPanel& panel, int line, int month); // line -1: the total
QString expenseTip(const YearPanel& panel, int index);        // index in largestExpenses

// The sentence shown instead of the charts when there is nothing to draw; empty when there is.
QString emptyPanelSentence(const YearPanel& panel);

// The organization's name and CNPJ, as the reports head their pages.
struct Heading {
  QString organization, cnpj;
};
Heading readHeading(Database& db);

// The size, in logical pixels (96 per inch), of the A4 landscape page the charts are laid on.
QSize pageSize();
// Paints the heading and the three charts (or the sentence of an empty year) filling `size`
// logical pixels of `painter`'s device.
void paintPanel(QPainter& painter, const QSize& size, const YearPanel& panel,
                const Heading& heading);

// The page as a PDF (one A4 landscape page) or a PNG picture, written beside `path` and
// renamed into place; never over a file of `dataDirectory`. Empty when written, else the
// message that says why not.
QString writePdf(const QString& path, const YearPanel& panel, const Heading& heading,
                 const QString& dataDirectory);
QString writePng(const QString& path, const YearPanel& panel, const Heading& heading,
                 const QString& dataDirectory);

} // namespace esc::charts
