#include "maintenancePage.h"

#include "pageParts.h"

#include <QVBoxLayout>

namespace esc {

MaintenancePage::MaintenancePage(MainContext& ctx, const QString& heading, QWidget* parent)
    : QWidget(parent), ctx_(ctx) {
  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, heading));
  form = new QGridLayout;
  col->addLayout(form);
  col->addStretch();
  buttons = new QHBoxLayout;
  col->addLayout(buttons);
}

NavBar* MaintenancePage::addNavigation(Table* table, const NavBarNames& names,
                                       const QString& recNoName, const QString& totalName) {
  auto* bar = new NavBar(table, ctx_.ui(), names, this);
  auto* counters = new RecordCounters(recNoName, totalName, this);
  auto* row = new QHBoxLayout;
  row->addWidget(bar);
  row->addStretch();
  row->addWidget(counters);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
  return bar;
}

} // namespace esc
