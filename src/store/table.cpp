#include "table.h"

#include "formats.h"
#include "lookup.h"

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
  if (isBlank(v)) return {};
  if (v.typeId() == QMetaType::Double) return fmt::general(v.toDouble());
  if (v.typeId() == QMetaType::QDate) return fmt::date(v.toDate());
  return v.toString();
}
double Field::asFloat() const {
  const QVariant v = value();
  if (isBlank(v)) return 0.0;
  if (v.typeId() == QMetaType::QString) return fmt::parseNumber(v.toString()).value_or(0.0);
  return v.toDouble();
}
QDate Field::asDate() const {
  const QVariant v = value();
  if (isBlank(v)) return {};
  if (v.typeId() == QMetaType::QDate) return v.toDate();
  return fmt::parseDate(v.toString()).value_or(QDate());
}
int Field::asInteger() const {
  return value().toInt();
}
bool Field::isNull() const {
  return isBlank(value());
}
QString Field::editText() const {
  return displayText();
}
QString Field::displayText() const {
  const int fi = table_->def().fieldIndex(name_);
  return esc::displayText(fi >= 0 ? &table_->def().fields[fi] : nullptr, value());
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
    : QObject(parent), db_(db), def_(def), schema_("f_" + def.sqlName), sql_(db_, def_) {
  applyOrder(def_.primary);
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
  sql_.release(); // statements of a connection of before
  db_.attach(schema_, def_.fileName, def_.sqlName, columns);
  ensureSupportIndexes();
  state_ = State::Browse;
  seenGen_ = db_.generation(def_.sqlName);
  countGen_ = recNoGen_ = ~0ull;
  setOrder(order_);
  first();
  announceState();
}

// A file made before the store kept an index of its own gets it on its first opening. The
// index only makes searches faster: a file that cannot take it (read-only, a full disk)
// opens without it.
void Table::ensureSupportIndexes() {
  for (const IndexDef& idx : def_.supportIndexes) {
    const QString name = def_.sqlName + "_" + idx.name;
    try {
      if (db_.selectValue(QStringLiteral("SELECT count(*) FROM \"%1\".sqlite_master WHERE name = ?")
                              .arg(schema_),
                          {name})
              .toLongLong() == 0)
        db_.exec(supportIndexSql(def_, idx, schema_));
    } catch (const StoreError&) {
    }
  }
}

void Table::close() {
  if (!isOpen()) return;
  buffer_.clear();
  current_.reset();
  state_ = State::Inactive;
  sql_.release();
  try {
    db_.detach(schema_);
  } catch (const StoreError&) {
    // A detach refused inside a transaction leaves the file attached until the end.
  }
  announceState();
  announceRecord();
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

void Table::applyOrder(const IndexDef& index) {
  order_ = index.name;
  sql_.setOrder(index);
  invalidatePosition();
}

void Table::applyFilter() {
  sql_.setFilter(filtered_ ? &filter_ : nullptr);
  countGen_ = ~0ull;
  invalidatePosition();
}

void Table::setOrder(const QString& indexName) {
  const IndexDef* idx = def_.index(indexName);
  if (!idx) throw StoreError(QStringLiteral("Index '%1' not found.").arg(indexName));
  if (isOpen()) checkBrowseMode();
  applyOrder(*idx);
  if (isOpen() && current_) {
    auto r = sql_.byRowId(current_->rowId);
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
    terms << columnExpression(f, idx->ignoreCase) + " = ?";
    params << toStorage(f, values[i]);
  }
  auto r = sql_.fetch(terms.join(" AND "), params, false);
  if (!r) return false;
  eof_ = bof_ = false;
  invalidatePosition();
  setCurrent(std::move(r));
  return true;
}

void Table::findNearest(const QVariant& value) {
  requireOpen();
  checkBrowseMode();
  if (!sql_.hasOrderFields()) {
    first();
    return;
  }
  const FieldDef& f = def_.fields[sql_.firstOrderField()];
  QVariant key;
  try {
    key = toStorage(f, value);
  } catch (const StoreError&) {
    key = fmt::trimRight(value.toString()); // compare the text as typed
  }
  auto r = sql_.fetch(sql_.firstOrderColumn() + " >= ?", {key.isNull() ? QVariant(QString()) : key},
                      false);
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
  auto r = v.isNull() ? sql_.fetch(quoted(f.name) + " IS NULL", {}, false)
                      : sql_.fetch(quoted(f.name) + " = ?", {v}, false);
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
  applyFilter();
  if (isOpen() && filtered_) {
    first();
    announceData();
  }
}

void Table::setFiltered(bool on) {
  // The filter already as asked changes nothing, so another page's edit is left as it is.
  if (on == filtered_ && othersEdit()) return;
  if (isOpen()) checkBrowseMode();
  if (on == filtered_) return;
  filtered_ = on;
  applyFilter();
  if (!isOpen()) return;
  if (on) {
    first();
  } else if (current_) {
    setCurrent(sql_.byRowId(current_->rowId));
  } else {
    first();
  }
  announceData();
}

// ---------------------------------------------------------------- navigation

void Table::first() {
  requireOpen();
  checkBrowseMode();
  auto r = sql_.first(false);
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
  auto r = sql_.first(true);
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
  auto r = sql_.seek(sql_.keyOf(*current_), true);
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
  auto r = sql_.seek(sql_.keyOf(*current_), false);
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
  auto r = sql_.seek(sql_.keyOf(*current_), forward, steps - 1, &passed);
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
    count_ = sql_.count();
    countGen_ = gen;
  }
  return count_;
}

int Table::recNo() {
  if (!isOpen() || !current_) return 0;
  const quint64 gen = db_.generation(def_.sqlName);
  if (recNoRowId_ != current_->rowId || recNoGen_ != gen) {
    recNo_ = sql_.countBefore(sql_.keyOf(*current_)) + 1;
    recNoRowId_ = current_->rowId;
    recNoGen_ = gen;
  }
  return recNo_;
}

// ---------------------------------------------------------------- editing

void Table::insert() {
  requireOpen();
  checkBrowseMode();
  QVariantList blank;
  for (const FieldDef& f : def_.fields)
    blank << (f.type == FieldType::AutoInc ? QVariant() : toStorage(f, QVariant()));
  buffer_.start(blank);
  owner_ = currentPage();
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
  buffer_.start(current_->values);
  owner_ = currentPage();
  state_ = State::Edit;
  announceState();
}

// An insert writes every field; an edit only the fields it changed, so a column an
// operation wrote since edit() (a running balance, a status) keeps that value.
void Table::writeBuffer() {
  for (int i = 0; i < def_.fields.size(); ++i) {
    const FieldDef& f = def_.fields[i];
    if (!f.required || f.type == FieldType::AutoInc) continue;
    if (isBlank(buffer_.values[i]))
      throw StoreError(QStringLiteral("Field '%1' must have a value.").arg(f.displayLabel()));
  }
  QStringList cols;
  QVariantList params;
  for (int i = 0; i < def_.fields.size(); ++i) {
    if (def_.fields[i].type == FieldType::AutoInc) continue;
    if (state_ == State::Edit && !buffer_.changed[i]) continue;
    cols << quoted(def_.fields[i].name);
    params << buffer_.values[i];
  }
  if (state_ == State::Insert) {
    db_.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                 .arg(quoted(def_.sqlName), cols.join(", "),
                      QString("?, ").repeated(cols.size() - 1) + "?"),
             params);
  } else if (!cols.isEmpty()) {
    params << current_->rowId;
    db_.exec(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                 .arg(quoted(def_.sqlName), cols.join(" = ?, ")),
             params);
  }
}

void Table::post() {
  requireOpen();
  if (!isEditing()) return;
  std::optional<Record> r;
  try {
    writeBuffer();
    const qint64 rowId = state_ == State::Insert ? db_.lastInsertRowId() : current_->rowId;
    // Read back through the filter-free row id, so a record the filter hides stays current.
    r = sql_.byRowId(rowId);
    // An update of a row someone else deleted writes nothing: say so, and keep what was typed.
    if (!r) throw StoreError(QStringLiteral("Record/key deleted."));
  } catch (const StoreError& e) {
    if (onPostError && onPostError(e) == PostErrorAction::Abort)
      throw StoreError(e.message(), true);
    throw;
  }
  // The row is written. What follows only tells others, outside the post-error hook's
  // reach: the hook is about a post that failed, and this one did not.
  // A rollback of the enclosing transaction undoes this post: the record then returns to
  // the state it was typed in, with these values.
  if (saved_ && !saved_->editPosted &&
      (saved_->state == State::Edit || saved_->state == State::Insert)) {
    saved_->buffer = buffer_;
    saved_->buffer.modified = true;
    saved_->editPosted = true;
  }
  buffer_.clear();
  state_ = State::Browse;
  eof_ = bof_ = false;
  invalidatePosition();
  seenGen_ = db_.generation(def_.sqlName);
  setCurrent(std::move(r));
  announceState();
  announceData();
  if (afterPost) afterPost();
}

void Table::cancel() {
  if (!isEditing()) return;
  buffer_.clear();
  state_ = State::Browse;
  announceState();
  announceRecord();
}

void Table::remove() {
  requireOpen();
  requireOwnEdit();
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
  auto r = sql_.seek(sql_.keyOf(gone), true);
  invalidatePosition();
  if (r) {
    eof_ = bof_ = false;
    setCurrent(std::move(r));
  } else {
    auto l = sql_.first(true);
    eof_ = true;
    bof_ = !l.has_value();
    setCurrent(std::move(l));
  }
  announceData();
}

// With no page on either side (the engine on its own, or its window gone) nobody is refused.
bool Table::othersEdit() const {
  if (!isEditing() || owner_.isEmpty()) return false;
  const QStringList page = currentPage();
  return !page.isEmpty() && page != owner_;
}

void Table::requireOwnEdit() const {
  if (othersEdit())
    throw StoreError(QStringLiteral("Há um registro em edição em %1. Grave-o ou cancele-o antes.")
                         .arg(owner_.last()));
}

void Table::checkBrowseMode() {
  if (!isEditing()) return;
  requireOwnEdit();
  if (buffer_.modified)
    post();
  else
    cancel();
}

// ---------------------------------------------------------------- values

const QVariantList& Table::activeValues() const {
  static const QVariantList none;
  if (isEditing()) return buffer_.values;
  return current_ ? current_->values : none;
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
    return fromStorage(f, fi < vals.size() ? vals[fi] : QVariant());
  }
  if (const LookupDef* l = def_.lookup(name)) return lookupValue(*l, value(l->keyField));
  throw StoreError(QStringLiteral("Field '%1' not found.").arg(name));
}

QVariant Table::valueOf(const Record& r, const QString& name) const {
  const int fi = def_.fieldIndex(name);
  if (fi >= 0) {
    if (def_.fields[fi].type == FieldType::AutoInc) return r.rowId;
    return fromStorage(def_.fields[fi], r.values[fi]);
  }
  if (const LookupDef* l = def_.lookup(name)) return lookupValue(*l, valueOf(r, l->keyField));
  throw StoreError(QStringLiteral("Field '%1' not found.").arg(name));
}

QString Table::displayTextOf(const Record& r, const QString& name) const {
  const int fi = def_.fieldIndex(name);
  return displayText(fi >= 0 ? &def_.fields[fi] : nullptr, valueOf(r, name));
}

QVariant Table::lookupValue(const LookupDef& l, const QVariant& key) const {
  Table* source = lookupSources_.value(l.lookupTable);
  if (!source || !source->isOpen()) return QString();
  return readLookup(db_, source->def(), l, key);
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
  if (!buffer_.set(fi, toStorage(f, v))) return;
  if (disabled_ == 0)
    emit fieldChanged(f.name);
  else if (!pendingFields_.contains(f.name))
    pendingFields_ << f.name;
}

void Table::gotoBookmark(const Bookmark& b) {
  requireOpen();
  checkBrowseMode();
  auto r = sql_.byRowId(b.rowId);
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
    auto r = sql_.byRowId(current_->rowId);
    if (!r) {
      if (state_ == State::Edit) {
        buffer_.clear();
        state_ = State::Browse;
        announceState();
      }
      r = sql_.seek(sql_.keyOf(*current_), true); // the row is gone: the one that now follows
      if (!r) r = sql_.first(true);
      eof_ = bof_ = false;
    }
    current_ = std::move(r);
  } else {
    current_ = sql_.first(false);
  }
  if (!current_) eof_ = bof_ = true;
  if (!hadRecord && current_) eof_ = bof_ = false;
  announceRecord();
  announceData();
}

void Table::onTransactionStarted() {
  saved_.reset();
  if (isOpen())
    saved_ = Snapshot{state_, buffer_,     current_, eof_,      bof_,  false,
                      order_, filterText_, filter_,  filtered_, owner_};
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
  if (saved) {
    // The order and filter the operation chose are undone with its rows.
    if (saved->order != order_ || saved->filterText != filterText_ ||
        saved->filtered != filtered_) {
      filterText_ = saved->filterText;
      filter_ = saved->filter;
      filtered_ = saved->filtered;
      applyFilter();
      applyOrder(*def_.index(saved->order));
    }
    // A record still being edited keeps what was typed (its post is what failed); otherwise
    // the cursor returns to where the transaction found it.
    if (!isEditing()) {
      state_ = saved->state;
      buffer_ = saved->buffer;
      owner_ = saved->owner;
      current_ = saved->current;
      eof_ = saved->eof;
      bof_ = saved->bof;
      announceState();
    }
  }
  reread();
}

QVector<Record> Table::rows(int offset, int limit) {
  if (!isOpen()) return {};
  return sql_.rows(offset, limit);
}

QStringList Table::listValues(const QString& name) {
  requireOpen();
  const FieldDef& f = def_.field(name);
  QStringList order;
  for (const QString& p : def_.primary.fields)
    order << columnExpression(def_.field(p), def_.primary.ignoreCase);
  order << QStringLiteral("rowid");
  QStringList out;
  Statement st = db_.query(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                               .arg(quoted(f.name), quoted(def_.sqlName), order.join(", ")));
  while (st.step())
    out << displayText(&f, fromStorage(f, st.value(0)));
  return out;
}

} // namespace esc
