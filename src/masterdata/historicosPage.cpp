#include "historicosPage.h"

#include "book/texts.h"
#include "store/formats.h"
#include "ui/search.h"

#include <QLabel>

namespace esc {

HistoricosPage::HistoricosPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Cadastro de Históricos", parent) {
  setObjectName("Historicos");
  DataSource* ds = ctx.dm().DsHistoric;
  code_ = new DBEdit(ds, "CodigoHistorico", this);
  code_->setObjectName("EditCodigoDoHistorico");
  name_ = new DBEdit(ds, "NomeHistorico", this);
  name_->setObjectName("EditNomeDoHistorico");
  name_->setUpperCase(true);
  name_->setMaxLength(40);
  code_->onWriteError = name_->onWriteError = [this](const StoreError& e) { report(e); };

  auto* codeLabel = label("Código do Histórico", code_);
  auto* nameLabel = label("Nome do Histórico", name_);
  // Wide enough for four digits and forty letters in this platform's fonts.
  const QFontMetrics fm(name_->font());
  code_->setFixedWidth(fm.horizontalAdvance(QString(6, '0')) + 16);
  name_->setMinimumWidth(fm.horizontalAdvance(QString(40, 'N')) + 16);
  form->addWidget(codeLabel, 0, 0);
  form->addWidget(code_, 1, 0, Qt::AlignLeft);
  form->addWidget(nameLabel, 2, 0);
  form->addWidget(name_, 3, 0);
  form->setColumnStretch(1, 1);

  buttons_ = makeEditingButtons(this, 'H', buttons);
  addNavigation(
      ctx.dm().TbHistoric,
      {"ButHFirst", "ButHRW", "ButHPrior", "ButHNext", "ButHFF", "ButHLast", "MaskHSalto"},
      "EdHRecNo", "EdHTotRec");

  connect(buttons_.inserir, &QPushButton::clicked, this, &HistoricosPage::inserir);
  connect(buttons_.gravar, &QPushButton::clicked, this, &HistoricosPage::gravar);
  connect(buttons_.cancelar, &QPushButton::clicked, this, &HistoricosPage::cancelar);
  connect(buttons_.eliminar, &QPushButton::clicked, this, &HistoricosPage::eliminar);
  connect(buttons_.duplicar, &QPushButton::clicked, this, &HistoricosPage::duplicar);
  connect(buttons_.buscar, &QPushButton::clicked, this, &HistoricosPage::buscar);
  // Connected after the box's own handler, so the table is already in edit state when the
  // first typed character of a saved row reaches this check.
  connect(code_, &QLineEdit::textEdited, this, &HistoricosPage::protectSavedCode);
}

void HistoricosPage::inserir() {
  try {
    table().insert();
    code_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

void HistoricosPage::gravar() {
  // Both checks speak before anything is refused, so the user sees every fault at once.
  bool ok = true;
  if (code_->patternText().trimmed().size() < 4) {
    ctx_.ui().message("Código do historico tem de ter 4 dígitos.");
    ok = false;
  }
  if (name_->text().isEmpty()) {
    ctx_.ui().message("Nome do histórico não pode ficar vazio.");
    ok = false;
  }
  if (!ok) return;
  try {
    table().post();
  } catch (const StoreError& e) {
    report(e); // a repeated code was already shown by the data module
  }
}

void HistoricosPage::cancelar() {
  table().cancel();
}

void HistoricosPage::eliminar() {
  Table& entries = *ctx_.dm().TbLancamen;
  bool reported = false;
  try {
    entries.setOrder("SI_CodigoHistorico");
    if (entries.findKey({fmt::trimRight(code_->patternText())}))
      ctx_.ui().message("Histórico já foi utilizado. Não pode ser excluído.");
    else if (ctx_.ui().confirmDefaultNo(book::text::confirmDelete))
      table().remove();
  } catch (const StoreError& e) {
    // Without the check nothing is deleted: a description in use must never go.
    report(e);
    reported = true;
  }
  // Whatever happened above, the entries go back to the order the journal pages expect,
  // and their search starts from the entry now current.
  try {
    entries.setOrder("SI_AnoContasMesDia");
  } catch (const StoreError& e) {
    if (!reported) report(e);
  }
  if (entries.isEditing()) return; // an entry typed on another page kept the journal as it was
  ctx_.setSearchText(SearchKind::Lancamentos, entries.field("AnoContasMesDia").asString());
}

void HistoricosPage::duplicar() {
  try {
    const QString code = table().field("CodigoHistorico").asString();
    const QString name = table().field("NomeHistorico").asString();
    table().insert();
    table().setValue("CodigoHistorico", code);
    table().setValue("NomeHistorico", name);
    code_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

void HistoricosPage::buscar() {
  runSearch(ctx_, SearchKind::Historicos, ctx_.dm().DsHistoric, "Históricos");
}

void HistoricosPage::protectSavedCode() {
  // Entries refer to a description by its code, so a saved code stays as it is.
  if (table().state() != Table::State::Edit) return;
  ctx_.ui().message(book::text::fieldCannotChange);
  table().cancel();
}

} // namespace esc
