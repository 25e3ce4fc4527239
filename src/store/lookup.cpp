#include "lookup.h"

#include "values.h"

namespace esc {

QString lookupSql(const TableDef& t, const LookupDef& l) {
  const FieldDef& key = t.field(l.lookupKey);
  bool indexed = t.primary.fields.value(0).compare(key.name, Qt::CaseInsensitive) == 0 &&
                 !t.primary.ignoreCase;
  bool foldedIndex = false;
  for (const IndexDef& idx : t.indexes) {
    if (idx.fields.first().compare(key.name, Qt::CaseInsensitive) != 0) continue;
    indexed |= !idx.ignoreCase;
    foldedIndex |= idx.ignoreCase;
  }
  QString where = columnExpression(key, false) + " = ?1";
  if (!indexed && foldedIndex) where = columnExpression(key, true) + " = ?1 AND " + where;
  QStringList order;
  for (const QString& f : t.primary.fields)
    order << columnExpression(t.field(f), t.primary.ignoreCase);
  order << QStringLiteral("rowid");
  return QStringLiteral("SELECT %1 FROM \"%2\" WHERE %3 ORDER BY %4 LIMIT 1")
      .arg(columnExpression(t.field(l.resultField), false), t.sqlName, where, order.join(", "));
}

QVariant readLookup(Database& db, const TableDef& t, const LookupDef& l, const QVariant& key) {
  Statement st = db.prepare(lookupSql(t, l));
  st.bind(1, toStorage(t.field(l.lookupKey), key));
  return st.step() ? st.value(0) : QVariant(QString());
}

} // namespace esc
