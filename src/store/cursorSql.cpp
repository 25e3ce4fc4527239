#include "cursorSql.h"

namespace esc {

namespace {
QString quoted(const QString& name) {
  return QStringLiteral("\"%1\"").arg(name);
}
} // namespace

CursorSql::CursorSql(Database& db, const TableDef& def) : db_(db), def_(def) {
  QStringList cols{QStringLiteral("rowid")};
  for (const FieldDef& f : def_.fields)
    cols << quoted(f.name);
  selectList_ = cols.join(", ");
  orderColumns_ << QStringLiteral("rowid");
}

void CursorSql::setOrder(const IndexDef& index) {
  orderColumns_.clear();
  orderFields_.clear();
  uniqueKey_ = index.unique && !index.fields.isEmpty();
  for (const QString& name : index.fields) {
    const int fi = def_.fieldIndex(name);
    if (def_.fields[fi].type == FieldType::AutoInc) {
      uniqueKey_ = false; // the row id is part of the key
      continue;           // and comes last anyway
    }
    orderFields_ << fi;
    orderColumns_ << columnExpression(def_.fields[fi], index.ignoreCase);
  }
  orderColumns_ << QStringLiteral("rowid");
  kept_.clear();
}

void CursorSql::setFilter(const SqlFilter* filter) {
  filter_ = filter && !filter->where.isEmpty() ? filter : nullptr;
  kept_.clear();
}

void CursorSql::release() {
  kept_.clear();
}

QVariantList CursorSql::keyOf(const Record& r) const {
  QVariantList key;
  for (int fi : orderFields_)
    key << r.values[fi];
  key << r.rowId;
  return key;
}

QString CursorSql::selectList() const {
  return selectList_;
}

QString CursorSql::where(const QString& extra) const {
  QStringList parts;
  if (filter_) parts << "(" + filter_->where + ")";
  if (!extra.isEmpty()) parts << extra;
  return parts.isEmpty() ? QString() : " WHERE " + parts.join(" AND ");
}

QString CursorSql::orderBy(bool descending) const {
  QStringList cols = orderColumns_;
  if (descending)
    for (QString& c : cols)
      c += " DESC";
  return " ORDER BY " + cols.join(", ");
}

int CursorSql::bindFilter(Statement& st) const {
  if (!filter_) return 1;
  st.bindAll(filter_->params);
  return 1 + filter_->params.size();
}

Record CursorSql::read(Statement& st) const {
  Record r;
  r.rowId = st.integer(0);
  r.values.reserve(def_.fields.size());
  for (int i = 0; i < def_.fields.size(); ++i)
    r.values << st.value(i + 1);
  return r;
}

std::optional<Record> CursorSql::fetch(const QString& extra, const QVariantList& params,
                                       bool descending, int offset) {
  // The offset is bound, so a search by any count reuses one statement.
  Statement st =
      db_.prepare(QStringLiteral("SELECT %1 FROM %2%3%4 LIMIT 1 OFFSET ?")
                      .arg(selectList(), quoted(def_.sqlName), where(extra), orderBy(descending)));
  const int n = bindFilter(st);
  st.bindAll(params, n);
  st.bind(n + params.size(), qMax(0, offset));
  if (!st.step()) return std::nullopt;
  return read(st);
}

int CursorSql::count(const QString& extra, const QVariantList& params) {
  if (extra.isEmpty()) return countKept(Kind::Count, true, {}, 0);
  Statement st = db_.prepare(
      QStringLiteral("SELECT count(*) FROM %1%2").arg(quoted(def_.sqlName), where(extra)));
  st.bindAll(params, bindFilter(st));
  return st.step() ? static_cast<int>(st.integer(0)) : 0;
}

// The records after (or before) `key` in the active order are disjoint index ranges, one per
// key column, taken deepest first: (a = ? AND b = ? AND rowid > ?), (a = ? AND b > ?),
// (a > ?). Each is one index seek. A single row-value comparison would be shorter, but
// SQLite does not turn it into an index range over collated columns and scans instead.
QString CursorSql::rangeCondition(int level, bool forward) const {
  QString cond;
  for (int i = 0; i < level; ++i)
    cond += orderColumns_[i] + " = ? AND ";
  return cond + orderColumns_[level] + (forward ? " > ?" : " < ?");
}

int CursorSql::deepestLevel() const {
  return orderColumns_.size() - (uniqueKey_ ? 2 : 1);
}

QVariantList CursorSql::rangeParams(int level, const QVariantList& key) const {
  return key.mid(0, level + 1);
}

Statement& CursorSql::kept(int slot, const std::function<QString()>& sql) {
  auto it = kept_.find(slot);
  if (it == kept_.end()) it = kept_.insert(slot, std::make_shared<Statement>(db_.prepare(sql())));
  Statement& st = **it;
  st.reset();
  return st;
}

std::optional<Record> CursorSql::fetchKept(Kind kind, bool descending, const QVariantList& params,
                                           int level, int offset) {
  const int slot = (int(kind) * 64 + level) * 2 + (descending ? 1 : 0);
  Statement& st = kept(slot, [&] {
    QString extra;
    if (kind == Kind::Range) extra = rangeCondition(level, !descending);
    if (kind == Kind::RowId)
      return QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
          .arg(selectList(), quoted(def_.sqlName));
    return QStringLiteral("SELECT %1 FROM %2%3%4 LIMIT 1 OFFSET ?")
        .arg(selectList(), quoted(def_.sqlName), where(extra), orderBy(descending));
  });
  std::optional<Record> out;
  try {
    if (kind == Kind::RowId) {
      st.bindAll(params);
    } else {
      const int n = bindFilter(st);
      st.bindAll(params, n);
      st.bind(n + params.size(), qMax(0, offset));
    }
    if (st.step()) out = read(st);
  } catch (...) {
    st.reset();
    throw;
  }
  st.reset(); // a kept statement holds no read open between moves
  return out;
}

int CursorSql::countKept(Kind kind, bool forward, const QVariantList& params, int level) {
  const int slot = (int(kind) * 64 + level) * 2 + (forward ? 0 : 1);
  Statement& st = kept(slot, [&] {
    const QString extra = kind == Kind::RangeCount ? rangeCondition(level, forward) : QString();
    return QStringLiteral("SELECT count(*) FROM %1%2").arg(quoted(def_.sqlName), where(extra));
  });
  int n = 0;
  try {
    st.bindAll(params, bindFilter(st));
    n = st.step() ? static_cast<int>(st.integer(0)) : 0;
  } catch (...) {
    st.reset();
    throw;
  }
  st.reset();
  return n;
}

std::optional<Record> CursorSql::byRowId(qint64 rowId) {
  return fetchKept(Kind::RowId, false, {rowId});
}

std::optional<Record> CursorSql::seek(const QVariantList& key, bool forward, int skip,
                                      int* passed) {
  int seen = 0;
  for (int level = deepestLevel(); level >= 0; --level) {
    const QVariantList params = rangeParams(level, key);
    if (auto r = fetchKept(Kind::Range, !forward, params, level, skip - seen)) {
      if (passed) *passed = skip;
      return r;
    }
    // Fewer than the rest of `skip` lie in this range: count them and go on.
    if (skip > seen) seen += countKept(Kind::RangeCount, forward, params, level);
  }
  if (passed) *passed = seen;
  return std::nullopt;
}

int CursorSql::countBefore(const QVariantList& key) {
  int n = 0;
  for (int level = deepestLevel(); level >= 0; --level)
    n += countKept(Kind::RangeCount, false, rangeParams(level, key), level);
  return n;
}

QVector<Record> CursorSql::rows(int offset, int limit) {
  QVector<Record> out;
  Statement st =
      db_.prepare(QStringLiteral("SELECT %1 FROM %2%3%4 LIMIT ? OFFSET ?")
                      .arg(selectList(), quoted(def_.sqlName), where({}), orderBy(false)));
  const int n = bindFilter(st);
  st.bind(n, limit).bind(n + 1, offset);
  while (st.step())
    out << read(st);
  return out;
}

} // namespace esc
