#include "sqlCommand.h"

#include "listings.h"
#include "store/formats.h"
#include "usage.h"

#include <QRegularExpression>
#include <QVector>

namespace esc::cli {

namespace {

// A query begins, after blanks and comments, with one of these. The book is open read-only
// and the store refuses a statement that writes; this keeps out, besides, what reads nothing
// but changes the connection (ATTACH, which could create a file, DETACH, PRAGMA).
bool isQuery(const QString& sql) {
  static const QRegularExpression start(
      QStringLiteral(R"(^(?:\s+|--[^\n]*(?:\n|$)|/\*.*?\*/)*(SELECT|WITH|VALUES|EXPLAIN)\b)"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  return start.match(sql).hasMatch();
}

} // namespace

int runSql(Database& db, const QString& sql, bool csv) {
  if (!isQuery(sql))
    throw UsageError{"só consultas: a instrução deve ser um SELECT (ou WITH, VALUES, EXPLAIN)",
                     "sql"};
  Statement st = db.prepare(sql);
  if (!st.isReadOnly()) throw UsageError{"a instrução grava; sql só lê", "sql"};
  QTextStream out(stdout);
  out.setEncoding(QStringConverter::Utf8);
  const int n = st.columnCount();
  QStringList header;
  for (int i = 0; i < n; ++i)
    header << st.columnName(i);
  // A column of numbers only is aligned to the right; a real number is written whole, with
  // the decimal comma, so that a total is not cut to two places.
  QVector<bool> numbers(n, true);
  writeRows(
      st, header, csv, out,
      [&](int i) {
        const QVariant v = st.value(i);
        if (v.isNull()) return QString();
        if (v.typeId() == QMetaType::Double) return fmt::general(v.toDouble());
        if (v.typeId() != QMetaType::LongLong) numbers[i] = false;
        return v.toString();
      },
      [&](int i) { return numbers[i]; });
  return 0;
}

} // namespace esc::cli
