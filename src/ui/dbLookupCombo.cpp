#include "dbLookupCombo.h"

#include "ui/application.h"

namespace esc {

DBLookupCombo::DBLookupCombo(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, &DBLookupCombo::pick);
}

const LookupDef* DBLookupCombo::lookup() const {
  if (!source_ || field_.isEmpty()) return nullptr;
  return source_->table()->def().lookup(field_);
}

void DBLookupCombo::setDataSource(DataSource* source) {
  source_ = source;
  bindSource();
}

void DBLookupCombo::setDataField(const QString& lookupField) {
  field_ = lookupField;
  bindSource();
  reloadList();
}

void DBLookupCombo::setListTable(Table* table) {
  list_ = table;
  bindList();
  reloadList();
}

void DBLookupCombo::setListFields(const QStringList& fields) {
  listFields_ = fields;
  reloadList();
}

void DBLookupCombo::bindSource() {
  for (const auto& c : sourceConnections_)
    disconnect(c);
  sourceConnections_.clear();
  if (!source_) return;
  Table* t = source_->table();
  sourceConnections_ << connect(t, &Table::recordChanged, this, &DBLookupCombo::showCurrent)
                     << connect(t, &Table::stateChanged, this, &DBLookupCombo::showCurrent)
                     << connect(t, &Table::fieldChanged, this, [this](const QString& name) {
                          const LookupDef* l = lookup();
                          if (l && name.compare(l->keyField, Qt::CaseInsensitive) == 0)
                            showCurrent();
                        });
  showCurrent();
}

void DBLookupCombo::bindList() {
  for (const auto& c : listConnections_)
    disconnect(c);
  listConnections_.clear();
  if (!list_) return;
  // A change of the list table only marks the items stale: a loop that writes many rows
  // costs one reading, when the items are next needed on screen.
  listConnections_ << connect(list_, &Table::dataChanged, this, [this] {
    listStale_ = true;
    if (isVisible()) showCurrent();
  });
}

void DBLookupCombo::showEvent(QShowEvent* event) {
  QComboBox::showEvent(event);
  if (listStale_) showCurrent();
}

void DBLookupCombo::showPopup() {
  if (listStale_) reloadList();
  QComboBox::showPopup();
}

void DBLookupCombo::reloadList() {
  const bool was = std::exchange(writing_, true);
  listStale_ = false;
  clear();
  try {
    const LookupDef* l = lookup();
    if (l && list_ && list_->isOpen()) {
      const QStringList shown = listFields_.isEmpty() ? QStringList{l->resultField} : listFields_;
      const QVector<Record> rows = list_->rows(0, list_->recordCount());
      for (const Record& r : rows) {
        QStringList parts;
        for (const QString& f : shown)
          parts << list_->displayTextOf(r, f);
        addItem(parts.join(" - "), list_->valueOf(r, l->lookupKey).toString());
      }
    }
  } catch (const StoreError& e) {
    listStale_ = true; // read again next time
    reportStoreError(e);
  }
  writing_ = was;
  showCurrent();
}

void DBLookupCombo::showCurrent() {
  if (writing_) return;
  if (listStale_) {
    if (isVisible()) reloadList(); // shows the current item itself
    return;
  }
  const LookupDef* l = lookup();
  int at = -1;
  try {
    if (l && source_ && source_->table()->isOpen() &&
        (!source_->table()->isEmpty() || source_->table()->isEditing())) {
      const QString key = source_->table()->field(l->keyField).asString();
      if (!key.isEmpty()) at = findData(key);
    }
  } catch (const StoreError& e) {
    reportStoreError(e);
  }
  const bool was = std::exchange(writing_, true);
  setCurrentIndex(at);
  writing_ = was;
}

QString DBLookupCombo::keyValue() const {
  return currentIndex() < 0 ? QString() : currentData().toString();
}

void DBLookupCombo::pick(int index) {
  const LookupDef* l = lookup();
  if (writing_ || !l || index < 0) return;
  Table* t = source_->table();
  const bool was = std::exchange(writing_, true);
  try {
    if (!t->isEditing()) {
      if (!source_->autoEdit()) {
        writing_ = was;
        showCurrent();
        return;
      }
      t->edit();
    }
    t->setValue(l->keyField, itemData(index));
  } catch (const StoreError& e) {
    if (onWriteError) onWriteError(e);
  }
  writing_ = was;
  showCurrent();
}

} // namespace esc
