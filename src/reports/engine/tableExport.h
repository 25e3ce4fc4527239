#pragma once
// A report's detail rows as a table, for a spreadsheet: one column per value the detail band
// prints (its data fields and expressions, in the band's order), headed by the column header's
// captions, one row per row of the report's query. The cells hold the values before the
// report's formatting, so a spreadsheet gets numbers and dates it can compute with: an amount
// or a number as a double, an integer as a qint64, a date-masked column as a QDate, a text as
// a QString, nothing as an invalid QVariant. The values are read by the layout itself
// (RunOptions::detailRow), so they are the rows the PDF prints, in its order.
#include "layout.h"
#include "spreadsheet.h"

#include <QString>
#include <QVariantList>
#include <QVector>

namespace esc {
class Database;
class Ui;
} // namespace esc

namespace esc::report {

// The whole table kept in memory: the preview window takes it with its pages and saves it on
// request, as it shows it.
struct ReportTable : TableSink {
  QString title;
  QVector<TableColumn> columns;
  QVector<QVariantList> rows;
  void row(const QVariantList& cells) override { rows << cells; }
};

// A report with a query and a detail band of values has rows to export; the terms (one record
// printed as a page of text) have none.
bool hasDetailRows(const ReportDefinition& def);
// What is said when a report without detail rows is asked for as a spreadsheet. `report`
// names it (empty: "Este relatório").
QString noDetailRowsMessage(const QString& report);

// The columns of `def`'s table. A caption is a label of the column header's lowest line of
// labels; with as many captions as columns they pair in order across the page, otherwise a
// column takes the caption nearest it (a column with none is named by its field).
QVector<TableColumn> detailColumns(const ReportDefinition& def);
// The cells of the row current in `row`, one per column of detailColumns().
QVariantList detailCells(const Band& detail, const EvalContext& row);

// Sends every detail row of a layout run with `options` to `sink` as well.
void collectRows(RunOptions& options, TableSink& sink);
// Runs `def`'s query on `db` and sends its detail rows to `sink`, laying out no page. The
// store's error for a query it rejects propagates as StoreError.
RunStats exportRows(ReportDefinition& def, Database& db, TableSink& sink);

// Writes `table` to `path` as the spreadsheet its extension names (.xlsx or .csv), beside it
// and renamed into place. A refusal (a report file may not go there) or a failure is said in
// an error box and leaves `path` as it was.
bool saveTable(const ReportTable& table, const QString& path, const QString& dataDirectory, Ui& ui);

} // namespace esc::report
