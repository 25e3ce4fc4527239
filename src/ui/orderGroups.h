#pragma once
#include "mainContext.h"

#include <QVector>
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

// The first item of each order group, the one in force at start.
QString firstOrderItem(SearchKind kind);

} // namespace esc
