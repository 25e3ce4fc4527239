#include "dbGrid.h"

#include "store/formats.h"
#include "store/userPrompts.h"
#include "ui/application.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScopeGuard>

namespace esc {

// ---------------------------------------------------------------- model

TableModel::TableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TableModel::setTable(Table* table) {
  beginResetModel();
  table_ = table;
  pages_.clear();
  knownRow_ = -1;
  rows_ = 0;
  if (table_ && table_->isOpen())
    rows_ = table_->recordCount() + (table_->state() == Table::State::Insert ? 1 : 0);
  endResetModel();
}

void TableModel::setColumns(const QVector<GridColumn>& columns) {
  beginResetModel();
  columns_ = columns;
  endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : columns_.size();
}

const FieldDef* TableModel::fieldDef(const QString& field) const {
  if (!table_) return nullptr;
  const int fi = table_->def().fieldIndex(field);
  return fi >= 0 ? &table_->def().fields[fi] : nullptr;
}

bool TableModel::isInsertRow(int row) const {
  return table_ && table_->state() == Table::State::Insert && row == rows_ - 1;
}

bool TableModel::editingRow(int row) const {
  if (!table_ || !table_->isEditing()) return false;
  if (table_->state() == Table::State::Insert) return isInsertRow(row);
  return row == tableRow();
}

int TableModel::tableRow() const {
  if (!table_ || !table_->isOpen()) return -1;
  if (table_->state() == Table::State::Insert) return rows_ - 1;
  if (table_->isEmpty()) return -1;
  if (knownRow_ < 0) knownRow_ = table_->recNo() - 1;
  return knownRow_;
}

const Record* TableModel::record(int row) const {
  if (!table_ || row < 0 || row >= rows_ || isInsertRow(row)) return nullptr;
  const int page = row / pageSize;
  auto it = pages_.find(page);
  if (it == pages_.end()) {
    // Keep the cache to a few screens' worth: a long scroll through a big table must not
    // keep every row it passed.
    if (pages_.size() >= 64) pages_.clear();
    it = pages_.insert(page, table_->rows(page * pageSize, pageSize));
  }
  const int at = row % pageSize;
  return at < it->size() ? &(*it)[at] : nullptr;
}

QString TableModel::cellText(int row, const QString& field) const {
  if (editingRow(row)) {
    if (!table_->hasField(field)) return {};
    return table_->field(field).displayText();
  }
  const Record* r = record(row);
  if (!r || !table_->hasField(field)) return {};
  return table_->displayTextOf(*r, field);
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !table_ || index.column() >= columns_.size()) return {};
  const QString& field = columns_[index.column()].field;
  switch (role) {
  case Qt::DisplayRole:
  case Qt::EditRole:
    try {
      return cellText(index.row(), field);
    } catch (const StoreError&) {
      return {};
    }
  case Qt::TextAlignmentRole: {
    const FieldDef* f = fieldDef(field);
    if (f && (f->type == FieldType::Float || f->type == FieldType::Integer ||
              f->type == FieldType::AutoInc))
      return int(Qt::AlignRight | Qt::AlignVCenter);
    return int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  default:
    return {};
  }
}

QVariant TableModel::headerData(int section, Qt::Orientation o, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (o == Qt::Vertical) return {};
  if (section < 0 || section >= columns_.size()) return {};
  const GridColumn& c = columns_[section];
  if (!c.title.isEmpty() || !table_) return c.title;
  if (table_->hasField(c.field)) return table_->field(c.field).label();
  return c.field;
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (readOnly_ || !index.isValid() || !table_) return f;
  const FieldDef* def = fieldDef(columns_[index.column()].field);
  if (def && def->type != FieldType::AutoInc) f |= Qt::ItemIsEditable;
  return f;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || readOnly_ || !index.isValid() || !table_ || !table_->isOpen())
    return false;
  const QString& field = columns_[index.column()].field;
  const FieldDef* def = fieldDef(field);
  if (!def || def->type == FieldType::AutoInc) return false;
  try {
    if (!editingRow(index.row())) {
      if (moveTableTo && !moveTableTo(index.row())) return false;
      if (!table_->isEditing()) table_->edit();
    }
    const QString text = value.toString();
    if (def->type == FieldType::Text)
      table_->setValue(field, text);
    else
      table_->field(field).setAsString(text);
  } catch (const StoreError& e) {
    if (onError) onError(e);
    return false;
  }
  emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columns_.size() - 1));
  return true;
}

void TableModel::refresh() {
  pages_.clear();
  knownRow_ = -1;
  const int before = rows_;
  int after = 0;
  if (table_ && table_->isOpen())
    after = table_->recordCount() + (table_->state() == Table::State::Insert ? 1 : 0);
  // Rows are added or taken at the end rather than by a reset, which would lose the view's
  // current cell while the user is moving through the grid.
  if (after > before) {
    beginInsertRows({}, before, after - 1);
    rows_ = after;
    endInsertRows();
  } else if (after < before) {
    beginRemoveRows({}, after, before - 1);
    rows_ = after;
    endRemoveRows();
  }
  if (rows_ > 0 && !columns_.isEmpty())
    emit dataChanged(index(0, 0), index(rows_ - 1, columns_.size() - 1));
}

// ---------------------------------------------------------------- grid

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new TableModel(this)) {
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  model_->moveTableTo = [this](int row) { return moveTableTo(row); };
  model_->onError = [this](const StoreError& e) { report(e); };
}

void DBGrid::setDataSource(DataSource* source) {
  source_ = source;
  bind();
}

void DBGrid::setColumns(const QVector<GridColumn>& columns) {
  model_->setColumns(columns);
  applyWidths();
  selectRow(model_->tableRow());
}

void DBGrid::applyWidths() {
  const QVector<GridColumn>& columns = model_->columns();
  Table* t = table();
  const int charWidth = fontMetrics().averageCharWidth();
  for (int i = 0; i < columns.size(); ++i) {
    int w = columns[i].width;
    if (w <= 0) {
      int chars = 10;
      if (t) {
        const int fi = t->def().fieldIndex(columns[i].field);
        if (fi >= 0 && t->def().fields[fi].width > 0) chars = t->def().fields[fi].width;
        if (const LookupDef* l = t->def().lookup(columns[i].field)) chars = l->width;
      }
      const QString title = model_->headerData(i, Qt::Horizontal).toString();
      w = qMax(chars, int(title.size())) * charWidth + 12;
    }
    setColumnWidth(i, w);
  }
}

void DBGrid::setReadOnly(bool on) {
  model_->setReadOnly(on);
  setEditTriggers(on ? QAbstractItemView::NoEditTriggers
                     : QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

void DBGrid::bind() {
  for (const auto& c : connections_)
    disconnect(c);
  connections_.clear();
  Table* t = table();
  model_->setTable(t);
  applyWidths();
  if (t) {
    seenOrder_ = t->order();
    seenFilter_ = t->filter();
    seenFiltered_ = t->filtered();
    connections_ << connect(t, &Table::recordChanged, this, &DBGrid::followTable)
                 << connect(t, &Table::stateChanged, this, &DBGrid::followData)
                 << connect(t, &Table::dataChanged, this, &DBGrid::followData)
                 << connect(t, &Table::fieldChanged, this, [this] {
                      try {
                        const int row = model_->tableRow();
                        if (row >= 0 && model_->columnCount() > 0)
                          emit model_->dataChanged(model_->index(row, 0),
                                                   model_->index(row, model_->columnCount() - 1));
                      } catch (const StoreError& e) {
                        report(e);
                      }
                    });
  }
  selectRow(model_->tableRow());
}

// The table's slots: a store error met while following the table is reported here, never
// let back through the table's signal.
void DBGrid::followData() {
  try {
    followDataOrThrow();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DBGrid::followTable() {
  try {
    followTableOrThrow();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DBGrid::followDataOrThrow() {
  if (syncing_) {
    // The table is being moved from here: the rows are read again, the row is set after.
    model_->refresh();
    return;
  }
  Table* t = table();
  if (t) {
    seenOrder_ = t->order();
    seenFilter_ = t->filter();
    seenFiltered_ = t->filtered();
  }
  // Rows taken away under the view's current cell make the view pick another current row:
  // that is not the user's move, so it must not move the table.
  {
    syncing_ = true;
    const auto done = qScopeGuard([this] { syncing_ = false; });
    model_->refresh();
  }
  selectRow(model_->tableRow());
}

void DBGrid::followTableOrThrow() {
  Table* t = table();
  if (!t) return;
  // A new order (or filter) puts the rows in other places; it is announced as a record change.
  if (t->order() != seenOrder_ || t->filter() != seenFilter_ || t->filtered() != seenFiltered_) {
    followDataOrThrow();
    return;
  }
  if (syncing_) return;
  model_->setKnownRow(-1);
  selectRow(model_->tableRow());
}

void DBGrid::selectRow(int row) {
  const bool was = std::exchange(syncing_, true);
  if (row < 0 || row >= model_->rowCount()) {
    selectionModel()->clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  } else {
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex at = model_->index(row, qMax(0, column));
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
    scrollTo(at);
  }
  syncing_ = was;
}

bool DBGrid::moveTableTo(int row) {
  Table* t = table();
  if (!t || !t->isOpen()) return false;
  if (row == model_->tableRow()) return true;
  const Record* r = model_->record(row);
  if (!r) return false; // the insert row is reached by inserting, not by moving
  const Bookmark target{r->rowId};
  const bool was = std::exchange(syncing_, true);
  bool moved = true;
  try {
    t->gotoBookmark(target); // posts a pending edit first
  } catch (const StoreError& e) {
    moved = false;
    report(e);
  }
  syncing_ = was;
  // The post may have moved rows about (a new key, an inserted row): ask the table.
  model_->setKnownRow(-1);
  if (moved && t->bookmark().rowId == target.rowId && !t->isEditing()) {
    const Record* now = model_->record(row);
    if (now && now->rowId == target.rowId) model_->setKnownRow(row);
  }
  return moved;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (syncing_ || !current.isValid()) return;
  if (previous.isValid() && previous.row() == current.row()) return;
  const bool moved = moveTableTo(current.row());
  // Refused (a post failed) or not a row of the table: back to the table's row.
  const int row = model_->tableRow();
  if (!moved || row != current.row()) selectRow(row);
}

void DBGrid::keyboardSearch(const QString& search) {
  // Typing into the grid never jumps to a row by its first letters: it would move the
  // table behind the user's back.
  Q_UNUSED(search);
}

void DBGrid::report(const StoreError& e) {
  if (onError) {
    onError(e);
    return;
  }
  if (ui_) {
    if (!e.silent()) ui_->error(e.message());
    return;
  }
  reportStoreError(e);
}

} // namespace esc
