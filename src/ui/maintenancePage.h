#pragma once
#include "dbEdit.h"
#include "mainContext.h"
#include "navBar.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QWidget>
#include <initializer_list>
#include <span>

namespace esc {

// The frame of a "Cadastros" page: heading, the bound boxes (`form`), a row of buttons
// (`buttons`), and, for a page with a bar, the navigation bar with the record counters.
class MaintenancePage : public QWidget {
  Q_OBJECT
public:
  MaintenancePage(MainContext& ctx, const QString& heading, QWidget* parent = nullptr);

protected:
  // Duplicar: inserts a new record of `table` holding the current record's values of `fields`.
  static void insertCopy(Table& table, std::initializer_list<const char*> fields);

  // Adds the bar of `table` with its buttons named by `names` and the counters' boxes.
  NavBar* addNavigation(Table* table, const NavBarNames& names, const QString& recNoName,
                        const QString& totalName);

  // One box of a form laid out by addBoundBoxes: the member it fills, its field, object name
  // and label, whether it types in capitals, and how many characters wide it is.
  struct BoundBox {
    DBEdit*& box;
    const char* field;
    const char* name;
    const char* label;
    bool upper;
    int chars;
  };
  // Makes the boxes of `ds` in two columns, each label above its box, pairs of rows after
  // pairs of rows; each is as wide as its characters in its font and says its write errors.
  void addBoundBoxes(DataSource* ds, std::span<const BoundBox> boxes);

  // A label of this page whose accelerator gives `buddy` the focus.
  QLabel* label(const QString& text, QWidget* buddy);
  // Fixes `w`'s width to `chars` digits of this page's font, with room for the frame.
  void fit(QWidget* w, int chars);
  // Says a refused write, unless the store already did.
  void report(const StoreError& e);

  MainContext& ctx_;
  QGridLayout* form;
  QHBoxLayout* buttons;
};

} // namespace esc
