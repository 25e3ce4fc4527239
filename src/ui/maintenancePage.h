#pragma once
#include "mainContext.h"
#include "navBar.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QWidget>

namespace esc {

// The frame of a "Cadastros" page: heading, the bound boxes (`form`), a row of buttons
// (`buttons`), and, for a page with a bar, the navigation bar with the record counters.
class MaintenancePage : public QWidget {
  Q_OBJECT
public:
  MaintenancePage(MainContext& ctx, const QString& heading, QWidget* parent = nullptr);

protected:
  // Adds the bar of `table` with its buttons named by `names` and the counters' boxes.
  NavBar* addNavigation(Table* table, const NavBarNames& names, const QString& recNoName,
                        const QString& totalName);

  MainContext& ctx_;
  QGridLayout* form;
  QHBoxLayout* buttons;
};

} // namespace esc
