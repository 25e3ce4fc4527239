#pragma once
#include "store/table.h"

#include <QComboBox>
#include <QPointer>
#include <functional>

namespace esc {

// A drop-down list bound to a lookup field of a data source's table (TbLancamen's
// NomeContaContabil, NomeHistorico...). Its items are the rows of the looked-up table (the
// list table, e.g. TbContas), shown by the lookup's result field or by the list fields given;
// it shows the item of the current entry's key value, and picking an item writes that row's
// key value into the entry's key field, starting an edit of a browsed entry.
//
// Typing into the box picks only the item whose key (or shown text) is what was typed in
// full, however slowly it is typed. Until then the box shows the typed text, and the entry
// holds it as its key when the box shows keys (an account code no account has, which the
// page's save refuses), or no key at all when it shows names: never another item's key.
class DBLookupCombo : public QComboBox {
  Q_OBJECT
public:
  explicit DBLookupCombo(QWidget* parent = nullptr);
  // A picker of the journal pages: bound to `field` of the source's table, listing `list`,
  // wide enough for a four-character code, its write errors said through `onError`.
  static DBLookupCombo* entryPicker(QWidget* parent, const QString& name, DataSource* source,
                                    const QString& field, Table* list,
                                    std::function<void(const StoreError&)> onError);

  void setDataSource(DataSource* source);
  DataSource* dataSource() const { return source_; }
  void setDataField(const QString& lookupField); // a lookup field of the source's table
  QString dataField() const { return field_; }
  void setListTable(Table* table); // the lookup's table
  Table* listTable() const { return list_; }
  // Fields of the list table shown for each item, joined by " - " (default: the result field).
  void setListFields(const QStringList& fields);

  // The key value of the shown item ("" when none).
  QString keyValue() const;
  // Reads the list again (done when the list table's data changed, once the items are next
  // needed on screen).
  void reloadList();
  // Shows the item of the current entry (done on every notification of the entry's table).
  void showCurrent();

  std::function<void(const StoreError&)> onWriteError;

protected:
  void showEvent(QShowEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showPopup() override;

private:
  const LookupDef* lookup() const;
  void pick(int index);
  void typed(const QString& text);
  void display(int index);
  bool showsKeys() const;
  void bindSource();
  void bindList();

  QPointer<DataSource> source_;
  QPointer<Table> list_;
  QString field_;
  QStringList listFields_;
  QString typed_; // what was typed since the box took the focus
  bool writing_ = false;
  bool listStale_ = false;
  QVector<QMetaObject::Connection> sourceConnections_, listConnections_;
};

} // namespace esc
