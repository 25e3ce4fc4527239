#include "demResulPage.h"

#include "ui/search.h"

namespace esc {

DemResulPage::DemResulPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Demonstração do Resultado", parent) {
  buttons_ = makeEditingButtons(this, 'D', buttons);
  addNavigation(
      ctx.dm().TbDemResul,
      {"ButDFirst", "ButDRW", "ButDPrior", "ButDNext", "ButDFF", "ButDLast", "MaskDSalto"},
      "EdDRecNo", "EdDTotRec");
  connect(buttons_.buscar, &QPushButton::clicked, this,
          [this] { runSearch(ctx_, SearchKind::DemResul, ctx_.dm().DsDemResul, "Dem. Res."); });
}

} // namespace esc
