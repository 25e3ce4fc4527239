#include "dbEdit.h"

#include "store/formats.h"
#include "ui/application.h"

#include <QFocusEvent>

namespace esc {

DBEdit::DBEdit(QWidget* parent) : PatternEdit(parent) {
  connect(this, &QLineEdit::textEdited, this, &DBEdit::userEdited);
  connect(this, &QLineEdit::returnPressed, this, [this] { leaveBox(true); });
}

DBEdit::DBEdit(DataSource* source, const QString& field, QWidget* parent) : DBEdit(parent) {
  field_ = field;
  setDataSource(source);
}

void DBEdit::setDataSource(DataSource* source) {
  source_ = source;
  bind();
}

void DBEdit::setDataField(const QString& field) {
  field_ = field;
  bind();
}

void DBEdit::setEditPattern(const QString& pattern) {
  explicitPattern_ = pattern;
  hasExplicitPattern_ = !pattern.isEmpty();
  applyFieldSettings();
  showField();
}

bool DBEdit::isLookup() const {
  Table* t = table();
  return t && t->def().fieldIndex(field_) < 0 && t->def().lookup(field_) != nullptr;
}

FieldType DBEdit::fieldType() const {
  Table* t = table();
  if (!t) return FieldType::Text;
  const int fi = t->def().fieldIndex(field_);
  return fi >= 0 ? t->def().fields[fi].type : FieldType::Text;
}

void DBEdit::bind() {
  for (const auto& c : connections_)
    disconnect(c);
  connections_.clear();
  Table* t = table();
  if (t && !field_.isEmpty()) {
    QString keyField;
    if (const LookupDef* l = t->def().lookup(field_)) keyField = l->keyField;
    connections_ << connect(t, &Table::recordChanged, this, &DBEdit::showField)
                 << connect(t, &Table::stateChanged, this, &DBEdit::showField)
                 << connect(t, &Table::dataChanged, this, &DBEdit::showField)
                 << connect(t, &Table::fieldChanged, this, [this, keyField](const QString& name) {
                      if (name.compare(field_, Qt::CaseInsensitive) == 0 ||
                          (!keyField.isEmpty() && name.compare(keyField, Qt::CaseInsensitive) == 0))
                        showField();
                    });
  }
  applyFieldSettings();
  showField();
}

void DBEdit::applyFieldSettings() {
  Table* t = table();
  const int fi = t ? t->def().fieldIndex(field_) : -1;
  QString pattern = explicitPattern_;
  if (!hasExplicitPattern_ && fi >= 0) pattern = t->def().fields[fi].pattern;
  setPattern(pattern);
  if (!hasPattern()) {
    if (fi >= 0 && t->def().fields[fi].type == FieldType::Text && t->def().fields[fi].width > 0)
      setMaxLength(t->def().fields[fi].width);
    else if (fieldType() == FieldType::Date)
      setMaxLength(10);
    else
      setMaxLength(32767);
  }
  // A lookup value is computed from another field: there is nothing here to write.
  if (isLookup()) setReadOnly(true);
}

QString DBEdit::fieldText() const {
  Table* t = table();
  if (!t || !t->isOpen() || field_.isEmpty() || !t->hasField(field_)) return {};
  if (t->isEmpty() && !t->isEditing()) return {};
  const Field f = t->field(field_);
  // An eight-position date pattern ("99/99/99") holds a two-digit year; the full form
  // would not fit and the pattern would cut the year to its century.
  if (fieldType() == FieldType::Date && hasPattern() && patternWidth() < 10)
    return fmt::shortDate(f.asDate());
  return f.editText();
}

void DBEdit::showField() {
  if (writing_) return;
  QString text;
  try {
    text = fieldText();
  } catch (const StoreError& e) {
    // Called from the table's signals: the error must not go back through them.
    reportStoreError(e);
  }
  if (text != patternText()) setPatternText(text);
  setModified(false);
}

bool DBEdit::writeText(bool quiet) {
  Table* t = table();
  QVariant value;
  switch (fieldType()) {
  case FieldType::Float:
    // Text that is not (yet) an amount leaves the record without one, never with the last
    // amount that read ("10" of "10.50").
    if (const auto v = fmt::parseAmount(text()); v && !isBlank()) value = *v;
    break;
  case FieldType::Date:
    if (!isBlank()) {
      QString typed = patternText();
      typed.remove(' ');
      const auto d = fmt::parseDate(typed);
      if (!d) return false;
      value = *d;
    }
    break;
  case FieldType::Integer:
    if (!isBlank()) {
      bool ok = false;
      const int v = text().trimmed().toInt(&ok);
      if (!ok) return false;
      value = v;
    }
    break;
  default:
    value = patternText();
  }
  writing_ = true;
  try {
    t->setValue(field_, value);
  } catch (const StoreError& e) {
    writing_ = false;
    if (!quiet && onWriteError) onWriteError(e);
    return false;
  }
  writing_ = false;
  return true;
}

void DBEdit::userEdited() {
  Table* t = table();
  if (!t || !t->isOpen() || field_.isEmpty() || isLookup()) return;
  if (!t->isEditing()) {
    if (!source_->autoEdit()) {
      showField(); // a browsed record is not changed from here
      return;
    }
    writing_ = true;
    try {
      t->edit();
    } catch (const StoreError& e) {
      writing_ = false;
      if (onWriteError) onWriteError(e);
      return;
    }
    writing_ = false;
  }
  writeText(false);
}

QString DBEdit::refusal() const {
  Table* t = table();
  if (!t || !t->isEditing() || fieldType() != FieldType::Float || !isModified() || isBlank())
    return {};
  return fmt::parseAmount(text()) ? QString() : fmt::invalidAmount(text());
}

bool DBEdit::typedTextsAccepted(QWidget* scope) {
  for (DBEdit* box : scope->findChildren<DBEdit*>()) {
    const QString refused = box->refusal();
    if (refused.isEmpty()) continue;
    if (box->onWriteError) box->onWriteError(StoreError(refused));
    box->setFocus(Qt::OtherFocusReason);
    return false;
  }
  return true;
}

void DBEdit::leaveBox(bool speak) {
  Table* t = table();
  if (!t || !t->isEditing() || field_.isEmpty() || isLookup() || isReadOnly()) return;
  const FieldType type = fieldType();
  if (type == FieldType::Text) return;
  // A refused amount stays as typed, for correction.
  if (const QString refused = refusal(); !refused.isEmpty()) {
    if (speak && onWriteError) onWriteError(StoreError(refused));
    return;
  }
  // Show what the buffer holds: the typed amount in its edit form, or the buffer's value
  // again when the text never became a valid date.
  if (isModified()) writeText(true);
  showField();
}

void DBEdit::focusOutEvent(QFocusEvent* event) {
  PatternEdit::focusOutEvent(event);
  // The focus going to a message box or into a list has not left the box for good.
  leaveBox(event->reason() != Qt::ActiveWindowFocusReason &&
           event->reason() != Qt::PopupFocusReason);
}

} // namespace esc
