#pragma once
// A book's rows as stored, to compare a book before and after an operation.
#include "store/database.h"

#include <QString>
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

} // namespace esc::test
