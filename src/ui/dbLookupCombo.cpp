#include "dbLookupCombo.h"

#include "ui/application.h"

#include <QKeyEvent>

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

// The arrow keys step through the items without the list dropping down, so a combo that takes
// the focus must hold the current items (a page may have just restricted its list table).
void DBLookupCombo::focusInEvent(QFocusEvent* event) {
  if (listStale_) reloadList();
  // Typing starts afresh each time the box is entered (not when its own list closes).
  if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
    typed_.clear();
  QComboBox::focusInEvent(event);
}

// Qt's own search jumps to the first item that begins with the keys typed within a short
// interval, so a code no account has, or one typed slowly, would land on another account.
void DBLookupCombo::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (plain && event->key() == Qt::Key_Backspace && !typed_.isEmpty()) {
    typed(typed_.chopped(1));
    return;
  }
  // A space opens the list, as in any drop-down list, unless it is inside a typed name.
  if (plain && !text.isEmpty() && text.at(0).isPrint() && (text != " " || !typed_.isEmpty())) {
    typed(typed_ + text);
    return;
  }
  QComboBox::keyPressEvent(event);
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
  typed_.clear(); // the entry changed from elsewhere: it is what the box shows
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
  display(at);
}

bool DBLookupCombo::showsKeys() const {
  const LookupDef* l = lookup();
  return l && l->resultField.compare(l->lookupKey, Qt::CaseInsensitive) == 0;
}

void DBLookupCombo::display(int index) {
  QString shown;
  if (index < 0) {
    shown = typed_;
    // A key no item has (typed here before) is still what the entry holds: show it.
    const LookupDef* l = lookup();
    if (shown.isEmpty() && showsKeys() && source_ && source_->table()->isEditing())
      shown = source_->table()->field(l->keyField).asString();
  }
  const bool was = std::exchange(writing_, true);
  setCurrentIndex(index);
  setPlaceholderText(shown);
  writing_ = was;
}

void DBLookupCombo::typed(const QString& text) {
  typed_ = text;
  const LookupDef* l = lookup();
  if (!l || !source_) return;
  const QString wanted = text.trimmed();
  int at = -1;
  for (int i = 0; i < count() && !wanted.isEmpty(); ++i)
    if (itemData(i).toString() == wanted || itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
      at = i;
      break;
    }
  if (at >= 0) {
    typed_.clear();
    setCurrentIndex(at);
    pick(at);
    return;
  }
  Table* t = source_->table();
  const bool was = std::exchange(writing_, true);
  try {
    if (!t->isEditing()) {
      if (!source_->autoEdit()) {
        writing_ = was;
        typed_.clear();
        showCurrent();
        return;
      }
      t->edit();
    }
    t->setValue(l->keyField, showsKeys() ? wanted : QString());
  } catch (const StoreError& e) {
    if (onWriteError) onWriteError(e);
  }
  writing_ = was;
  // A guard may have discarded the edit: the box then shows the entry again.
  if (!t->isEditing()) return showCurrent();
  display(-1);
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

DBLookupCombo* DBLookupCombo::entryPicker(QWidget* parent, const QString& name, DataSource* source,
                                          const QString& field, Table* list,
                                          std::function<void(const StoreError&)> onError) {
  auto* c = new DBLookupCombo(parent);
  c->setObjectName(name);
  c->setDataSource(source);
  c->setListTable(list);
  c->setDataField(field);
  c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  c->setMinimumContentsLength(4);
  c->onWriteError = std::move(onError);
  return c;
}

} // namespace esc
