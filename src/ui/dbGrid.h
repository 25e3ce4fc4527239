#pragma once
#include "store/table.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QTableView>
#include <functional>

namespace esc {

class Ui;

struct GridColumn {
  QString field;
  QString title; // "" = the field's label
  int width = 0; // pixels; 0 = from the field's width in characters
};

// The rows of a table for a grid, read a page at a time with Table::rows() and cached until
// the table's data, order or filter change, so a 250 000-row table costs only the pages on
// screen. The row the table is editing shows the record buffer; a record being inserted is
// an extra row at the end.
class TableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int pageSize = 128;

  explicit TableModel(QObject* parent = nullptr);
  void setTable(Table* table);
  Table* table() const { return table_; }
  void setColumns(const QVector<GridColumn>& columns);
  const QVector<GridColumn>& columns() const { return columns_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  bool isReadOnly() const { return readOnly_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  // The cached row at `row` (nullptr for the insert row or past the end).
  const Record* record(int row) const;
  // The row of the table's current record (the insert row while inserting; -1 when empty).
  int tableRow() const;
  // Drops the cache and tells the views; row count changes are announced at the end.
  void refresh();
  // Sets the row the table is on, when the caller already knows it (saves a count).
  void setKnownRow(int row) { knownRow_ = row; }

  std::function<bool(int row)> moveTableTo; // the grid moves the table before a cell is written
  std::function<void(const StoreError&)> onError;

private:
  bool isInsertRow(int row) const;
  bool editingRow(int row) const;
  QString cellText(int row, const QString& field) const;
  const FieldDef* fieldDef(const QString& field) const;

  QPointer<Table> table_;
  QVector<GridColumn> columns_;
  bool readOnly_ = true;
  int rows_ = 0;
  mutable QHash<int, QVector<Record>> pages_;
  mutable int knownRow_ = -1; // -1 = ask the table
};

// A grid over a data source's table: the grid's current row and the table's current record
// move as one in both directions. Read-only grids refuse typing; editable grids write the
// typed cell into the record (starting an edit) and post it when the user moves to another
// row; a refused post is shown (through the Ui, or onError) and the grid stays on the row.
class DBGrid : public QTableView {
  Q_OBJECT
public:
  explicit DBGrid(QWidget* parent = nullptr);

  void setDataSource(DataSource* source);
  DataSource* dataSource() const { return source_; }
  Table* table() const { return source_ ? source_->table() : nullptr; }
  void setColumns(const QVector<GridColumn>& columns);
  void setReadOnly(bool on);
  bool isReadOnly() const { return model_->isReadOnly(); }
  TableModel* tableModel() const { return model_; }

  // Where refused posts and other store errors go; without either, to the application's
  // error box.
  void setUi(Ui* ui) { ui_ = ui; }
  std::function<void(const StoreError&)> onError;

  void keyboardSearch(const QString& search) override;

protected:
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
  void bind();
  void applyWidths();
  void followTable();
  void followData();
  void followTableOrThrow();
  void followDataOrThrow();
  bool moveTableTo(int row);
  void report(const StoreError& e);
  void selectRow(int row);

  QPointer<DataSource> source_;
  TableModel* model_;
  Ui* ui_ = nullptr;
  bool syncing_ = false;
  QString seenOrder_, seenFilter_;
  bool seenFiltered_ = false;
  QVector<QMetaObject::Connection> connections_;
};

} // namespace esc
