#include "queryText.h"

#include "store/formats.h"

#include <QDate>
#include <QRegularExpression>
#include <stdexcept>

namespace esc::report {

void QueryText::clear() {
  lines_.clear();
  display_.clear();
  params_.clear();
}

void QueryText::add(const QString& piece) {
  lines_ << piece;
  display_ << piece;
}

void QueryText::addValue(const QString& open, const QString& value, const QString& close) {
  if (!open.endsWith('\'') || !close.startsWith('\''))
    throw std::logic_error("QueryText::addValue: a value stands between quotes");
  lines_ << open.chopped(1) + '?' + close.mid(1);
  display_ << open + value + close;
  params_ << value;
}

QString QueryText::displayText() const {
  return display_.join('\n');
}

QString QueryText::sql() const {
  // Only fixed pieces reach this text (values are parameters), so a "+" between two column
  // references is always the dialect's text concatenation.
  static const QRegularExpression concat(
      QStringLiteral(R"(([A-Za-z_][A-Za-z0-9_]*\.[A-Za-z_][A-Za-z0-9_]*)\s*\+\s*)"
                     R"((?=[A-Za-z_][A-Za-z0-9_]*\.[A-Za-z_][A-Za-z0-9_]*))"));
  QString text = lines_.join('\n');
  text.replace(concat, QStringLiteral("\\1||"));
  return text;
}

void addRange(QueryText& q, const QString& rangePiece, const QString& equalityPiece,
              const QString& from, const QString& to, bool trimFrom) {
  if (from.isEmpty()) return;
  if (!to.isEmpty()) {
    q.addValue(rangePiece, trimFrom ? from.trimmed() : from);
    q.addValue(QStringLiteral(" AND '"), to);
  } else {
    q.addValue(equalityPiece, from);
  }
}

void addEquality(QueryText& q, const QString& equalityPiece, const QString& value) {
  if (!value.isEmpty()) q.addValue(equalityPiece, value);
}

bool addDateRange(QueryText& q, const QString& rangePiece, const QString& equalityPiece,
                  const QString& from, const QString& to) {
  if (from.isEmpty()) return true;
  // The dates are stored as ISO texts; the bound value is the date the user typed in that
  // form, which is what the query's 'mm/dd/yyyy' literal stands for.
  auto iso = [](const QString& text) -> std::optional<QString> {
    const auto d = fmt::parseDate(text);
    if (!d || !d->isValid()) return std::nullopt;
    return d->toString(Qt::ISODate);
  };
  const auto f = iso(from);
  if (!f) return false;
  if (!to.isEmpty()) {
    const auto t = iso(to);
    if (!t) return false;
    q.addValue(rangePiece, *f);
    q.addValue(QStringLiteral(" AND '"), *t);
  } else {
    q.addValue(equalityPiece, *f);
  }
  return true;
}

} // namespace esc::report
