#pragma once
#include "store/table.h"

#include <QComboBox>
#include <QPointer>
#include <functional>

namespace esc {

// The fiscal-year selector: lists the Exercicio of every TbFechamen row in key order. Its
// text is the selected year, or "" when none is selected. Selecting a year (setYear or the
// user's choice) makes that year's row the current row of TbFechamen.
class YearSelector : public QComboBox {
  Q_OBJECT
public:
  explicit YearSelector(QWidget* parent = nullptr);

  void setTable(Table* fechamen);
  Table* table() const { return table_; }

  QString year() const;
  QString text() const { return year(); }
  // Selects `year` when listed (and locates its row); otherwise leaves nothing selected.
  void setYear(const QString& year);
  // Reads the years again, keeping the selection when the year is still listed; a table
  // that cannot be read is a StoreError (after a change of the table, it goes to onError).
  void reload();

  std::function<void(const StoreError&)> onError;

signals:
  void yearChanged(const QString& year);

private:
  void choose(int index);
  bool locateYear(const QString& year);

  QPointer<Table> table_;
  QMetaObject::Connection dataConnection_;
};

} // namespace esc
