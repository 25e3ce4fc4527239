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

void MaintenancePage::addBoundBoxes(DataSource* ds, std::span<const BoundBox> boxes) {
  for (size_t i = 0; i < boxes.size(); ++i) {
    const BoundBox& b = boxes[i];
    b.box = new DBEdit(ds, b.field, this);
    b.box->setObjectName(b.name);
    b.box->setUpperCase(b.upper);
    b.box->setFixedWidth(QFontMetrics(b.box->font()).horizontalAdvance(QString(b.chars, 'N')) + 16);
    b.box->onWriteError = [this](const StoreError& e) { report(e); };
    const int row = int(i / 2) * 2, column = int(i % 2);
    form->addWidget(label(b.label, b.box), row, column);
    form->addWidget(b.box, row + 1, column, Qt::AlignLeft);
  }
}

QLabel* MaintenancePage::label(const QString& text, QWidget* buddy) {
  auto* l = new QLabel(text, this);
  l->setBuddy(buddy);
  return l;
}

void MaintenancePage::fit(QWidget* w, int chars) {
  w->setFixedWidth(QFontMetrics(font()).horizontalAdvance(QString(chars, '0')) + 16);
}

void MaintenancePage::report(const StoreError& e) {
  if (!e.silent()) ctx_.ui().error(e.message());
}

void MaintenancePage::insertCopy(Table& table, std::initializer_list<const char*> fields) {
  QVariantList values;
  for (const char* f : fields)
    values << table.value(f);
  table.insert();
  int i = 0;
  for (const char* f : fields)
    table.setValue(f, values[i++]);
}

} // namespace esc
