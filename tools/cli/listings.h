#pragma once
#include "store/database.h"

#include <QString>
#include <QTextStream>

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

// The listing of the figures behind the charts of a year (`listar painel AAAA`): one row per
// month (revenue, expenses, result, accumulated result, cash), then the largest expense
// accounts of the year; in CSV the two tables follow one another, a blank line between.
inline const QString panelListing = QStringLiteral("painel");
void writePanelListing(Database& db, const QString& year, bool csv, QTextStream& out);

} // namespace esc::cli
