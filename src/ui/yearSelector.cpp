#include "yearSelector.h"

namespace esc {

YearSelector::YearSelector(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, &YearSelector::choose);
}

void YearSelector::setTable(Table* fechamen) {
  disconnect(dataConnection_);
  table_ = fechamen;
  if (table_)
    dataConnection_ = connect(table_, &Table::dataChanged, this, [this] {
      // From the table's signal: the error is reported here, not let back through it.
      try {
        reload();
      } catch (const StoreError& e) {
        if (onError) onError(e);
      }
    });
  reload();
}

QString YearSelector::year() const {
  return currentIndex() < 0 ? QString() : currentText();
}

void YearSelector::reload() {
  const QString keep = year();
  const QSignalBlocker quiet(this);
  clear();
  if (table_ && table_->isOpen()) {
    // The list is every year of the table in key order, whatever cursor filter is in force.
    addItems(table_->listValues("Exercicio"));
  }
  setCurrentIndex(keep.isEmpty() ? -1 : findText(keep));
  if (year() != keep) emit yearChanged(year());
}

bool YearSelector::locateYear(const QString& year) {
  if (!table_ || !table_->isOpen()) return false;
  try {
    return table_->locate("Exercicio", year);
  } catch (const StoreError& e) {
    if (onError) onError(e);
    return false;
  }
}

void YearSelector::setYear(const QString& year) {
  const QString before = this->year();
  const int at = year.isEmpty() ? -1 : findText(year);
  {
    const QSignalBlocker quiet(this);
    setCurrentIndex(at);
  }
  if (at >= 0) locateYear(year);
  if (this->year() != before) emit yearChanged(this->year());
}

void YearSelector::choose(int index) {
  if (index < 0) return;
  const QString y = itemText(index);
  locateYear(y);
  emit yearChanged(y);
}

} // namespace esc
