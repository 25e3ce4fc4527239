#pragma once
#include <QString>

namespace esc::book {

// A period is the text AAAAMM: the fiscal year's four digits and the month in two.
QString period(const QString& year, int month);
QString periodYear(const QString& period);  // "AAAA"
QString periodMonth(const QString& period); // "MM"

// The year read as a number, plus one, as plain decimal text.
QString nextYear(const QString& year);

} // namespace esc::book
