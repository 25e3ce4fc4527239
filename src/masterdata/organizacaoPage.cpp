#include "organizacaoPage.h"

#include "book/texts.h"
#include "ui/pageParts.h"

#include <QLabel>

namespace esc {

namespace {

// Held by the system, compared with the upper-cased answer.
const QString accessCode = QStringLiteral("PRELUDIX");

} // namespace

OrganizacaoPage::OrganizacaoPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Dados da Organização Usuária", parent) {
  setObjectName("Organizacao");
  DataSource* ds = ctx.dm().DsCabecalh;
  const char* fields[][3] = {
      {"DBEdit1", "NomeDaOrganizacao", "Nome da Organização"},
      {"DBEdit2", "CNPJDaOrganizacao", "CNPJ da Organização"},
      {"DBEdit3", "EnderecoDaOrganizacao", "Endereço da Organização"},
      {"DBEdit4", "NomeDoContador", "Nome do Contador"},
      {"DBEdit5", "CargoDoContador", "Cargo do Contador"},
      {"DBEdit6", "ResponsavelOrganizacao", "Resp. pela Organização"},
      {"DBEdit7", "CargoDoResponsavel", "Cargo do Responsável"},
  };
  const QString readOnlyHint = "Estes dados são somente para leitura";
  for (int i = 0; i < 7; ++i) {
    auto* box = new DBEdit(ds, fields[i][1], this); // the CNPJ box takes the field's pattern
    box->setObjectName(fields[i][0]);
    box->setToolTip(readOnlyHint);
    box->setStatusTip(readOnlyHint);
    box->onWriteError = [this](const StoreError& e) { ctx_.ui().error(e.message()); };
    // Forty characters, the width of every text here but the CNPJ.
    const QFontMetrics fm(box->font());
    box->setFixedWidth(fm.horizontalAdvance(QString(i == 1 ? 20 : 40, 'N')) + 16);
    auto* label = new QLabel(fields[i][2], this);
    label->setBuddy(box);
    form->addWidget(label, i, 0);
    form->addWidget(box, i, 1, Qt::AlignLeft);
    boxes_ << box;
  }
  form->setColumnStretch(2, 1);

  alterar_ = makeButton(this, "ButCadOrgAlterar", "&Alterar", hint::inserir);
  gravar_ = makeButton(this, "ButCadOrgGravar", "&Gravar", hint::gravar);
  cancelar_ = makeButton(this, "ButCadOrgCancelar", "&Cancelar", hint::cancelar);
  dadosSped = makeButton(this, "ButCadOrgSped", "Dados para o SPED", book::text::spedDataHint);
  for (QPushButton* b : {alterar_, gravar_, cancelar_, dadosSped})
    buttons->addWidget(b);
  buttons->addStretch();
  setLocked(true);

  connect(alterar_, &QPushButton::clicked, this, &OrganizacaoPage::alterar);
  connect(gravar_, &QPushButton::clicked, this, &OrganizacaoPage::gravar);
  connect(cancelar_, &QPushButton::clicked, this, &OrganizacaoPage::cancelar);
  connect(dadosSped, &QPushButton::clicked, this, &OrganizacaoPage::spedDataRequested);
}

// The lock is the boxes' read-only setting and the buttons' enabled settings, nothing else:
// the periodic refresh never touches them, and leaving the page keeps them as they are.
void OrganizacaoPage::setLocked(bool locked) {
  for (DBEdit* box : boxes_) {
    box->setReadOnly(locked);
    // Locked boxes take the window's colour, so the page shows at a glance it is read-only.
    QPalette p = box->palette();
    p.setBrush(QPalette::Base, palette().brush(locked ? QPalette::Window : QPalette::Base));
    box->setPalette(p);
  }
  alterar_->setEnabled(locked);
  gravar_->setEnabled(!locked);
  cancelar_->setEnabled(!locked);
}

void OrganizacaoPage::alterar() {
  // A wrong code, or Cancel, says nothing: the page simply stays locked.
  const auto answer = ctx_.ui().prompt("Senha", "Informe a senha de acesso", "");
  if (answer && answer->toUpper() == accessCode) setLocked(false);
}

void OrganizacaoPage::gravar() {
  try {
    table().post(); // nothing typed: the row is not being edited and nothing is written
  } catch (const StoreError& e) {
    // Still unlocked, so the user can correct and save again, or cancel.
    ctx_.ui().error(e.message());
    return;
  }
  setLocked(true);
}

void OrganizacaoPage::cancelar() {
  table().cancel();
  setLocked(true);
}

} // namespace esc
