#include "table.h"

#include "filter.h"
#include "formats.h"

#include <QScopeGuard>

namespace esc {

namespace {
QString quoted(const QString& name) {
  return QStringLiteral("\"%1\"").arg(name);
}
} // namespace

// ---------------------------------------------------------------- field

QVariant Field::value() const {
  return table_->value(name_);
}
QString Field::asString() const {
  const QVariant v = value();
  if (!v.isValid() || v.isNull()) return {};
  if (v.typeId() == QMetaType::Double) return fmt::general(v.toDouble());
  if (v.typeId() == QMetaType::QDate) return fmt::date(v.toDate());
  return v.toString();
}
double Field::asFloat() const {
  const QVariant v = value();
  if (!v.isValid() || v.isNull()) return 0.0;
  if (v.typeId() == QMetaType::QString) return fmt::parseNumber(v.toString()).value_or(0.0);
  return v.toDouble();
}
QDate Field::asDate() const {
  const QVariant v = value();
  if (v.typeId() == QMetaType::QDate) return v.toDate();
  return fmt::parseDate(v.toString()).value_or(QDate());
}
int Field::asInteger() const {
  return value().toInt();
}
bool Field::isNull() const {
  const QVariant v = value();
  return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}
QString Field::editText() const {
  return displayText();
}
QString Field::displayText() const {
  const int fi = table_->def().fieldIndex(name_);
  const QVariant v = value();
  if (fi >= 0 && table_->def().fields[fi].displayFormat == ",#0.00") {
    if (!v.isValid() || v.isNull()) return {};
    return fmt::amount(v.toDouble());
  }
  return asString();
}
QString Field::label() const {
  const int fi = table_->def().fieldIndex(name_);
  if (fi >= 0) return table_->def().fields[fi].displayLabel();
  if (const LookupDef* l = table_->def().lookup(name_))
    return l->label.isEmpty() ? l->name : l->label;
  return name_;
}
void Field::setValue(const QVariant& v) const {
  table_->setValue(name_, v);
}
void Field::setAsString(const QString& text) const {
  table_->setValue(name_, text);
}

// ---------------------------------------------------------------- table

Table::Table(Database& db, const TableDef& def, QObject* parent)
    : QObject(parent), db_(db), def_(def), schema_("f_" + def.sqlName) {
  connect(&db_, &Database::transactionStarted, this, &Table::onTransactionStarted);
  connect(&db_, &Database::transactionEnded, this, &Table::onTransactionEnded);
}

Table::~Table() = default;

void Table::requireOpen() const {
  if (state_ == State::Inactive)
    throw StoreError(QStringLiteral("Cannot perform this operation on a closed dataset (%1).")
                         .arg(def_.component));
}

void Table::open() {
  if (isOpen()) return;
  QStringList columns;
  for (const FieldDef& f : def_.fields)
    columns << f.name;
  db_.attach(schema_, def_.fileName, def_.sqlName, columns);
  state_ = State::Browse;
  seenGen_ = db_.generation(def_.sqlName);
  countGen_ = recNoGen_ = ~0ull;
  setOrder(order_);
  first();
  announceState();
}

void Table::close() {
  if (!isOpen()) return;
  buffer_.clear();
  modified_ = false;
  current_.reset();
  state_ = State::Inactive;
  try {
    db_.detach(schema_);
  } catch (const StoreError&) {
    // A detach refused inside a transaction leaves the file attached until the end.
  }
  announceState();
  announceRecord();
}

// ---------------------------------------------------------------- SQL pieces

QString Table::selectList() const {
  QStringList cols{QStringLiteral("rowid")};
  for (const FieldDef& f : def_.fields)
    cols << quoted(f.name);
  return cols.join(", ");
}

QString Table::whereWith(const QString& extra) const {
  QStringList parts;
  if (filtered_ && !filter_.where.isEmpty()) parts << "(" + filter_.where + ")";
  if (!extra.isEmpty()) parts << extra;
  return parts.isEmpty() ? QString() : " WHERE " + parts.join(" AND ");
}

QString Table::orderBy(bool descending) const {
  QStringList cols = orderColumns_;
  if (descending)
    for (QString& c : cols)
      c += " DESC";
  return " ORDER BY " + cols.join(", ");
}

QVariantList Table::orderKey(const Record& r) const {
  QVariantList key;
  for (int fi : orderFields_)
    key << r.values[fi];
  key << r.rowId;
  return key;
}

std::optional<Record> Table::fetch(const QString& extra, const QVariantList& params,
                                   bool descending, int offset) {
  // The offset is bound, so a move by any count reuses one statement.
  Statement st = db_.prepare(
      QStringLiteral("SELECT %1 FROM %2%3%4 LIMIT 1 OFFSET ?")
          .arg(selectList(), quoted(def_.sqlName), whereWith(extra), orderBy(descending)));
  int n = 1;
  if (filtered_) {
    st.bindAll(filter_.params);
    n += filter_.params.size();
  }
  st.bindAll(params, n);
  st.bind(n + params.size(), qMax(0, offset));
  if (!st.step()) return std::nullopt;
  Record r;
  r.rowId = st.integer(0);
  r.values.reserve(def_.fields.size());
  for (int i = 0; i < def_.fields.size(); ++i)
    r.values << st.value(i + 1);
  return r;
}

std::optional<Record> Table::fetchRow(qint64 rowId) {
  const bool wasFiltered = std::exchange(filtered_, false);
  const auto restore = qScopeGuard([&] { filtered_ = wasFiltered; });
  return fetch(QStringLiteral("rowid = ?"), {rowId}, false);
}

int Table::countWhere(const QString& extra, const QVariantList& params) {
  Statement st = db_.prepare(
      QStringLiteral("SELECT count(*) FROM %1%2").arg(quoted(def_.sqlName), whereWith(extra)));
  int n = 1;
  if (filtered_) {
    st.bindAll(filter_.params);
    n += filter_.params.size();
  }
  st.bindAll(params, n);
  return st.step() ? static_cast<int>(st.integer(0)) : 0;
}

// The records after (or before) `key` in the active order are disjoint index ranges, one per
// key column, taken deepest first: (a = ? AND b = ? AND rowid > ?), (a = ? AND b > ?),
// (a > ?). Each is one index seek. A single row-value comparison would be shorter, but
// SQLite does not turn it into an index range over collated columns and scans instead.
// `skip` passes over that many records first; `passed` tells how many were passed over.
QString Table::rangeAt(int level, const QVariantList& key, const QString& op,
                       QVariantList& params) const {
  QString cond;
  for (int i = 0; i < level; ++i) {
    cond += orderColumns_[i] + " = ? AND ";
    params << key[i];
  }
  params << key[level];
  return cond + orderColumns_[level] + op;
}

std::optional<Record> Table::seek(const QVariantList& key, bool forward, int skip, int* passed) {
  const QString op = forward ? QStringLiteral(" > ?") : QStringLiteral(" < ?");
  int seen = 0;
  for (int level = orderColumns_.size() - 1; level >= 0; --level) {
    QVariantList params;
    const QString cond = rangeAt(level, key, op, params);
    if (auto r = fetch(cond, params, !forward, skip - seen)) {
      if (passed) *passed = skip;
      return r;
    }
    // Fewer than the rest of `skip` lie in this range: count them and go on.
    if (skip > seen) seen += countWhere(cond, params);
  }
  if (passed) *passed = seen;
  return std::nullopt;
}

int Table::countBefore(const QVariantList& key) {
  int n = 0;
  for (int level = orderColumns_.size() - 1; level >= 0; --level) {
    QVariantList params;
    const QString cond = rangeAt(level, key, QStringLiteral(" < ?"), params);
    n += countWhere(cond, params);
  }
  return n;
}

// ---------------------------------------------------------------- signals

void Table::announceRecord() {
  if (disabled_ > 0)
    pendingRecord_ = true;
  else
    emit recordChanged();
}
void Table::announceState() {
  if (disabled_ > 0)
    pendingState_ = true;
  else
    emit stateChanged();
}
void Table::announceData() {
  if (disabled_ > 0)
    pendingData_ = true;
  else
    emit dataChanged();
}

void Table::disableControls() {
  ++disabled_;
}

void Table::enableControls() {
  if (disabled_ == 0 || --disabled_ > 0) return;
  if (std::exchange(pendingData_, false)) emit dataChanged();
  if (std::exchange(pendingState_, false)) emit stateChanged();
  if (std::exchange(pendingRecord_, false)) emit recordChanged();
  for (const QString& name : std::exchange(pendingFields_, {}))
    emit fieldChanged(name);
}

void Table::setCurrent(std::optional<Record> r) {
  current_ = std::move(r);
  announceRecord();
}

// ---------------------------------------------------------------- order, find, filter

void Table::setOrder(const QString& indexName) {
  const IndexDef* idx = def_.index(indexName);
  if (!idx) throw StoreError(QStringLiteral("Index '%1' not found.").arg(indexName));
  if (isOpen()) checkBrowseMode();
  order_ = idx->name;
  orderColumns_.clear();
  orderFields_.clear();
  for (const QString& f : idx->fields) {
    const int fi = def_.fieldIndex(f);
    if (def_.fields[fi].type == FieldType::AutoInc) continue; // the row id comes last anyway
    orderFields_ << fi;
    orderColumns_ << (idx->ignoreCase ? quoted(def_.fields[fi].name) + " COLLATE ESCI"
                                      : quoted(def_.fields[fi].name));
  }
  orderColumns_ << QStringLiteral("rowid");
  invalidatePosition();
  if (isOpen() && current_) {
    auto r = fetchRow(current_->rowId);
    if (r)
      setCurrent(std::move(r));
    else
      first();
  }
  // The rows are the same but their sequence is not: grids must read them again.
  if (isOpen()) announceData();
}

bool Table::findKey(const QVariantList& values) {
  requireOpen();
  checkBrowseMode();
  const IndexDef* idx = def_.index(order_);
  QStringList terms;
  QVariantList params;
  for (int i = 0; i < values.size() && i < idx->fields.size(); ++i) {
    const FieldDef& f = def_.field(idx->fields[i]);
    // The column as the index holds it, so that the search is an index seek.
    const QString col = f.type == FieldType::AutoInc ? QStringLiteral("rowid")
                        : idx->ignoreCase            ? quoted(f.name) + " COLLATE ESCI"
                                                     : quoted(f.name);
    terms << col + " = ?";
    params << toStorage(f, values[i]);
  }
  auto r = fetch(terms.join(" AND "), params, false);
  if (!r) return false;
  eof_ = bof_ = false;
  invalidatePosition();
  setCurrent(std::move(r));
  return true;
}

void Table::findNearest(const QVariant& value) {
  requireOpen();
  checkBrowseMode();
  if (orderFields_.isEmpty()) {
    first();
    return;
  }
  const FieldDef& f = def_.fields[orderFields_.first()];
  QVariant key;
  try {
    key = toStorage(f, value);
  } catch (const StoreError&) {
    key = fmt::trimRight(value.toString()); // compare the text as typed
  }
  auto r =
      fetch(orderColumns_.first() + " >= ?", {key.isNull() ? QVariant(QString()) : key}, false);
  if (!r) {
    last();
    return;
  }
  eof_ = bof_ = false;
  invalidatePosition();
  setCurrent(std::move(r));
}

bool Table::locate(const QString& name, const QVariant& value) {
  requireOpen();
  checkBrowseMode();
  const FieldDef& f = def_.field(name);
  const QVariant v = toStorage(f, value);
  auto r = v.isNull() ? fetch(quoted(f.name) + " IS NULL", {}, false)
                      : fetch(quoted(f.name) + " = ?", {v}, false);
  if (!r) return false;
  eof_ = bof_ = false;
  invalidatePosition();
  setCurrent(std::move(r));
  return true;
}

void Table::setFilter(const QString& expression) {
  SqlFilter parsed = parseFilter(def_, expression); // throws before anything changes
  if (isOpen()) checkBrowseMode();
  filterText_ = expression;
  filter_ = std::move(parsed);
  countGen_ = ~0ull;
  invalidatePosition();
  if (isOpen() && filtered_) {
    first();
    announceData();
  }
}

void Table::setFiltered(bool on) {
  if (isOpen()) checkBrowseMode();
  if (on == filtered_) return;
  filtered_ = on;
  countGen_ = ~0ull;
  invalidatePosition();
  if (!isOpen()) return;
  if (on) {
    first();
  } else if (current_) {
    setCurrent(fetchRow(current_->rowId));
  } else {
    first();
  }
  announceData();
}

// ---------------------------------------------------------------- navigation

void Table::first() {
  requireOpen();
  checkBrowseMode();
  auto r = fetch({}, {}, false);
  bof_ = true;
  eof_ = !r.has_value();
  recNoGen_ = db_.generation(def_.sqlName);
  recNoRowId_ = r ? r->rowId : 0;
  recNo_ = r ? 1 : 0;
  setCurrent(std::move(r));
}

void Table::last() {
  requireOpen();
  checkBrowseMode();
  auto r = fetch({}, {}, true);
  eof_ = true;
  bof_ = !r.has_value();
  invalidatePosition();
  setCurrent(std::move(r));
}

void Table::next() {
  requireOpen();
  checkBrowseMode();
  if (!current_) {
    eof_ = true;
    return;
  }
  auto r = seek(orderKey(*current_), true);
  if (!r) {
    eof_ = true;
    return;
  }
  eof_ = bof_ = false;
  const bool knew = recNoRowId_ == current_->rowId && recNoGen_ == db_.generation(def_.sqlName);
  recNoRowId_ = knew ? r->rowId : 0;
  ++recNo_;
  setCurrent(std::move(r));
}

void Table::prior() {
  requireOpen();
  checkBrowseMode();
  if (!current_) {
    bof_ = true;
    return;
  }
  auto r = seek(orderKey(*current_), false);
  if (!r) {
    bof_ = true;
    return;
  }
  eof_ = bof_ = false;
  const bool knew = recNoRowId_ == current_->rowId && recNoGen_ == db_.generation(def_.sqlName);
  recNoRowId_ = knew ? r->rowId : 0;
  --recNo_;
  setCurrent(std::move(r));
}

int Table::moveBy(int count) {
  requireOpen();
  checkBrowseMode();
  if (count == 0 || !current_) return 0;
  const bool forward = count > 0;
  const int steps = forward ? count : -count;
  if (steps == 1) {
    const qint64 before = current_->rowId;
    forward ? next() : prior();
    return current_->rowId == before ? 0 : count;
  }
  int passed = 0;
  auto r = seek(orderKey(*current_), forward, steps - 1, &passed);
  if (r) {
    eof_ = bof_ = false;
    invalidatePosition();
    setCurrent(std::move(r));
    return count;
  }
  // Fewer records remain than asked: stop on the last (or first) one.
  forward ? last() : first();
  return forward ? passed : -passed;
}

int Table::recordCount() {
  if (!isOpen()) return 0;
  const quint64 gen = db_.generation(def_.sqlName);
  if (countGen_ != gen) {
    Statement st = db_.prepare(
        QStringLiteral("SELECT count(*) FROM %1%2").arg(quoted(def_.sqlName), whereWith({})));
    if (filtered_) st.bindAll(filter_.params);
    count_ = st.step() ? static_cast<int>(st.integer(0)) : 0;
    countGen_ = gen;
  }
  return count_;
}

int Table::recNo() {
  if (!isOpen() || !current_) return 0;
  const quint64 gen = db_.generation(def_.sqlName);
  if (recNoRowId_ != current_->rowId || recNoGen_ != gen) {
    recNo_ = countBefore(orderKey(*current_)) + 1;
    recNoRowId_ = current_->rowId;
    recNoGen_ = gen;
  }
  return recNo_;
}

// ---------------------------------------------------------------- editing

void Table::insert() {
  requireOpen();
  checkBrowseMode();
  buffer_.clear();
  for (const FieldDef& f : def_.fields)
    buffer_ << (f.type == FieldType::AutoInc ? QVariant() : toStorage(f, QVariant()));
  modified_ = false;
  state_ = State::Insert;
  announceState();
  announceRecord();
}

void Table::edit() {
  requireOpen();
  if (isEditing()) return;
  if (!current_) {
    insert(); // editing an empty table starts a new record, as the controls expect
    return;
  }
  buffer_ = current_->values;
  modified_ = false;
  state_ = State::Edit;
  announceState();
}

void Table::post() {
  requireOpen();
  if (!isEditing()) return;
  try {
    for (int i = 0; i < def_.fields.size(); ++i) {
      const FieldDef& f = def_.fields[i];
      if (!f.required || f.type == FieldType::AutoInc) continue;
      const QVariant& v = buffer_[i];
      if (!v.isValid() || v.isNull() || v.toString().isEmpty())
        throw StoreError(QStringLiteral("Field '%1' must have a value.").arg(f.displayLabel()));
    }
    QStringList cols;
    QVariantList params;
    for (int i = 0; i < def_.fields.size(); ++i) {
      if (def_.fields[i].type == FieldType::AutoInc) continue;
      cols << quoted(def_.fields[i].name);
      params << buffer_[i];
    }
    qint64 rowId;
    if (state_ == State::Insert) {
      db_.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(quoted(def_.sqlName), cols.join(", "),
                        QString("?, ").repeated(cols.size() - 1) + "?"),
               params);
      rowId = db_.lastInsertRowId();
    } else {
      rowId = current_->rowId;
      params << rowId;
      db_.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                   .arg(quoted(def_.sqlName), cols.join(" = ?, ")),
               params);
    }
    // Read back through the filter-free row id, so a record the filter hides stays current.
    auto r = fetchRow(rowId);
    // An update of a row someone else deleted writes nothing: say so, and keep what was typed.
    if (!r) throw StoreError(QStringLiteral("Record/key deleted."));
    // A rollback of the enclosing transaction undoes this post: the record then returns to
    // the state it was typed in, with these values.
    if (saved_ && !saved_->editPosted &&
        (saved_->state == State::Edit || saved_->state == State::Insert)) {
      saved_->buffer = buffer_;
      saved_->modified = true;
      saved_->editPosted = true;
    }
    buffer_.clear();
    modified_ = false;
    state_ = State::Browse;
    eof_ = bof_ = false;
    invalidatePosition();
    seenGen_ = db_.generation(def_.sqlName);
    setCurrent(std::move(r));
    announceState();
    announceData();
  } catch (const StoreError& e) {
    if (onPostError && onPostError(e) == PostErrorAction::Abort)
      throw StoreError(e.message(), true);
    throw;
  }
  if (afterPost) afterPost();
}

void Table::cancel() {
  if (!isEditing()) return;
  buffer_.clear();
  modified_ = false;
  state_ = State::Browse;
  announceState();
  announceRecord();
}

void Table::remove() {
  requireOpen();
  if (state_ == State::Insert) {
    cancel();
    return;
  }
  if (state_ == State::Edit) cancel();
  if (!current_)
    throw StoreError(QStringLiteral("Cannot perform this operation on an empty dataset."));
  const Record gone = *current_;
  db_.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(def_.sqlName)),
           {gone.rowId});
  seenGen_ = db_.generation(def_.sqlName);
  auto r = seek(orderKey(gone), true);
  invalidatePosition();
  if (r) {
    eof_ = bof_ = false;
    setCurrent(std::move(r));
  } else {
    auto l = fetch({}, {}, true);
    eof_ = true;
    bof_ = !l.has_value();
    setCurrent(std::move(l));
  }
  announceData();
}

void Table::checkBrowseMode() {
  if (!isEditing()) return;
  if (modified_)
    post();
  else
    cancel();
}

// ---------------------------------------------------------------- values

const QVariantList& Table::activeValues() const {
  static const QVariantList none;
  if (isEditing()) return buffer_;
  return current_ ? current_->values : none;
}

QVariant Table::convert(const FieldDef& f, const QVariant& raw) const {
  if (!raw.isValid() || raw.isNull())
    return f.type == FieldType::Text ? QVariant(QString()) : QVariant();
  switch (f.type) {
  case FieldType::Text:
    return raw.toString();
  case FieldType::Float:
    return raw.toDouble();
  case FieldType::Date:
    return QDate::fromString(raw.toString(), Qt::ISODate);
  case FieldType::AutoInc:
  case FieldType::Integer:
    return raw.toLongLong();
  }
  return raw;
}

bool Table::hasField(const QString& name) const {
  return def_.fieldIndex(name) >= 0 || def_.lookup(name) != nullptr;
}

QVariant Table::value(const QString& name) const {
  const int fi = def_.fieldIndex(name);
  if (fi >= 0) {
    const FieldDef& f = def_.fields[fi];
    if (f.type == FieldType::AutoInc && state_ == State::Insert) return QVariant();
    if (f.type == FieldType::AutoInc && !isEditing())
      return current_ ? QVariant(current_->rowId) : QVariant();
    const QVariantList& vals = activeValues();
    return fi < vals.size() ? convert(f, vals[fi]) : convert(f, QVariant());
  }
  if (const LookupDef* l = def_.lookup(name)) return lookupValue(*l, value(l->keyField));
  throw StoreError(QStringLiteral("Field '%1' not found.").arg(name));
}

QVariant Table::valueOf(const Record& r, const QString& name) const {
  const int fi = def_.fieldIndex(name);
  if (fi >= 0) {
    if (def_.fields[fi].type == FieldType::AutoInc) return r.rowId;
    return convert(def_.fields[fi], r.values[fi]);
  }
  if (const LookupDef* l = def_.lookup(name)) return lookupValue(*l, valueOf(r, l->keyField));
  throw StoreError(QStringLiteral("Field '%1' not found.").arg(name));
}

QString Table::displayTextOf(const Record& r, const QString& name) const {
  const QVariant v = valueOf(r, name);
  if (!v.isValid() || v.isNull()) return {};
  const int fi = def_.fieldIndex(name);
  if (fi >= 0 && def_.fields[fi].displayFormat == ",#0.00") return fmt::amount(v.toDouble());
  if (v.typeId() == QMetaType::Double) return fmt::general(v.toDouble());
  if (v.typeId() == QMetaType::QDate) return fmt::date(v.toDate());
  return v.toString();
}

QVariant Table::lookupValue(const LookupDef& l, const QVariant& key) const {
  Table* source = lookupSources_.value(l.lookupTable);
  if (!source || !source->isOpen()) return QString();
  const TableDef& t = source->def();
  const FieldDef& keyField = t.field(l.lookupKey);
  QStringList order;
  for (const QString& f : t.primary.fields)
    order << quoted(f);
  order << "rowid";
  Statement st = db_.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? ORDER BY %4 LIMIT 1")
                                 .arg(quoted(t.field(l.resultField).name), quoted(t.sqlName),
                                      quoted(keyField.name), order.join(", ")));
  st.bind(1, toStorage(keyField, key));
  return st.step() ? st.value(0) : QVariant(QString());
}

void Table::requireEditing(const QString& name) const {
  if (!isEditing())
    throw StoreError(
        QStringLiteral("Dataset not in edit or insert mode (%1.%2).").arg(def_.component, name));
}

void Table::setValue(const QString& name, const QVariant& v) {
  requireOpen();
  requireEditing(name);
  const int fi = def_.fieldIndex(name);
  if (fi < 0) throw StoreError(QStringLiteral("Field '%1' not found.").arg(name));
  const FieldDef& f = def_.fields[fi];
  if (f.type == FieldType::AutoInc)
    throw StoreError(QStringLiteral("Field '%1' cannot be modified.").arg(f.name));
  const QVariant stored = toStorage(f, v);
  if (buffer_[fi] == stored && buffer_[fi].isNull() == stored.isNull()) return;
  buffer_[fi] = stored;
  modified_ = true;
  if (disabled_ == 0)
    emit fieldChanged(f.name);
  else if (!pendingFields_.contains(f.name))
    pendingFields_ << f.name;
}

void Table::gotoBookmark(const Bookmark& b) {
  requireOpen();
  checkBrowseMode();
  auto r = fetchRow(b.rowId);
  if (!r) throw StoreError(QStringLiteral("Record not found."));
  eof_ = bof_ = false;
  invalidatePosition();
  setCurrent(std::move(r));
}

void Table::refresh() {
  if (!isOpen()) return;
  if (isEditing()) cancel();
  reread();
}

// Re-reads the current record and drops what was cached, keeping the state: a record being
// edited stays in edit unless its row is gone.
void Table::reread() {
  seenGen_ = db_.generation(def_.sqlName);
  countGen_ = ~0ull;
  invalidatePosition();
  const bool hadRecord = current_.has_value();
  if (current_) {
    auto r = fetchRow(current_->rowId);
    if (!r) {
      if (state_ == State::Edit) {
        buffer_.clear();
        modified_ = false;
        state_ = State::Browse;
        announceState();
      }
      r = seek(orderKey(*current_), true); // the row is gone: the one that now follows its key
      if (!r) r = fetch({}, {}, true);
      eof_ = bof_ = false;
    }
    current_ = std::move(r);
  } else {
    current_ = fetch({}, {}, false);
  }
  if (!current_) eof_ = bof_ = true;
  if (!hadRecord && current_) eof_ = bof_ = false;
  announceRecord();
  announceData();
}

void Table::onTransactionStarted() {
  saved_.reset();
  if (isOpen()) saved_ = Snapshot{state_, buffer_, modified_, current_, eof_, bof_, false};
}

void Table::onTransactionEnded(bool committed) {
  std::optional<Snapshot> saved;
  // The outermost transaction ended, or SQLite ended it early: back to where it began.
  if (db_.transactionDepth() == 0 || db_.transactionAborted())
    saved = std::exchange(saved_, std::nullopt);
  if (!isOpen()) return;
  if (committed) {
    // SQL writes of the transaction may have changed the rows under this cursor.
    if (db_.generation(def_.sqlName) != seenGen_) reread();
    return;
  }
  // A record still being edited keeps what was typed (its post is what failed); otherwise
  // the cursor returns to where the transaction found it.
  if (saved && !isEditing()) {
    state_ = saved->state;
    buffer_ = saved->buffer;
    modified_ = saved->modified;
    current_ = saved->current;
    eof_ = saved->eof;
    bof_ = saved->bof;
    announceState();
  }
  reread();
}

QVector<Record> Table::rows(int offset, int limit) {
  QVector<Record> out;
  if (!isOpen()) return out;
  Statement st =
      db_.prepare(QStringLiteral("SELECT %1 FROM %2%3%4 LIMIT ? OFFSET ?")
                      .arg(selectList(), quoted(def_.sqlName), whereWith({}), orderBy(false)));
  int n = 1;
  if (filtered_) {
    st.bindAll(filter_.params);
    n += filter_.params.size();
  }
  st.bind(n, limit).bind(n + 1, offset);
  while (st.step()) {
    Record r;
    r.rowId = st.integer(0);
    for (int i = 0; i < def_.fields.size(); ++i)
      r.values << st.value(i + 1);
    out << r;
  }
  return out;
}

} // namespace esc
