#include "filter.h"

#include "formats.h"
#include "storeerror.h"

namespace esc {

namespace {

class Reader {
public:
  Reader(const TableDef& t, const QString& e) : table_(t), text_(e) {}

  SqlFilter parse() {
    SqlFilter out;
    skipSpace();
    if (atEnd()) return out;
    QStringList terms;
    for (;;) {
      terms << term(out.params);
      skipSpace();
      if (atEnd()) break;
      if (!word("and")) bad();
    }
    out.where = terms.join(" AND ");
    return out;
  }

private:
  [[noreturn]] void bad() const {
    throw StoreError(QStringLiteral("Expressão de filtro inválida: %1").arg(text_));
  }
  bool atEnd() const { return pos_ >= text_.size(); }
  void skipSpace() {
    while (!atEnd() && text_[pos_].isSpace())
      ++pos_;
  }
  bool word(const QString& w) {
    skipSpace();
    if (text_.mid(pos_, w.size()).compare(w, Qt::CaseInsensitive) != 0) return false;
    const int after = pos_ + w.size();
    if (after < text_.size() && !text_[after].isSpace()) return false;
    pos_ = after;
    return true;
  }
  QString term(QVariantList& params) {
    skipSpace();
    const int start = pos_;
    while (!atEnd() && (text_[pos_].isLetterOrNumber() || text_[pos_] == '_'))
      ++pos_;
    const QString name = text_.mid(start, pos_ - start);
    const int fi = table_.fieldIndex(name);
    if (name.isEmpty() || fi < 0) bad();
    skipSpace();
    QString op;
    for (const char* o : {"<>", ">=", "<=", "=", ">", "<"}) {
      if (text_.mid(pos_).startsWith(QLatin1String(o))) {
        op = QLatin1String(o);
        break;
      }
    }
    if (op.isEmpty()) bad();
    pos_ += op.size();
    skipSpace();
    QString value;
    if (!atEnd() && text_[pos_] == '\'') {
      ++pos_;
      bool closed = false;
      while (!atEnd()) {
        if (text_[pos_] == '\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            value += '\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          closed = true;
          break;
        }
        value += text_[pos_++];
      }
      if (!closed) bad();
    } else {
      const int vs = pos_;
      while (!atEnd() && !text_[pos_].isSpace())
        ++pos_;
      value = text_.mid(vs, pos_ - vs);
      if (value.isEmpty()) bad();
    }
    const FieldDef& f = table_.fields[fi];
    QVariant stored;
    try {
      stored = toStorage(f, value);
    } catch (const StoreError&) {
      bad();
    }
    const QString column = columnExpression(f, usesCaseIgnoringIndex(f, stored));
    if (!stored.isValid() || stored.isNull()) {
      // A blank value: "=" matches blank fields, "<>" the others.
      if (op == "=") return column + " IS NULL";
      if (op == "<>") return column + " IS NOT NULL";
      bad();
    }
    params << stored;
    return QStringLiteral("%1 %2 ?").arg(column, op);
  }

  // A value without letters (a document number, a period, a level) compares the same way
  // with or without the case-ignoring collation: every character is below 'A', so neither
  // case folding nor accents can decide the comparison. Compared through the collation,
  // the condition can use the field's case-ignoring index instead of reading every row.
  bool usesCaseIgnoringIndex(const FieldDef& f, const QVariant& stored) const {
    if (f.type != FieldType::Text || stored.typeId() != QMetaType::QString) return false;
    for (QChar c : stored.toString())
      if (c.unicode() >= 'A') return false;
    for (const IndexDef& idx : table_.indexes)
      if (idx.ignoreCase && idx.fields.first().compare(f.name, Qt::CaseInsensitive) == 0)
        return true;
    return false;
  }

  const TableDef& table_;
  QString text_;
  int pos_ = 0;
};

} // namespace

SqlFilter parseFilter(const TableDef& table, const QString& expression) {
  return Reader(table, expression).parse();
}

} // namespace esc
