#include "organizacaoPage.h"

#include "ui/pageParts.h"

namespace esc {

OrganizacaoPage::OrganizacaoPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Dados da Organização Usuária", parent) {
  buttons->addWidget(makeButton(this, "ButCadOrgAlterar", "&Alterar", hint::inserir));
  auto* gravar = makeButton(this, "ButCadOrgGravar", "&Gravar", hint::gravar);
  auto* cancelar = makeButton(this, "ButCadOrgCancelar", "&Cancelar", hint::cancelar);
  gravar->setEnabled(false);
  cancelar->setEnabled(false);
  buttons->addWidget(gravar);
  buttons->addWidget(cancelar);
  buttons->addStretch();
}

} // namespace esc
