#pragma once
#include "database.h"
#include "filter.h"
#include "schema.h"

#include <QHash>
#include <functional>
#include <memory>
#include <optional>

namespace esc {

// One row as the store keeps it: the row id and the raw stored values in field order
// (text without trailing spaces, dates as ISO text, amounts as double or null).
struct Record {
  qint64 rowId = 0;
  QVariantList values;
};

// The SQL of one cursor: the rows of a table under its filter in its active order, read by
// keyset. Every move is one indexed SELECT from the current key; the statements of the
// moves are built once per order and filter and kept prepared, so stepping costs one step.
class CursorSql {
public:
  CursorSql(Database& db, const TableDef& def);

  void setOrder(const IndexDef& index);
  void setFilter(const SqlFilter* filter); // nullptr: no filter in force
  // Order values of a record, followed by its row id: where the record stands.
  QVariantList keyOf(const Record& r) const;
  bool hasOrderFields() const { return !orderFields_.isEmpty(); }
  int firstOrderField() const { return orderFields_.value(0, -1); }
  QString firstOrderColumn() const { return orderColumns_.first(); }
  // Drops the kept statements (closing the table, a schema change).
  void release();

  // The first record (or last, descending) under the filter meeting `extra`, skipping
  // `offset` records.
  std::optional<Record> fetch(const QString& extra, const QVariantList& params, bool descending,
                              int offset = 0);
  std::optional<Record> first(bool descending) { return fetchKept(Kind::End, descending, {}); }
  std::optional<Record> byRowId(qint64 rowId); // whatever the filter
  int count(const QString& extra = {}, const QVariantList& params = {});
  // The record after (or before) `key`, having passed over `skip` records; `passed` says
  // how many there were when fewer remain.
  std::optional<Record> seek(const QVariantList& key, bool forward, int skip = 0,
                             int* passed = nullptr);
  int countBefore(const QVariantList& key); // records before `key` under the filter
  QVector<Record> rows(int offset, int limit);

private:
  enum class Kind { End, Range, RangeCount, RowId, Count, Rows };
  QString selectList() const;
  QString where(const QString& extra) const;
  QString orderBy(bool descending) const;
  // Binds the filter's values from 1; the next free index.
  int bindFilter(Statement& st) const;
  Record read(Statement& st) const;
  QString rangeCondition(int level, bool forward) const;
  int deepestLevel() const;
  QVariantList rangeParams(int level, const QVariantList& key) const;
  Statement& kept(int slot, const std::function<QString()>& sql);
  std::optional<Record> fetchKept(Kind kind, bool descending, const QVariantList& params,
                                  int level = 0, int offset = 0);
  int countKept(Kind kind, bool forward, const QVariantList& params, int level);

  Database& db_;
  const TableDef& def_;
  QStringList orderColumns_; // SQL expressions, row id last
  QVector<int> orderFields_; // field indexes of the order columns (without the row id)
  // The order's columns are unique without the row id: no two records share a key, so the
  // range of records equal to the key up to its row id is always empty and is not asked.
  bool uniqueKey_ = false;
  const SqlFilter* filter_ = nullptr;
  QString selectList_;
  // Statements kept for reuse by this cursor alone, by a slot number of kind, level and
  // direction; dropped when the order or the filter changes.
  QHash<int, std::shared_ptr<Statement>> kept_;
};

} // namespace esc
