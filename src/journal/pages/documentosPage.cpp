#include "documentosPage.h"

#include "book/keys.h"
#include "book/texts.h"
#include "focusChecks.h"
#include "journal/csvImport.h"
#include "journal/documentProcessing.h"
#include "journal/entryChecks.h"
#include "journal/entryGuards.h"
#include "journal/reversal.h"
#include "store/formats.h"
#include "ui/pageParts.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <cmath>

namespace esc {

QString DocumentTotals::debitText() const {
  return fmt::general(double(debits) / 10000.0);
}
QString DocumentTotals::creditText() const {
  return fmt::general(double(credits) / 10000.0);
}

DocumentTotals documentTotals(Table& journal) {
  QString sql = "SELECT upper(TipoDeLancamento), ValorLancamento FROM lancamen";
  QVariantList params;
  if (journal.filtered()) {
    const SqlFilter f = parseFilter(journal.def(), journal.filter());
    if (!f.where.isEmpty()) {
      sql += " WHERE " + f.where;
      params = f.params;
    }
  }
  DocumentTotals totals;
  Statement st = journal.database().prepare(sql);
  st.bindAll(params);
  while (st.step()) {
    // Each amount in ten-thousandths, added as whole numbers: the sums are exact.
    // Held in 128 bits: even amounts stored before typed ones were bounded cannot overflow.
    const auto units = static_cast<__int128>(std::round(st.real(1) * 10000.0));
    const QString type = st.text(0);
    if (type == "D")
      totals.debits += units;
    else if (type == "C")
      totals.credits += units;
  }
  return totals;
}

namespace {
QLineEdit* box(QWidget* parent, const QString& name, const QString& hint, int maxLength) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setToolTip(hint);
  e->setStatusTip(hint);
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}
void setHint(QWidget* w, const QString& hint) {
  w->setToolTip(hint);
  w->setStatusTip(hint);
}
} // namespace

DocumentosPage::DocumentosPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Documentos", parent) {
  setObjectName("Documentos");
  EntryGuards::of(journal(), ctx.ui());
  TDEscrivon& dm = ctx.dm();
  DataSource* ds = dm.DsLancamen;

  ctaCon_ = picker("DbLKCtaCon", "ContaContabil", dm.TbContas,
                   "Clique aqui para selecionar o código da conta contábil");
  contabil_ = picker("DBLkContabil", "NomeContaContabil", dm.TbContas,
                     "Clique aqui para selecionar a conta contábil");
  corrente_ = picker("DBLkCorrente", "ContaCorrente", dm.TbContas,
                     "Clique aqui para selecionar a conta corrente contábil");
  corrente_->setListFields({"CodigoContaCorrente", "NomeContaCorrente"});
  codHis_ = picker("DBLkCodHis", "CodHistorico", dm.TbHistoric,
                   "Clique aqui para verificar os códigos de históricos");
  historic_ = picker("DBLkHistoric", "NomeHistorico", dm.TbHistoric,
                     "Clique aqui para selecionar o histórico do lançamento");
  auto bound = [&](const QString& name, const QString& field) {
    auto* e = new DBEdit(ds, field, this);
    e->setObjectName(name);
    e->onWriteError = [this](const StoreError& err) { report(err); };
    followDiscards(e);
    return e;
  };
  compl_ = bound("DBEdit8", "HistoricoComplementar");
  dc_ = bound("DBEdit10", "TipoDeLancamento");
  valor_ = bound("DBEdit9", "ValorLancamento");
  valor_->setAlignment(Qt::AlignRight);
  situacao_ = bound("EditSitDoctos", "Situacao");
  situacao_->setReadOnly(true);
  situacao_->setFocusPolicy(Qt::NoFocus);
  setHint(situacao_, book::text::processedHint);
  numDoc_ = bound("EditNumDoc", "NumeroDocumento");
  numDoc_->setReadOnly(true);
  numDoc_->setEnabled(false);
  setHint(numDoc_, "Indica o número do documento que está sendo apontado");

  dataLancto_ = box(this, "EditDataLancto", "Clique aqui para indicar a data de lançamento", 10);
  dataLancto_->setEnabled(false);
  numDocto_ = box(this, "EditNumDocto", "Clique aqui para indicar o documento a filtrar", 5);
  totCred_ = box(this, "MskTotCred", "Esta é a soma dos créditos do documento selecionado", 0);
  totDeb_ = box(this, "MskTotDeb", "Esta é a soma dos débitos do documento selecionado", 0);
  for (QLineEdit* total : {totCred_, totDeb_}) {
    total->setReadOnly(true);
    total->setFocusPolicy(Qt::NoFocus);
    total->setAlignment(Qt::AlignRight);
  }
  dataLancto_->installEventFilter(this);
  numDocto_->installEventFilter(this);

  grid_ = new DBGrid(this);
  grid_->setObjectName("DBGrLanctos");
  grid_->setDataSource(ds);
  // Widths for the digits and amounts the columns hold in this platform's fonts.
  const QFontMetrics digits(grid_->font());
  auto cells = [&](int chars) { return digits.horizontalAdvance(QString(chars, '0')) + 14; };
  grid_->setColumns({{"CodigoContaContabil", "Conta", cells(6)},
                     {"CodigoContaCorrente", {}, cells(14)},
                     {"CodigoHistorico", {}, cells(4)},
                     {"TipoDeLancamento", {}, cells(3)},
                     {"HistoricoComplementar", {}, 0},
                     {"ValorLancamento", {}, cells(14)}});
  grid_->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
  grid_->setReadOnly(true);
  grid_->setUi(&ctx.ui());
  grid_->viewport()->installEventFilter(this);
  grid_->installEventFilter(this);

  // Sized to what they hold in this platform's fonts: a date, five digits, totals in general
  // number form.
  fit(dataLancto_, 10);
  fit(numDocto_, 6);
  fit(totCred_, 14);
  fit(totDeb_, 14);
  fit(dc_, 2);
  fit(valor_, 14);
  fit(situacao_, 2);
  fit(numDoc_, 6);
  fit(ctaCon_, 9);
  fit(codHis_, 7);

  form->addWidget(label("Conta:", ctaCon_), 0, 0);
  form->addWidget(ctaCon_, 0, 1);
  form->addWidget(contabil_, 0, 2);
  form->addWidget(label("Cta.Corr.", corrente_), 1, 0);
  form->addWidget(corrente_, 1, 1, 1, 2);
  form->addWidget(label("Histórico", codHis_), 2, 0);
  form->addWidget(codHis_, 2, 1);
  form->addWidget(historic_, 2, 2);
  form->addWidget(label("Compl:", compl_), 3, 0);
  form->addWidget(compl_, 3, 1, 1, 2);
  auto row = [&](std::initializer_list<std::pair<const char*, QWidget*>> items) {
    auto* r = new QHBoxLayout;
    for (const auto& [text, w] : items) {
      r->addWidget(label(QString::fromUtf8(text), w));
      r->addWidget(w);
      r->addSpacing(12);
    }
    r->addStretch();
    return r;
  };
  form->addLayout(row({{"D/C", dc_}, {"Valor", valor_}, {"Sit.", situacao_}, {"Docto.", numDoc_}}),
                  4, 0, 1, 3);
  form->addLayout(
      row({{"Data:", dataLancto_}, {"Filtro", numDocto_}, {"D", totDeb_}, {"C", totCred_}}), 5, 0,
      1, 3);
  form->addWidget(grid_, 6, 0, 1, 3);
  form->setRowStretch(6, 1);
  form->setColumnStretch(2, 1);
  static_cast<QVBoxLayout*>(layout())->setStretchFactor(form, 1);

  // The typing order of an entry: account, its name, current account, description code and
  // name, complementary text, D/C, amount, then the date.
  QWidget* order[] = {ctaCon_, contabil_, corrente_, codHis_,    historic_,
                      compl_,  dc_,       valor_,    dataLancto_};
  for (size_t i = 0; i + 1 < std::size(order); ++i)
    setTabOrder(order[i], order[i + 1]);

  auto* incluir =
      makeButton(this, "ButIncluiLote", "&Incluir", "Inclui novos lançamentos no sistema");
  auto* gravar = makeButton(this, "ButGravarLote", "&Gravar", hint::gravar);
  cancelar_ = makeButton(this, "ButCancelaLote", "&Cancelar", "Cancela a inclusão do registro");
  auto* filtrar = makeButton(this, "ButFiltraDoctos", "&Filtrar",
                             "Mostra todos os registros ou somente os do documento especificado");
  processar_ = makeButton(this, "ButProcessar", "&Processar", "Grava o registro incluído");
  auto* estornar = makeButton(this, "ButEstornar", "&Estornar",
                              "Estorna o documento processado: um novo documento com os "
                              "lançamentos invertidos");
  gravar->setEnabled(false);
  cancelar_->setEnabled(false);
  processar_->setEnabled(false);
  for (QPushButton* b : {incluir, gravar, cancelar_, filtrar, processar_, estornar})
    buttons->addWidget(b);
  auto* planilha = makeButton(this, "ButImportaPlanilha", "Importar planil&ha...",
                              "Importa lançamentos de uma planilha (CSV) como documentos novos");
  auto* extrato = makeButton(this, "ButImportaExtrato", "Importar e&xtrato...",
                             "Importa um extrato bancário (OFX) como documentos novos");
  buttons->addWidget(planilha);
  buttons->addWidget(extrato);
  buttons->addStretch();
  connect(planilha, &QPushButton::clicked, this, &DocumentosPage::importarPlanilha);
  connect(extrato, &QPushButton::clicked, this, &DocumentosPage::importarExtrato);
  chooseSpreadsheet = [this] {
    return QFileDialog::getOpenFileName(this, "Importar planilha", {},
                                        "Planilhas CSV (*.csv *.CSV);;Todos os arquivos (*)");
  };
  askStatement = [this]() -> std::optional<OfxImportChoice> {
    OfxImportDialog dialog(ctx_.dm().database(), this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
  };

  connect(incluir, &QPushButton::clicked, this, &DocumentosPage::incluir);
  connect(gravar, &QPushButton::clicked, this, &DocumentosPage::gravar);
  connect(cancelar_, &QPushButton::clicked, this, &DocumentosPage::cancelar);
  connect(filtrar, &QPushButton::clicked, this, &DocumentosPage::filtrar);
  connect(processar_, &QPushButton::clicked, this, &DocumentosPage::processar);
  connect(estornar, &QPushButton::clicked, this, &DocumentosPage::estornar);

  restrictChartWhileFocused(
      corrente_, *dm.TbContas, [this] { return ctaCon_->keyValue(); },
      [this](const StoreError& e) { report(e); });
  checkOnExit(
      dc_, cancelar_,
      [this] {
        const QString dc = journal().field("TipoDeLancamento").asString().toUpper();
        return journal().isEditing() && dc != "D" && dc != "C";
      },
      [this] { ctx_.ui().message("Tipo do lançamento só pode ser D ou C."); });
  checkOnExit(
      valor_, cancelar_,
      [this] {
        return journal().isEditing() && !(journal().field("ValorLancamento").asFloat() > 0);
      },
      [this] { ctx_.ui().message("Valor do lançamento não pode ser menor ou igual a zero."); });
}

DBLookupCombo* DocumentosPage::picker(const QString& name, const QString& lookupField, Table* list,
                                      const QString& hint) {
  auto* c = DBLookupCombo::entryPicker(this, name, ctx_.dm().DsLancamen, lookupField, list,
                                       [this](const StoreError& err) { report(err); });
  setHint(c, hint);
  return c;
}

void DocumentosPage::showTotals() {
  const DocumentTotals totals = documentTotals(journal());
  totDeb_->setText(totals.debitText());
  totCred_->setText(totals.creditText());
}

QString DocumentosPage::highestDocument() {
  Table& t = journal();
  QString sql = "SELECT NumeroDocumento FROM lancamen";
  QVariantList params;
  if (t.filtered()) {
    const SqlFilter f = parseFilter(t.def(), t.filter());
    if (!f.where.isEmpty()) {
      sql += " WHERE " + f.where;
      params = f.params;
    }
  }
  // The last entry in document-number order, read without moving the cursor.
  sql += " ORDER BY NumeroDocumento COLLATE ESCI DESC, rowid DESC LIMIT 1";
  const auto rows = t.database().select(sql, params);
  // The journal ends in its primary order, on the entry it was on. An entry being typed is
  // left alone: changing the order would save it unchecked.
  if (!t.isEditing()) t.setOrder("");
  return rows.isEmpty() ? QString() : rows.first().value(0).toString();
}

bool DocumentosPage::usableDocument() {
  const QString typed = numDocto_->text();
  if (!usableDocumentNumber(typed)) {
    ctx_.ui().message(invalidDocumentNumber(typed));
    return false;
  }
  numDocto_->setText(documentNumber(typed));
  return true;
}

void DocumentosPage::incluir() {
  Table& t = journal();
  if (t.isEditing()) return; // the refresh keeps the button off while an entry is typed
  Ui& ui = ctx_.ui();
  if (ctx_.selectedYear().trimmed().isEmpty()) return ui.message(book::text::noYearSelected);
  processar_->setEnabled(false);
  dataLancto_->setEnabled(true);
  if (dataLancto_->text().isEmpty()) dataLancto_->setText(fmt::date(QDate::currentDate()));
  try {
    if (numDocto_->text().trimmed().isEmpty()) {
      const QString highest = highestDocument();
      qint64 next = 1;
      if (!highest.isEmpty()) {
        bool ok = false;
        next = highest.trimmed().toLongLong(&ok) + 1;
        if (!ok) return ui.message(invalidDocumentNumber(highest));
      }
      const QString number = QString::number(next).rightJustified(5, '0');
      // A sixth digit would not fit the box and would name another document.
      if (number.size() > 5) return ui.message(invalidDocumentNumber(number));
      numDocto_->setText(number);
    }
    if (!usableDocument()) return;
    t.setFilter("NumeroDocumento=" + numDocto_->text());
    t.setFiltered(true);
    if (DocumentProcessing::documentProcessed(t.database(), numDocto_->text()))
      return ui.message("Documento " + t.field("NumeroDocumento").asString() +
                        " já foi processado. Não pode ser alterado.");
    t.insert();
    // A date box that holds no date leaves the entry's date empty; Gravar says why.
    if (const auto d = fmt::parseDate(dataLancto_->text().trimmed()))
      t.setValue("DataDaContabilizacao", *d);
    ctaCon_->setFocus();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DocumentosPage::gravar() {
  Table& t = journal();
  if (!t.isEditing()) return;
  Ui& ui = ctx_.ui();
  bool saved = false;
  try {
    if (t.state() == Table::State::Edit && t.field("Situacao").asString() == "P")
      return ui.message(book::text::entryProcessed);
    if (!DBEdit::typedTextsAccepted(this)) return;
    // The date box and the entry complete each other: the date the box shows, in either of
    // its forms, is the entry's; an empty box takes the entry's date.
    const QString entryDate = fmt::shortDate(t.field("DataDaContabilizacao").asDate());
    if (!dataLancto_->text().trimmed().isEmpty()) {
      if (const auto d = fmt::parseDate(dataLancto_->text().trimmed()))
        t.setValue("DataDaContabilizacao", *d);
    } else if (entryDate.trimmed().size() == 8) {
      dataLancto_->setText(entryDate);
    }
    // So do the document box and the entry's number.
    numDocto_->setText(documentNumber(numDocto_->text()));
    if (numDocto_->text().trimmed().size() == 5)
      t.setValue("NumeroDocumento", numDocto_->text());
    else if (t.field("NumeroDocumento").asString().trimmed().size() == 5)
      numDocto_->setText(t.field("NumeroDocumento").asString());

    // Every check speaks, so the user sees all that is wrong at once.
    bool ok = true;
    auto fail = [&](const QString& text) {
      ui.message(text);
      ok = false;
    };
    const QString dateText = dataLancto_->text().trimmed();
    EntryFields e;
    e.year = ctx_.selectedYear().trimmed();
    e.account = t.field("CodigoContaContabil").asString();
    e.current = t.field("CodigoContaCorrente").asString();
    e.historico = t.field("CodigoHistorico").asString();
    e.type = t.field("TipoDeLancamento").asString().toUpper();
    e.dateText = fmt::shortDate(t.field("DataDaContabilizacao").asDate());
    e.amount = t.field("ValorLancamento").asFloat();
    e.date = fmt::parseDate(dateText);
    e.dateShown = dataLancto_->text();
    BookLookups lookups(ctx_.dm().database());
    // The document's number is the document box's, checked as the box is.
    for (const EntryFailure& f :
         savingFailures(lookups, e, EntryCheck::YearSelected, EntryCheck::Amount, Stop::Never,
                        {EntryCheck::DocumentLength, EntryCheck::DocumentUsable}))
      fail(f.text);
    // The pair as the two pickers show it, then the entry's own once its key is written.
    EntryFields shown;
    shown.account = t.field("ContaContabil").asString();
    shown.current = t.field("ContaCorrente").asString();
    if (auto f =
            firstSavingFailure(lookups, shown, EntryCheck::PairOnChart, EntryCheck::PairOnChart))
      fail(f->text);
    const QString docText = numDocto_->text();
    if (!fmt::trimRight(docText).isEmpty() && !usableDocument()) ok = false;

    const QString month = e.date ? e.date->toString("MM") : dateText.mid(3, 2);
    const QString day = e.date ? e.date->toString("dd") : dateText.left(2);
    t.setValue("AnoContasMesDia", book::entryKey(e.year, e.account, e.current, month, day));
    t.setValue("CodCtaConCodCtaCor", book::accountPair(e.account, e.current));
    t.setValue("Situacao", "N");
    for (const EntryFailure& f : savingFailures(lookups, e, EntryCheck::PairOnChart,
                                                EntryCheck::HistoricoOnFile, Stop::Never))
      fail(f.text);

    if (auto f = firstSavingFailure(lookups, e, EntryCheck::DateValid, EntryCheck::DateValid))
      return ui.message(f->text);
    t.setValue("DataDaContabilizacao", *e.date);
    t.setValue("NumeroDocumento", docText);
    if (ok) {
      t.post();
      saved = true;
    }
  } catch (const StoreError& e) {
    return report(e);
  }
  dataLancto_->setEnabled(false);
  try {
    showTotals();
    if (saved) t.last();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DocumentosPage::cancelar() {
  journal().cancel();
  processar_->setEnabled(true);
  dataLancto_->setEnabled(false);
}

void DocumentosPage::filtrar() {
  Table& t = journal();
  // Switching the filter saves a pending entry unchecked; the refresh keeps the button off then.
  if (t.isEditing()) return;
  processar_->setEnabled(true);
  try {
    if (t.filtered()) {
      t.setFiltered(false);
      processar_->setEnabled(false);
      numDocto_->clear();
      totDeb_->clear();
      totCred_->clear();
      numDocto_->setEnabled(true);
      return;
    }
    if (numDocto_->text().trimmed().isEmpty()) {
      const QString current = t.field("NumeroDocumento").asString();
      numDocto_->setText(current.isEmpty() ? QStringLiteral("00001") : current);
    }
    if (!usableDocument()) return;
    t.setFilter("NumeroDocumento=" + numDocto_->text());
    t.setFiltered(true);
    processar_->setEnabled(true);
    dataLancto_->setText(fmt::date(t.field("DataDaContabilizacao").asDate()));
    numDocto_->setEnabled(false);
    showTotals();
    t.first();
  } catch (const StoreError& e) {
    report(e);
  }
}

bool processChosenDocument(
    MainContext& ctx,
    const std::function<void(const QString& debits, const QString& credits)>& showTotals) {
  TDEscrivon& dm = ctx.dm();
  Ui& ui = ctx.ui();
  Table& journal = *dm.TbLancamen;
  Table& chart = *dm.TbContas;
  Table& balance = *dm.TbBalanco;
  // The page offers Processar only while browsing; an entry half typed is never processed.
  if (journal.isEditing()) return false;
  try {
    // The document the view is restricted to, read as it is now, not as it was when it was
    // chosen: an entry changed since Filtrar is checked with its new values.
    QString document;
    if (journal.recordCount() > 0)
      document = journal.valueOf(journal.rows(0, 1).first(), "NumeroDocumento").toString();
    DocumentProcessing processing(dm.database(), ctx.selectedYear());
    const DocumentCheck c = processing.check(document);
    if (c.entries.isEmpty()) {
      ui.message(c.refusal);
      return false;
    }
    chart.setOrder("");
    ctx.setSearchText(SearchKind::Contas, chart.field("CodigoContaContabil").asString());
    journal.first();
    // The chart is left on the last account the checks found, the journal on the entry they
    // stopped at.
    for (int i = c.accountsLookedUp - 1; i >= 0; --i)
      if (chart.findKey({c.entries[i].account + c.entries[i].current})) break;
    if (c.refusedEntry) journal.gotoBookmark({c.refusedEntry});
    if (!c.totalsKnown) {
      ui.message(c.refusal);
      return false;
    }
    journal.gotoBookmark({c.entries.last().rowId});
    if (showTotals) showTotals(totalText(c.debits), totalText(c.credits));
    if (!c.passed()) {
      ui.message(c.refusal);
      return false;
    }
    if (!ui.confirm("Confirma o processamento deste documento?")) return false;

    balance.setOrder("");
    ctx.setSearchText(SearchKind::Balanco, balance.field("CodCtaConCodCtaCor").asString());
    journal.setOrder("SI_AnoContasMesDia");
    ctx.setSearchText(SearchKind::Lancamentos, journal.field("AnoContasMesDia").asString());
    journal.first();
    ProcessingResult result;
    {
      // The grids bound to the journal and the trial balance would repaint at every row.
      journal.disableControls();
      balance.disableControls();
      Progress& progress = ui.progress();
      auto thaw = qScopeGuard([&] {
        progress.reset();
        balance.enableControls();
        journal.enableControls();
      });
      result = processing.run({c.document}, progress);
    }
    // The journal still shows the document: on the entry at fault, on its first entry when the
    // document as a whole was refused, on its last entry when it was processed.
    if (!result.isDone()) {
      const ProcessingRefusal& refusal = result.refusals.first();
      journal.gotoBookmark({refusal.entry ? refusal.entry : c.entries.first().rowId});
      ui.message(refusal.text);
      return false;
    }
    journal.gotoBookmark({c.entries.last().rowId});
    ui.message("Processamento do documento concluído com sucesso");
    return true;
  } catch (const StoreError& e) {
    // Nothing of the document was written; the cursors have read the files again.
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

void DocumentosPage::processar() {
  processChosenDocument(ctx_, [this](const QString& debits, const QString& credits) {
    totDeb_->setText(debits);
    totCred_->setText(credits);
  });
}

void DocumentosPage::estornar() {
  Table& t = journal();
  if (t.isEditing()) return; // the refresh keeps the button off while an entry is typed
  Ui& ui = ctx_.ui();
  Database& db = ctx_.dm().database();
  const QString year = ctx_.selectedYear().trimmed();
  try {
    const QString document = t.recordCount() > 0 ? t.field("NumeroDocumento").asString() : "";
    if (document.isEmpty()) return ui.message("Não há documento a estornar.");
    if (const auto refusal = reversalRefusal(db, year, document)) return ui.message(*refusal);
    const QDate offered = defaultReversalDate(db, year, document, QDate::currentDate());
    const auto typed =
        ui.prompt("Estorno do documento " + document, "Data do estorno:", fmt::date(offered));
    if (!typed) return;
    const auto date = fmt::parseDate(typed->trimmed(), year.toInt());
    if (!date) return ui.message("Data do estorno inválida: " + typed->trimmed() + ".");
    if (!ui.confirm("Confirma o estorno do documento " + document + " em " + fmt::date(*date) +
                    "?"))
      return;
    ReversalResult r;
    {
      Progress& progress = ui.progress();
      auto done = qScopeGuard([&] { progress.reset(); });
      r = reverseDocument(db, year, document, *date, progress);
    }
    ui.message(r.message);
    if (!r.done) return;
    // The reversing document is shown as Filtrar shows a document.
    numDocto_->setText(r.document);
    t.setFilter("NumeroDocumento=" + r.document);
    t.setFiltered(true);
    processar_->setEnabled(true);
    numDocto_->setEnabled(false);
    dataLancto_->setText(fmt::date(*date));
    showTotals();
    t.first();
  } catch (const StoreError& e) {
    report(e);
  }
}

void DocumentosPage::dateBoxClicked() {
  if (dataLancto_->text().isEmpty()) dataLancto_->setText(fmt::date(QDate::currentDate()));
}

void DocumentosPage::documentBoxClicked() {
  if (!numDocto_->text().isEmpty()) return;
  try {
    numDocto_->setText(highestDocument());
  } catch (const StoreError& e) {
    report(e);
  }
}

void DocumentosPage::importarPlanilha() {
  if (journal().isEditing()) return; // an entry half typed is saved or cancelled first
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) return ctx_.ui().message(book::text::noYearSelected);
  const QString path = chooseSpreadsheet();
  if (path.isEmpty()) return;
  Progress& progress = ctx_.ui().progress();
  try {
    const OperationResult r = importCsvFile(ctx_.dm().database(), year, path, progress);
    progress.reset();
    showImported(r);
  } catch (const StoreError& e) {
    progress.reset();
    report(e);
  }
}

void DocumentosPage::importarExtrato() {
  if (journal().isEditing()) return;
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) return ctx_.ui().message(book::text::noYearSelected);
  const auto choice = askStatement();
  if (!choice || choice->path.isEmpty()) return;
  Progress& progress = ctx_.ui().progress();
  try {
    const OperationResult r =
        importOfxFile(ctx_.dm().database(), year, choice->path, choice->options, progress);
    progress.reset();
    showImported(r);
  } catch (const StoreError& e) {
    progress.reset();
    report(e);
  }
}

void DocumentosPage::showImported(const OperationResult& r) {
  if (r.figure("documentos") > 0) {
    // The first new document, chosen as Filtrar chooses one typed in the document box.
    if (journal().filtered()) filtrar();
    numDocto_->setText(QString::number(r.figure("primeiro")).rightJustified(5, '0'));
    filtrar();
  }
  // A refusal names every bad line; a box shows the first of them.
  const int shown = 40;
  QStringList lines = r.message().split('\n');
  if (lines.size() > shown + 1) {
    const qsizetype more = lines.size() - shown;
    lines = lines.mid(0, shown);
    lines << "... e mais " + QString::number(more) + " linhas.";
  }
  ctx_.ui().message(lines.join('\n'));
}

bool DocumentosPage::eventFilter(QObject* watched, QEvent* event) {
  // Moving to another row would save the entry being typed without Gravar's checks, so the
  // grid stays on it until it is saved or cancelled.
  if ((watched == grid_ || watched == grid_->viewport()) && journal().isEditing()) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
      return true;
    default:
      break;
    }
  }
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == dataLancto_) dateBoxClicked();
    if (watched == numDocto_) documentBoxClicked();
  }
  return MaintenancePage::eventFilter(watched, event);
}

} // namespace esc
