#include "indicesPage.h"

#include <QGridLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace esc {

IndicesPage::IndicesPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("Indices");
  const auto& groups = orderGroups();
  for (int g = 0; g < groups.size(); ++g) {
    auto* box = new QGroupBox(groups[g].caption, this);
    box->setObjectName(groups[g].name);
    auto* column = new QVBoxLayout(box);
    auto* buttons = new QButtonGroup(box);
    for (int i = 0; i < groups[g].choices.size(); ++i) {
      auto* radio = new QRadioButton(groups[g].choices[i].item, box);
      buttons->addButton(radio, i);
      column->addWidget(radio);
    }
    column->addStretch();
    // The first item matches the order start-up sets.
    buttons->button(0)->setChecked(true);
    // idClicked, not toggled: clicking the item already chosen selects its order again,
    // which puts the order back after another operation replaced it.
    connect(buttons, &QButtonGroup::idClicked, this, [this, g](int id) { choose(g, id); });
    boxes_ << box;
    buttonGroups_ << buttons;
    chosen_ << 0;
  }

  // Contas and Históricos on the left, the long entry group in the middle, the trial
  // balance and the income statement on the right.
  auto* grid = new QGridLayout(this);
  grid->addWidget(boxes_[0], 0, 0);
  grid->addWidget(boxes_[1], 1, 0);
  grid->addWidget(boxes_[2], 0, 1, 2, 1);
  grid->addWidget(boxes_[3], 0, 2);
  grid->addWidget(boxes_[4], 1, 2);
  grid->setRowStretch(2, 1);
  for (int c = 0; c < 3; ++c)
    grid->setColumnStretch(c, 1);
}

QGroupBox* IndicesPage::group(SearchKind kind) const {
  const auto& groups = orderGroups();
  for (int g = 0; g < groups.size(); ++g)
    if (groups[g].kind == kind) return boxes_[g];
  return nullptr;
}

void IndicesPage::choose(int g, int id) {
  const OrderGroup& group = orderGroups()[g];
  Table& table = *(ctx_.dm().*group.table);
  // The group's selected item is looked up by its text, as the search prompt reads it.
  const QString item = buttonGroups_[g]->button(id)->text();
  for (const OrderChoice& choice : group.choices) {
    if (choice.item != item) continue;
    try {
      // Selecting an order posts a pending edit of the table first; a refused post leaves
      // the old order in force, so the group goes back to the item that chose it.
      table.setOrder(choice.order);
    } catch (const StoreError& e) {
      if (!e.silent()) ctx_.ui().error(e.message());
      buttonGroups_[g]->button(chosen_[g])->setChecked(true);
      return;
    }
    chosen_[g] = id;
    ctx_.setOrderItem(group.kind, item);
    ctx_.setSearchText(group.kind, choice.searchText(table));
    return;
  }
}

} // namespace esc
