#include "contasPage.h"

#include "book/keys.h"
#include "book/period.h"
#include "book/texts.h"
#include "store/filter.h"
#include "store/formats.h"
#include "ui/search.h"

namespace esc {

ContasPage::ContasPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Contas Contábeis e Contas Correntes Contábeis", parent) {
  setObjectName("Contas");
  DataSource* ds = ctx.dm().DsContas;
  // The code boxes take their patterns, and every box its width limit, from the field.
  const BoundBox boxes[] = {
      {code_, "CodigoContaContabil", "EditCodCtaContabil", "Código da Conta Contábil", false, 8},
      {name_, "NomeContaContabil", "EditNomCtaContabil", "Nome da Conta Contábil", true, 30},
      {current_, "CodigoContaCorrente", "EditCodCtaCorrente", "Código da Conta Corrente Contábil",
       false, 16},
      {currentName_, "NomeContaCorrente", "EditNomCtaCorrente", "Nome da Conta Corrente Contábil",
       true, 30},
      {side_, "TipoDeSaldo", "EditTipoSaldo", "Tipo de Saldo da Conta (D/C)", true, 2},
      {level_, "NivelDaConta", "EditNivConta", "Nível da Conta Contábil (1 a 6)", true, 2},
  };
  // Codes on the left, their names on the right; the balance side beside the level.
  addBoundBoxes(ds, boxes);
  level_->setToolTip("Digite 6 para conta analítica e 1 a 5 para conta sintética");
  level_->setStatusTip(level_->toolTip());
  form->setColumnStretch(2, 1);
  form->setHorizontalSpacing(24);

  buttons_ = makeEditingButtons(this, 'C', buttons);
  addNavigation(
      ctx.dm().TbContas,
      {"ButCFirst", "ButCRW", "ButCPrior", "ButCNext", "ButCFF", "ButCLast", "MaskCSalto"},
      "EdCRecNo", "EdCTotRec");

  connect(buttons_.inserir, &QPushButton::clicked, this, &ContasPage::inserir);
  connect(buttons_.gravar, &QPushButton::clicked, this, &ContasPage::gravar);
  connect(buttons_.cancelar, &QPushButton::clicked, this, &ContasPage::cancelar);
  connect(buttons_.eliminar, &QPushButton::clicked, this, &ContasPage::eliminar);
  connect(buttons_.duplicar, &QPushButton::clicked, this, &ContasPage::duplicar);
  connect(buttons_.buscar, &QPushButton::clicked, this, &ContasPage::buscar);
  // Connected after the boxes' own handlers, so a saved row is already in edit state when
  // the first typed character reaches the check.
  const QString fixed = book::text::fieldCannotChange;
  connect(code_, &QLineEdit::textEdited, this, [this, fixed] { protectSaved(fixed); });
  connect(current_, &QLineEdit::textEdited, this, [this, fixed] { protectSaved(fixed); });
  connect(side_, &QLineEdit::textEdited, this,
          [this] { protectSaved("Tipo de movimentação da conta não pode ser alterado."); });
  connect(level_, &QLineEdit::textEdited, this,
          [this] { protectSaved("Nível da conta não pode ser alterado."); });
}

bool ContasPage::yearIsOpen() {
  // Accounts are created only while the selected year is open: a year already carried
  // forward, closed or reopened would get an account without its place in the next year.
  Table& years = *ctx_.dm().TbFechamen;
  years.findKey({ctx_.selectedYear()});
  if (years.field("Situacao").asString().isEmpty()) return true;
  ctx_.ui().message("Exercicio " + years.field("Exercicio").asString() +
                    " foi transposto, está fechado ou reaberto." + " Não pode criar conta.");
  return false;
}

void ContasPage::inserir() {
  try {
    if (!yearIsOpen()) return;
    table().insert();
    code_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

void ContasPage::duplicar() {
  try {
    if (!yearIsOpen()) return;
    // The pair key is left to Gravar, which builds it from the boxes.
    insertCopy(table(), {"CodigoContaContabil", "NomeContaContabil", "CodigoContaCorrente",
                         "NomeContaCorrente", "TipoDeSaldo", "NivelDaConta"});
    code_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

// The first of Gravar's checks that fails, in the order the user is told; "" when all pass.
QString ContasPage::refusal() const {
  const QString cc = current_->patternText().trimmed();
  const QString level = level_->patternText();
  if (ctx_.selectedYear().trimmed().isEmpty()) return book::text::noYearSelected;
  if (code_->patternText().trimmed().size() < 6) return book::text::accountSixDigits;
  if (name_->text().isEmpty()) return "Nome da conta contábil não pode ficar vazio.";
  if (cc.isEmpty()) return "Código da conta contábil não pode ficar vazio.";
  if (cc == "999" && !currentName_->text().isEmpty())
    return "Nome de conta corrente contábil inválido. Não preencha para código 999.";
  if (level.trimmed().isEmpty()) return "Nível da conta não pode ficar vazio.";
  if (level < "1" || level > "6") return "Nível da conta somente pode ser de 1 a 6.";
  if (cc != "999" && currentName_->text().isEmpty())
    return "Informe o nome, para conta corrente contábil diferente de 999.";
  return {};
}

void ContasPage::gravar() {
  if (!table().isEditing()) return; // nothing typed, nothing to save
  const QString refused = refusal();
  if (!refused.isEmpty()) {
    ctx_.ui().message(refused);
    return;
  }
  const QString year = ctx_.selectedYear().trimmed();
  try {
    // The chart row and its trial-balance rows go together: a failure anywhere rolls both
    // back and the row returns to the state it was typed in.
    Transaction tx(ctx_.dm().database());
    table().setValue("CodCtaConCodCtaCor",
                     book::accountPair(code_->patternText(), current_->patternText()));
    table().post();
    createTrialBalanceRows(year);
    tx.commit();
  } catch (const StoreError& e) {
    report(e); // a repeated pair was already shown by the data module
  }
}

void ContasPage::createTrialBalanceRows(const QString& year) {
  // From the saved row, as the boxes now show it. A saved account being renamed, or one
  // saved in a year opened after it, has some or all of its rows already: only the missing
  // ones are created, so the pair keeps exactly one row per month.
  const QString code = table().field("CodigoContaContabil").asString();
  const QString cc = table().field("CodigoContaCorrente").asString();
  const QString side = table().field("TipoDeSaldo").asString();
  const QString level = table().field("NivelDaConta").asString();
  Database& db = ctx_.dm().database();
  for (int m = 1; m <= 12; ++m) {
    const QString period = book::period(year, m);
    const QString key = book::balanceKey(period, book::accountPair(code, cc));
    db.exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
            "CodCtaConCodCtaCor, TipoSaldoAnterior, SaldoAnterior, ValorCredito, ValorDebito, "
            "SaldoAtual, TipoSaldoAtual, NaturezaDaConta, NivelDaConta) "
            "SELECT ?, ?, ?, ?, ?, 0.0, 0.0, 0.0, 0.0, ?, ?, ? "
            "WHERE NOT EXISTS (SELECT 1 FROM balanco WHERE CodCtaConCodCtaCor = ?)",
            {code, cc, period, key, side, side, side, level, key});
  }
}

void ContasPage::cancelar() {
  table().cancel();
}

void ContasPage::eliminar() {
  Table& t = table();
  try {
    // A new row not saved yet has nothing stored to delete: it is only dropped.
    if (t.state() == Table::State::Insert) {
      t.cancel();
      return;
    }
    const auto saved = t.currentRecord();
    if (!saved) return;
    const QString code = t.valueOf(*saved, "CodigoContaContabil").toString();
    const QString cc = t.valueOf(*saved, "CodigoContaCorrente").toString();
    if (t.valueOf(*saved, "NivelDaConta").toString() == "6") {
      // Only analytic accounts receive entries; the entries stay in this order afterwards.
      Table& entries = *ctx_.dm().TbLancamen;
      entries.setOrder("SI_CodCtaConCodCtaCor");
      ctx_.setSearchText(SearchKind::Lancamentos, entries.field("CodCtaConCodCtaCor").asString());
      if (entries.findKey({code + cc})) {
        ctx_.ui().message("Conta já recebeu lançamentos. Não pode ser excluída.");
        return;
      }
    }
    if (!ctx_.ui().confirmDefaultNo(book::text::confirmDelete)) return;
    // Every year's rows of the pair: the rows the trial balance's filter on the pair shows,
    // deleted in one statement, so the trial-balance list keeps its own filter and position.
    Table& balance = *ctx_.dm().TbBalanco;
    auto quoted = [](QString v) { return v.replace("'", "''"); };
    const SqlFilter pair =
        parseFilter(balance.def(), "CodigoContaContabil='" + quoted(code) + "'" +
                                       " and CodigoContaCorrente='" + quoted(cc) + "'");
    Transaction tx(ctx_.dm().database());
    ctx_.dm().database().exec("DELETE FROM balanco WHERE " + pair.where, pair.params);
    t.remove();
    tx.commit();
  } catch (const StoreError& e) {
    report(e);
  }
}

void ContasPage::buscar() {
  runSearch(ctx_, SearchKind::Contas, ctx_.dm().DsContas, "Contas");
}

void ContasPage::protectSaved(const QString& message) {
  // The journal and the trial balance know an account by its pair, its side and its level.
  if (table().state() != Table::State::Edit) return;
  ctx_.ui().message(message);
  table().cancel();
}

} // namespace esc
