#include "formats.h"

#include <QRegularExpression>
#include <cmath>

namespace esc::fmt {

QString amount(double value) {
  if (!std::isfinite(value)) return QString::number(value);
  const bool negative = value < 0 && std::llround(std::fabs(value) * 100) != 0;
  QString digits = QString::number(std::fabs(value), 'f', 2); // "1234.56"
  const int dot = digits.indexOf('.');
  QString whole = digits.left(dot);
  const QString cents = digits.mid(dot + 1);
  for (int i = whole.size() - 3; i > 0; i -= 3)
    whole.insert(i, '.');
  return (negative ? "-" : "") + whole + "," + cents;
}

QString general(double value) {
  QString s = QString::number(value, 'g', 15);
  if (s.contains('e')) s = QString::number(value, 'f', 15);
  if (s.contains('.')) {
    while (s.endsWith('0'))
      s.chop(1);
    if (s.endsWith('.')) s.chop(1);
  }
  s.replace('.', ',');
  return s == "-0" ? "0" : s;
}

QString date(const QDate& d) {
  return d.isValid() ? d.toString("dd/MM/yyyy") : QString();
}
QString shortDate(const QDate& d) {
  return d.isValid() ? d.toString("dd/MM/yy") : QString();
}

std::optional<QDate> parseDate(const QString& text, int currentYear) {
  static const QRegularExpression re(R"(^\s*(\d{1,2})/(\d{1,2})/(\d{2}|\d{4})\s*$)");
  const auto m = re.match(text);
  if (!m.hasMatch()) return std::nullopt;
  int year = m.captured(3).toInt();
  if (m.captured(3).size() == 2) {
    if (currentYear == 0) currentYear = QDate::currentDate().year();
    const int top = currentYear + 49; // last year the window reaches
    year += (top / 100) * 100;
    if (year > top) year -= 100;
  }
  const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
  if (!d.isValid()) return std::nullopt;
  return d;
}

std::optional<double> parseNumber(const QString& text) {
  static const QRegularExpression form(R"(^[+-]?(\d{1,3}(\.\d{3})+|\d+)(,\d{0,4})?$)");
  QString t = text.trimmed();
  if (!form.match(t).hasMatch()) return std::nullopt;
  t.remove('.');
  t.replace(',', '.');
  bool ok = false;
  const double v = t.toDouble(&ok);
  if (!ok) return std::nullopt;
  return v;
}

std::optional<double> parseAmount(const QString& text) {
  const auto v = parseNumber(text);
  if (!v || std::fabs(*v) >= 1e12) return std::nullopt;
  return v;
}

QString invalidAmount(const QString& text) {
  return "'" + text + "' não é um valor válido.";
}

QString trimRight(const QString& s) {
  int n = s.size();
  while (n > 0 && s[n - 1] == ' ')
    --n;
  return s.left(n);
}

} // namespace esc::fmt
