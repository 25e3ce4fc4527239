#pragma once
// A book's rows as stored, to compare a book before and after an operation.
#include "store/database.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

namespace esc::test {

// Every row of `sqlTable` in `order`, row id first, then all columns.
inline QVector<QVariantList> dump(Database& db, const QString& sqlTable,
                                  const QString& order = QStringLiteral("rowid")) {
  return db.select(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY %2").arg(sqlTable, order));
}

// Every row of the eight tables in stored order, each table's rows after a row with its name.
inline QVector<QVariantList> dumpAll(Database& db) {
  QVector<QVariantList> all;
  for (const char* t : {"contas", "historic", "lancamen", "balanco", "balpatri", "demresul",
                        "fechamen", "cabecalh"}) {
    all << QVariantList{QString(t)};
    all << dump(db, t);
  }
  return all;
}

// Rows as text, one line each and amounts to the last bit, so that a failed comparison shows
// them readably.
inline QStringList rowTexts(const QVector<QVariantList>& rows) {
  QStringList out;
  for (const QVariantList& r : rows) {
    QStringList cells;
    for (const QVariant& v : r)
      cells << (v.isNull()                        ? QStringLiteral("NULL")
                : v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17)
                                                  : v.toString());
    out << cells.join(" | ");
  }
  return out;
}

// dumpAll as text.
inline QStringList dumpAllTexts(Database& db) {
  return rowTexts(dumpAll(db));
}

} // namespace esc::test
