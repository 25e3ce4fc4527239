#include "period.h"

namespace esc::book {

QString period(const QString& year, int month) {
  return year + QStringLiteral("%1").arg(month, 2, 10, QChar('0'));
}

QString periodYear(const QString& period) {
  return period.left(4);
}

QString periodMonth(const QString& period) {
  return period.mid(4, 2);
}

QString nextYear(const QString& year) {
  return QString::number(year.trimmed().toInt() + 1);
}

} // namespace esc::book
