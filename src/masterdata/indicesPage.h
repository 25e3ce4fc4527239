#pragma once
#include "ui/mainContext.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QWidget>
#include <functional>

namespace esc {

// One item of an order group: the order it selects on its table and the value of the
// current row that becomes the table's remembered search text.
struct OrderChoice {
  QString item;
  QString order; // "" = primary
  std::function<QString(Table&)> searchText;
};

// The five order groups, in the order of the page, with their items in order.
struct OrderGroup {
  QString name;    // objectName of the group box
  QString caption; // group box title
  SearchKind kind;
  Table* TDEscrivon::*table;
  QVector<OrderChoice> choices;
};
const QVector<OrderGroup>& orderGroups();

// The "Índices" page of "Manutenção": chooses, for each searchable table, the order it is
// browsed and searched in. The group keeps showing the item chosen last, even after another
// operation selected a different order of the table.
class IndicesPage : public QWidget {
  Q_OBJECT
public:
  IndicesPage(MainContext& ctx, QWidget* parent = nullptr);

  QGroupBox* group(SearchKind kind) const;

private:
  void choose(int groupIndex, int itemIndex);

  MainContext& ctx_;
  QVector<QGroupBox*> boxes_;
  QVector<QButtonGroup*> buttonGroups_;
  QVector<int> chosen_; // item in force per group, to put back when a choice fails
};

} // namespace esc
