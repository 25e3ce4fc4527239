#pragma once
// The report engine's layout: runs a definition's query and places its bands on pages.
//
// Bands: the column header opens every page (with the row whose band comes first there);
// the group header prints before the first row of each group and the group footer after its
// last; the detail once per row; the summary once after the last row; the page footer at the
// foot of every page (with the row last printed). A band that does not fit in the room left
// above the page footer starts a new page. A report prints even when its query returns no
// row: the column header, the summary and the page footer.
//
// Pages go to a PageSink one at a time, as they are laid out, so a report of any length
// needs the memory of one page (the preview window keeps them; the PDF and the printer do
// not). Rows are read from the query as they are needed, not loaded first.
#include "reportModel.h"

#include <QDateTime>
#include <QStringList>
#include <QVariantList>
#include <QVector>
#include <functional>

namespace esc {
class Database;
}

namespace esc::report {

// One thing printed on a page, in mm from the paper's top-left corner. For a text, x and
// width are those of the text as drawn (a right-aligned amount has x + width = its edge).
struct PageItem {
  enum class Kind { Text, Rule };
  Kind kind = Kind::Text;
  BandKind band = BandKind::Detail;
  double x = 0, y = 0, width = 0, height = 0;
  QString text;
  Font font;
  Align align = Align::Left;
  double right() const { return x + width; }
};

struct Page {
  int number = 0; // within its report run, from 1
  QString title;  // the report's title
  PageSetup setup;
  QVector<PageItem> items;
};

class PageSink {
public:
  virtual ~PageSink() = default;
  virtual void begin(const ReportDefinition&) {}
  virtual void page(Page&& page) = 0;
  virtual void end() {}
};

// Keeps every page (the preview window, tests).
class PageCollector : public PageSink {
public:
  void page(Page&& p) override { pages << std::move(p); }
  QVector<Page> pages;
};

struct RunOptions {
  QDateTime now = QDateTime::currentDateTime(); // the time and date system data print
  // Called after each page; false stops the run (a cancelled print).
  std::function<bool(int pagesDone)> progress;
  // Called with each row of the query as its detail band is about to print, the row current in
  // the context (the spreadsheet export reads the detail band's values from here).
  std::function<void(const Band& detail, const EvalContext& row)> detailRow;
  // false: the rows are only read (for detailRow); no page is laid out or sent.
  bool layPages = true;
};

struct RunStats {
  qint64 rows = 0;
  int pages = 0;
  bool stopped = false;
};

// Runs `def`'s query on `db` (none for a definition without query) and lays it out.
// The store's error for a query it rejects propagates as StoreError; nothing is sent then
// unless pages were already laid out.
RunStats layOut(ReportDefinition& def, Database* db, PageSink& sink, const RunOptions& = {});
// The same with the query's rows given (tests of layout alone).
RunStats layOut(ReportDefinition& def, const QStringList& columns,
                const QVector<QVariantList>& rows, PageSink& sink, const RunOptions& = {});

// How a value prints: a data field keeps its column's kind (a date column with the date
// mask, an integer as such); an expression prints a number through its mask and a text as
// it is. What cannot be formatted prints nothing.
QString formatField(const QVariant& value, Mask mask);
QString formatValue(const Value& value, Mask mask);

// Text measures in mm for the report font (Arial / Liberation Sans); the renderer draws
// with the same font, so what the layout measured is what prints.
double textWidth(const QString& text, const Font& font);
double textAscent(const Font& font);
// The leading part of `text` that fits in `width` mm.
QString fitText(const QString& text, const Font& font, double width);

} // namespace esc::report
