#pragma once
// The two spreadsheet files a report's table is written to:
//  - CSV as Brazilian spreadsheet programs open it: UTF-8 with a byte-order mark (without it
//    they read the accents as Windows-1252), ";" between fields, comma decimals without
//    grouping (1234,56), dates dd/mm/yyyy, a field quoted when it holds ";", a quote or a line
//    break, a text beginning with "=", "+" or "@" kept a text by a leading apostrophe (never a
//    formula), lines ending in CR LF;
//  - XLSX (libxlsxwriter): numbers as numbers (an amount column formatted "#,##0.00", which
//    the spreadsheet shows in its own locale: 1.234,56), dates as dates (dd/mm/yyyy), the
//    headings bold and kept in view, a filter on them.
// A writer writes rows as they come (the XLSX in constant memory), so a table of any length
// takes the memory of one row, and the time grows with the rows.
#include "reportModel.h"

#include <QString>
#include <QVariantList>
#include <QVector>
#include <memory>
#include <optional>

namespace esc::report {

struct TableColumn {
  QString heading;
  Mask mask = Mask::None; // Mask::Amount: the amount number format
};

// Where a table's rows go, one at a time.
class TableSink {
public:
  virtual ~TableSink() = default;
  virtual void row(const QVariantList& cells) = 0;
};

enum class SheetFormat { Csv, Xlsx };

// The format a file name asks for by its extension (any case); none for any other name.
std::optional<SheetFormat> sheetFormatOf(const QString& path);

// A spreadsheet file being written: created with the headings, fed the rows, finished. It is
// written beside `path` and renamed into place by a finish that succeeds; a writer destroyed
// unfinished leaves `path` as it was.
class SheetWriter : public TableSink {
public:
  // `title` names the workbook and its sheet.
  static std::unique_ptr<SheetWriter> create(SheetFormat format, const QString& path,
                                             const QString& title,
                                             const QVector<TableColumn>& columns);
  virtual bool isOpen() const = 0;
  virtual bool finish() = 0;
  // Why the file could not be opened or finished.
  virtual QString errorString() const = 0;
};

} // namespace esc::report
