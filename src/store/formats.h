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
// A number in the Brazilian form, read wholly: digits, optionally grouped by dots in threes,
// an optional comma with up to four decimals, an optional sign ("1.234,56", "-5,5", "300").
// Anything else ("10.50", "1.5", "nan") is nullopt.
std::optional<double> parseNumber(const QString& text);
// An amount a user may type: a number as above below 1.000.000.000.000,00 in size, so that
// every total of amounts stays exact in ten-thousandths.
std::optional<double> parseAmount(const QString& text);
// What is said of a text that is not an amount.
QString invalidAmount(const QString& text);

QString trimRight(const QString& s); // drops trailing spaces only

} // namespace esc::fmt
