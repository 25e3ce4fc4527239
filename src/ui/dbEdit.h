#pragma once
#include "store/table.h"
#include "ui/patternEdit.h"

#include <QPointer>
#include <functional>

namespace esc {

// An edit box bound to one field of a data source's table. It shows the field of the
// current record (or of the record being edited) in the field's edit form: amounts
// ",#0.00", dates dd/mm/yyyy (dd/mm/yy under an eight-position pattern such as "99/99/99"),
// text under the field's pattern. Typing into a browsed record starts editing it (when the
// data source allows auto-edit) and writes the box into the record buffer as the user types,
// so a post from anywhere (a page's Gravar button) saves what is on screen. Dates are written
// whenever the text parses; on leaving the box a date that does not parse gives way to the
// buffer's value again, so what is shown is what will be saved. An amount is written when the
// whole text reads as one; otherwise the record holds no amount, and the text stays on
// screen, refused when the box is left and when the page saves (`typedTextsAccepted`).
class DBEdit : public PatternEdit {
  Q_OBJECT
public:
  explicit DBEdit(QWidget* parent = nullptr);
  DBEdit(DataSource* source, const QString& field, QWidget* parent = nullptr);

  void setDataSource(DataSource* source);
  DataSource* dataSource() const { return source_; }
  Table* table() const { return source_ ? source_->table() : nullptr; }
  void setDataField(const QString& field);
  QString dataField() const { return field_; }

  // A pattern other than the field's own ("" goes back to the field's).
  void setEditPattern(const QString& pattern);

  // Shows the field's current value again (done on every table notification).
  void showField();

  // Called with a store error raised while writing the field (the box keeps its text).
  std::function<void(const StoreError&)> onWriteError;

  // What is said of the text typed here when its field cannot take it ("" when it can, or
  // when the box shows the field as it is).
  QString refusal() const;
  // Before a page saves: false when a box within `scope` holds typed text its field cannot
  // take; the first such box says so through onWriteError and takes the focus.
  static bool typedTextsAccepted(QWidget* scope);

protected:
  void focusOutEvent(QFocusEvent* event) override;

private:
  void bind();
  void applyFieldSettings();
  void userEdited();
  void leaveBox(bool speak);
  bool writeText(bool quiet);
  QString fieldText() const;
  FieldType fieldType() const;
  bool isLookup() const;

  QPointer<DataSource> source_;
  QString field_;
  QString explicitPattern_;
  bool hasExplicitPattern_ = false;
  bool writing_ = false;
  QVector<QMetaObject::Connection> connections_;
};

} // namespace esc
