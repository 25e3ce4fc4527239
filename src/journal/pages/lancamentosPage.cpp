#include "lancamentosPage.h"

#include "book/keys.h"
#include "book/texts.h"
#include "focusChecks.h"
#include "journal/documentProcessing.h"
#include "journal/entryChecks.h"
#include "journal/entryGuards.h"
#include "store/formats.h"
#include "ui/pageParts.h"

#include <QLabel>

namespace esc {

LancamentosPage::LancamentosPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Cadastro de Lançamentos", parent) {
  setObjectName("Lancamentos");
  EntryGuards::of(journal(), ctx.ui());
  TDEscrivon& dm = ctx.dm();

  codCtaCon_ = edit("EditCodCtaCon", "CodigoContaContabil");
  auto* lkCodCtaCon = picker("DBLkCodCtaCon", "ContaContabil", dm.TbContas);
  auto* lkNomCtaCon = picker("DBLkNomCtaCon", "NomeContaContabil", dm.TbContas);
  codCtaCor_ = edit("EditCodCtaCor", "CodigoContaCorrente");
  auto* lkCodCtaCor = picker("DBLkCodCtaCor", "ContaCorrente", dm.TbContas);
  auto* lkCtaConCtaCor = picker("DBLkCtaConCtaCor", "NomeContaCorrente", dm.TbContas);
  codHist_ = edit("EditCodHist", "CodigoHistorico");
  auto* lkCodHist = picker("DBLkCodHist", "CodHistorico", dm.TbHistoric);
  auto* lkNomeHist = picker("DBLkNomeHist", "NomeHistorico", dm.TbHistoric);
  histComp_ = edit("EditHistComp", "HistoricoComplementar");
  dc_ = edit("EditDC", "TipoDeLancamento");
  data_ = edit("EditData", "DataDaContabilizacao");
  documento_ = edit("EditDocumento", "NumeroDocumento");
  valor_ = edit("EditValor", "ValorLancamento");
  valor_->setAlignment(Qt::AlignRight);
  situacao_ = edit("EditSituacao", "Situacao");
  situacao_->setReadOnly(true);
  situacao_->setFocusPolicy(Qt::NoFocus);
  const QString sitHint = book::text::processedHint;
  situacao_->setToolTip(sitHint);
  situacao_->setStatusTip(sitHint);

  // Sized to what they hold in this platform's fonts.
  fit(codCtaCon_, 6);
  fit(codCtaCor_, 14);
  fit(codHist_, 4);
  fit(dc_, 2);
  fit(data_, 8);
  fit(documento_, 5);
  fit(valor_, 14);
  fit(situacao_, 2);
  fit(lkCodCtaCon, 9);
  fit(lkCodCtaCor, 16);
  fit(lkCodHist, 7);

  form->addWidget(label("Cód. Conta", codCtaCon_), 0, 0);
  form->addWidget(codCtaCon_, 0, 1);
  form->addWidget(lkCodCtaCon, 0, 2);
  form->addWidget(lkNomCtaCon, 0, 3);
  form->addWidget(label("Cta. Corrente", codCtaCor_), 1, 0);
  form->addWidget(codCtaCor_, 1, 1);
  form->addWidget(lkCodCtaCor, 1, 2);
  form->addWidget(lkCtaConCtaCor, 1, 3);
  form->addWidget(label("Hist.", codHist_), 2, 0);
  form->addWidget(codHist_, 2, 1);
  form->addWidget(lkCodHist, 2, 2);
  form->addWidget(lkNomeHist, 2, 3);
  form->addWidget(label("Histórico Complementar", histComp_), 3, 0);
  form->addWidget(histComp_, 3, 1, 1, 3);
  auto* row = new QHBoxLayout;
  for (auto [text, box] :
       {std::pair{"D/C", dc_}, std::pair{"Data", data_}, std::pair{"Documento", documento_},
        std::pair{"Valor", valor_}, std::pair{"Sit.", situacao_}}) {
    row->addWidget(label(QString::fromUtf8(text), box));
    row->addWidget(box);
    row->addSpacing(12);
  }
  row->addStretch();
  form->addLayout(row, 4, 0, 1, 4);
  form->setColumnStretch(3, 1);

  auto* gravar = makeButton(this, "ButLGravar", "&Gravar", hint::gravar);
  cancelar_ = makeButton(this, "ButLCancelar", "&Cancelar", hint::cancelar);
  auto* eliminar = makeButton(this, "ButLEliminar", "&Eliminar", hint::eliminar);
  auto* duplicar = makeButton(this, "ButLDuplicar", "&Duplicar", hint::duplicar);
  auto* buscar = makeButton(this, "ButLBuscar", "&Buscar", hint::buscar);
  auto* filtrar = makeButton(this, "ButLFiltrar", "&Filtrar",
                             "Ativa/Desativa filtro estabelecido no cadastro de documentos");
  for (QPushButton* b : {gravar, cancelar_, eliminar, duplicar, buscar, filtrar})
    buttons->addWidget(b);
  gravar->setEnabled(false);
  cancelar_->setEnabled(false);
  addNavigation(
      dm.TbLancamen,
      {"ButLFirst", "ButLRW", "ButLPrior", "ButLNext", "ButLFF", "ButLLast", "MaskLSalto"},
      "EdLRecNo", "EdLTotRec");

  connect(gravar, &QPushButton::clicked, this, &LancamentosPage::gravar);
  connect(cancelar_, &QPushButton::clicked, this, &LancamentosPage::cancelar);
  connect(eliminar, &QPushButton::clicked, this, &LancamentosPage::eliminar);
  connect(duplicar, &QPushButton::clicked, this, &LancamentosPage::duplicar);
  connect(buscar, &QPushButton::clicked, this, &LancamentosPage::buscar);
  connect(filtrar, &QPushButton::clicked, this, &LancamentosPage::filtrar);

  restrictChart(lkCodCtaCor);
  restrictChart(lkCtaConCtaCor);
  // A date that is not a date is said when the box is left, and stays typed for correction
  // instead of giving way to the saved date.
  checkOnExit(
      data_, cancelar_,
      [this] {
        if (!journal().isEditing() || data_->isBlank()) return false;
        QString typed = data_->patternText();
        return !fmt::parseDate(typed.remove(' ')).has_value();
      },
      [this] { ctx_.ui().message("'" + data_->patternText() + "' não é uma data válida."); }, true);
}

DBEdit* LancamentosPage::edit(const QString& name, const QString& field) {
  auto* e = new DBEdit(ctx_.dm().DsLancamen, field, this);
  e->setObjectName(name);
  e->onWriteError = [this](const StoreError& err) { report(err); };
  followDiscards(e);
  return e;
}

DBLookupCombo* LancamentosPage::picker(const QString& name, const QString& lookupField,
                                       Table* list) {
  return DBLookupCombo::entryPicker(this, name, ctx_.dm().DsLancamen, lookupField, list,
                                    [this](const StoreError& err) { report(err); });
}

void LancamentosPage::restrictChart(QWidget* picker) {
  restrictChartWhileFocused(
      picker, *ctx_.dm().TbContas,
      [this] { return journal().field("CodigoContaContabil").asString(); },
      [this](const StoreError& e) { report(e); });
}

void LancamentosPage::gravar() {
  Table& t = journal();
  if (!t.isEditing()) return;
  Ui& ui = ctx_.ui();
  try {
    if (t.state() == Table::State::Edit && t.field("Situacao").asString() == "P")
      return ui.message(book::text::entryProcessed);
    if (!DBEdit::typedTextsAccepted(this)) return;
    const QString dateText = data_->patternText();
    QString typed = dateText;
    EntryFields e;
    e.year = ctx_.selectedYear().trimmed();
    e.account = t.field("CodigoContaContabil").asString();
    e.current = t.field("CodigoContaCorrente").asString();
    e.historico = t.field("CodigoHistorico").asString();
    e.type = t.field("TipoDeLancamento").asString().toUpper();
    e.dateText = dateText;
    e.document = documentNumber(t.field("NumeroDocumento").asString());
    e.amount = t.field("ValorLancamento").asFloat();
    e.date = fmt::parseDate(typed.remove(' '));
    e.dateShown = dateText;
    BookLookups lookups(ctx_.dm().database());
    // The entry's fields first; its key is written before it is looked up in the chart and
    // the descriptions, so a refusal from there on leaves the key written.
    if (auto f = firstSavingFailure(lookups, e, EntryCheck::YearSelected, EntryCheck::PairAnalytic))
      return ui.message(f->text);
    // The key's month and day are those of the date as read, so that a date typed with a
    // blank ("5 /1 /04") keys the entry under the day it is saved with.
    const QString month = e.date ? e.date->toString("MM") : dateText.mid(3, 2);
    const QString day = e.date ? e.date->toString("dd") : dateText.left(2);
    t.setValue("AnoContasMesDia", book::entryKey(e.year, e.account, e.current, month, day));
    t.setValue("CodCtaConCodCtaCor", book::accountPair(e.account, e.current));
    t.setValue("Situacao", "N");
    if (auto f = firstSavingFailure(lookups, e, EntryCheck::PairOnChart, EntryCheck::DateValid))
      return ui.message(f->text);
    t.setValue("DataDaContabilizacao", *e.date);
    t.setValue("NumeroDocumento", e.document);
    t.post();
  } catch (const StoreError& e) {
    report(e);
  }
}

void LancamentosPage::cancelar() {
  journal().cancel();
}

void LancamentosPage::eliminar() {
  Table& t = journal();
  // Only a browsed entry is deleted: the refresh switches the button off while editing.
  if (t.isEditing() || t.isEmpty()) return;
  try {
    if (t.field("Situacao").asString().toUpper() == "P" ||
        (ctx_.ui().confirmDefaultNo(book::text::confirmDelete) &&
         !DocumentProcessing::removeEntry(t)))
      ctx_.ui().message("Lançamento já foi processado. Só pode ser estornado.");
  } catch (const StoreError& e) {
    report(e);
  }
}

void LancamentosPage::duplicar() {
  Table& t = journal();
  // Starting a new entry over one being typed would save that one unchecked.
  if (t.isEditing()) return;
  try {
    insertCopy(t, {"CodigoContaContabil", "CodigoContaCorrente", "DataDaContabilizacao",
                   "TipoDeLancamento", "HistoricoComplementar", "NumeroDocumento",
                   "CodigoHistorico", "ValorLancamento"});
    codCtaCon_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

void LancamentosPage::buscar() {
  Table& t = journal();
  switch (ctx_.dm().ConfirmaCancelaEdicao(ctx_.dm().DsLancamen, "Lançamentos", "Localizar")) {
  case TDEscrivon::Answer::No:
    return;
  case TDEscrivon::Answer::Yes:
    t.cancel();
    break;
  case TDEscrivon::Answer::NotEditing:
    break;
  }
  const QString item = ctx_.orderItem(SearchKind::Lancamentos);
  const auto answer = ctx_.ui().prompt("Pesquisar " + item, "Digite " + item + " (ou parte)",
                                       ctx_.searchText(SearchKind::Lancamentos));
  if (!answer) return;
  ctx_.setSearchText(SearchKind::Lancamentos, *answer);
  const QString text = answer->trimmed();
  if (t.order() == "SI_DataDaContabilizacao" &&
      !(text.size() == 8 && text[2] == '/' && text[5] == '/'))
    return ctx_.ui().message("Formato de dados para pesquisa invalido. Não é uma data.");
  try {
    t.findNearest(text);
  } catch (const StoreError& e) {
    report(e);
  }
}

void LancamentosPage::filtrar() {
  Table& t = journal();
  // Switching the filter saves a pending entry unchecked; the refresh keeps the button off then.
  if (t.isEditing()) return;
  auto* docBox = window()->findChild<QLineEdit*>("EditNumDocto");
  try {
    if (t.filtered()) {
      t.setFiltered(false);
      if (docBox) docBox->clear();
    } else {
      // The document last chosen on "Documentos": the expression stays when the filter is off.
      t.setFiltered(true);
      if (docBox) docBox->setText(t.field("NumeroDocumento").asString());
    }
  } catch (const StoreError& e) {
    report(e);
  }
}

} // namespace esc
