#pragma once
#include "ui/mainContext.h"
#include "ui/orderGroups.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QWidget>
#include <functional>

namespace esc {

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
