#include "contasPage.h"

#include "ui/search.h"

namespace esc {

ContasPage::ContasPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Contas Contábeis e Contas Correntes Contábeis", parent) {
  buttons_ = makeEditingButtons(this, 'C', buttons);
  addNavigation(
      ctx.dm().TbContas,
      {"ButCFirst", "ButCRW", "ButCPrior", "ButCNext", "ButCFF", "ButCLast", "MaskCSalto"},
      "EdCRecNo", "EdCTotRec");
  connect(buttons_.buscar, &QPushButton::clicked, this,
          [this] { runSearch(ctx_, SearchKind::Contas, ctx_.dm().DsContas, "Contas"); });
}

} // namespace esc
