#include "lancamentosPage.h"

#include "ui/pageParts.h"
#include "ui/search.h"

namespace esc {

LancamentosPage::LancamentosPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Cadastro de Lançamentos", parent) {
  buttons->addWidget(makeButton(this, "ButLGravar", "&Gravar", hint::gravar));
  buttons->addWidget(makeButton(this, "ButLCancelar", "&Cancelar", hint::cancelar));
  buttons->addWidget(makeButton(this, "ButLEliminar", "&Eliminar", hint::eliminar));
  buttons->addWidget(makeButton(this, "ButLDuplicar", "&Duplicar", hint::duplicar));
  auto* buscar = makeButton(this, "ButLBuscar", "&Buscar", hint::buscar);
  buttons->addWidget(buscar);
  buttons->addWidget(makeButton(this, "ButLFiltrar", "&Filtrar",
                                "Ativa/Desativa filtro estabelecido no cadastro de documentos"));
  addNavigation(
      ctx.dm().TbLancamen,
      {"ButLFirst", "ButLRW", "ButLPrior", "ButLNext", "ButLFF", "ButLLast", "MaskLSalto"},
      "EdLRecNo", "EdLTotRec");
  connect(buscar, &QPushButton::clicked, this, [this] {
    runSearch(ctx_, SearchKind::Lancamentos, ctx_.dm().DsLancamen, "Lançamentos");
  });
}

} // namespace esc
