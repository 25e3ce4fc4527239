#pragma once
#include <QDate>
#include <QString>
#include <optional>

// The process-wide number and date forms: short date "dd/mm/yyyy", decimal separator ",",
// thousands separator ".". Every conversion between amounts or dates and text goes here.
namespace esc::fmt {

QString amount(double value);      // ",#0.00": 1.234,56 and -5,50
QString general(double value);     // general number form: 300,3 and 1234,5 (no grouping)
QString date(const QDate& d);      // dd/mm/yyyy; "" for a null date
QString shortDate(const QDate& d); // dd/mm/yy (status line)

// "dd/mm/yyyy" or "dd/mm/yy". A two-digit year is placed in the hundred years that end 49
// years after the current year (2026: 00..75 -> 2000..2075, 76..99 -> 1976..1999).
std::optional<QDate> parseDate(const QString& text, int currentYear = 0);
// Accepts "1.234,56", "1234,56", "-5,5", "300"; nullopt for anything else.
std::optional<double> parseNumber(const QString& text);

QString trimRight(const QString& s); // drops trailing spaces only

} // namespace esc::fmt
