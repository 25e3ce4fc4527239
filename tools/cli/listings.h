#pragma once
#include "store/database.h"

#include <QString>
#include <QTextStream>
#include <functional>

namespace esc::cli {

// The tables `listar` shows.
bool isListing(const QString& name);
// Whether the listing can be restricted to one period.
bool listingTakesPeriod(const QString& name);

// Writes the rows of a listing to `out`: columns aligned for reading, or CSV as Brazilian
// spreadsheets open it (a header, ";" between fields, decimal comma, UTF-8 with a BOM).
// `period` "" lists every period. Returns the number of rows.
qint64 writeListing(Database& db, const QString& name, const QString& period, bool csv,
                    QTextStream& out);

// Writes the rows of `st` under `header` as the listings do, `cell(i)` giving the text of
// column i of the current row. CSV is written row by row as read; aligned text reads every
// row first, then asks `rightAligned(i)` of each column. Returns the number of rows.
qint64 writeRows(Statement& st, const QStringList& header, bool csv, QTextStream& out,
                 const std::function<QString(int column)>& cell,
                 const std::function<bool(int column)>& rightAligned);

// The listing of the figures behind the charts of a year (`listar painel AAAA`): one row per
// month (revenue, expenses, result, accumulated result, cash), then the largest expense
// accounts of the year; in CSV the two tables follow one another, a blank line between.
inline const QString panelListing = QStringLiteral("painel");
void writePanelListing(Database& db, const QString& year, bool csv, QTextStream& out);

} // namespace esc::cli
