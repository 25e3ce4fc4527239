#include "demResulPage.h"

#include "book/texts.h"
#include "ui/search.h"

namespace esc {

DemResulPage::DemResulPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Demonstração do Resultado", parent) {
  setObjectName("DemResul");
  DataSource* ds = ctx.dm().DsDemResul;
  // In tab order; every box takes its width limit from the field, none has a pattern.
  const BoundBox boxes[] = {
      {first_, "ContaInicial", "EditContaInicial", "Conta Inicial", false, 8},
      {last_, "ContaFinal", "EditContaFinal", "Conta Final", false, 8},
      {name_, "NomeDoGrupo", "EditNomeDoGrupo", "Nome do Grupo", true, 30},
      {sign_, "SinalDoGrupo", "EditSinalDoGrupo", "Sinal do Grupo", true, 2},
      {balance_, "SaldoDoGrupo", "EditSaldoDoGrupo", "Saldo do Grupo", false, 16},
      {order_, "OrdemDoGrupo", "EditOrdemDoGrupo", "Ordem do Grupo", false, 3},
      {accumulated_, "Acumulado", "EditAcumulado", "Valor Acumulado", false, 16},
      {period_, "AnoEMes", "EditAnoEMes", "Demonstrativo Atualizado para período (AAAAMM):", false,
       8},
  };
  // Rows of the form: the range, the line itself, its amounts, and the period of the update.
  addBoundBoxes(ds, boxes);
  balance_->setAlignment(Qt::AlignRight);
  accumulated_->setAlignment(Qt::AlignRight);
  // The period is written by the statement update only; the tab key passes it by.
  period_->setReadOnly(true);
  period_->setFocusPolicy(Qt::ClickFocus);
  for (int i = 0; i + 1 < 7; ++i)
    setTabOrder(boxes[i].box, boxes[i + 1].box);
  form->setColumnStretch(2, 1);
  form->setHorizontalSpacing(24);

  buttons_ = makeEditingButtons(this, 'D', buttons);
  addNavigation(
      ctx.dm().TbDemResul,
      {"ButDFirst", "ButDRW", "ButDPrior", "ButDNext", "ButDFF", "ButDLast", "MaskDSalto"},
      "EdDRecNo", "EdDTotRec");

  connect(buttons_.inserir, &QPushButton::clicked, this, &DemResulPage::inserir);
  connect(buttons_.gravar, &QPushButton::clicked, this, &DemResulPage::gravar);
  connect(buttons_.cancelar, &QPushButton::clicked, this, &DemResulPage::cancelar);
  connect(buttons_.eliminar, &QPushButton::clicked, this, &DemResulPage::eliminar);
  connect(buttons_.duplicar, &QPushButton::clicked, this, &DemResulPage::duplicar);
  connect(buttons_.buscar, &QPushButton::clicked, this, &DemResulPage::buscar);
}

void DemResulPage::inserir() {
  try {
    table().insert();
    first_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

// The first of Gravar's checks that fails, in the order the user is told; "" when all pass.
QString DemResulPage::refusal() const {
  // A subtotal line ("=") shows the running result and needs no account range.
  const QString sign = sign_->text();
  if (first_->text().trimmed().size() < 6 && sign != "=")
    return "Conta inicial tem de ter 6 dígitos em parâmetros com sinal de =.";
  if (last_->text().trimmed().size() < 6 && sign != "=")
    return "Conta final tem de ter 6 dígitos em parâmetros com sinal de =.";
  if (name_->text().isEmpty()) return "Nome do Grupo não pode permanecer vazio.";
  if (sign != "+" && sign != "-" && sign != "=" && !sign.isEmpty())
    return "Sinal do Grupo não pode ser diferente de +, -, = ou (vazio).";
  if (order_->text().trimmed().size() < 2) return "Ordem do Grupo tem de ter dois dígitos.";
  return {};
}

void DemResulPage::gravar() {
  if (!table().isEditing()) return; // nothing typed, nothing to save
  if (!DBEdit::typedTextsAccepted(this)) return;
  const QString refused = refusal();
  if (!refused.isEmpty()) {
    ctx_.ui().message(refused);
    return;
  }
  try {
    table().post();
  } catch (const StoreError& e) {
    report(e); // a repeated order number was already shown by the data module
  }
}

void DemResulPage::cancelar() {
  table().cancel();
}

void DemResulPage::eliminar() {
  try {
    if (ctx_.ui().confirmDefaultNo(book::text::confirmDelete)) table().remove();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DemResulPage::duplicar() {
  try {
    // The amounts of the update (accumulated value and period) belong to the original line.
    insertCopy(table(), {"ContaInicial", "ContaFinal", "NomeDoGrupo", "SinalDoGrupo",
                         "OrdemDoGrupo", "SaldoDoGrupo"});
    first_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DemResulPage::buscar() {
  runSearch(ctx_, SearchKind::DemResul, ctx_.dm().DsDemResul, "Dem. Res.");
}

} // namespace esc
