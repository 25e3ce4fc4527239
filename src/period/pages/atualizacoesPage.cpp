#include "atualizacoesPage.h"

#include "backupCopyDialog.h"
#include "book/taxIds.h"
#include "book/texts.h"
#include "period/balanceSheetUpdate.h"
#include "period/carryForward.h"
#include "period/ecdExport.h"
#include "period/fiscalYear.h"
#include "period/incomeStatementUpdate.h"
#include "period/syntheticUpdate.h"
#include "period/yearOpening.h"
#include "spedDataDialog.h"
#include "store/formats.h"
#include "ui/pageParts.h"

#include <QDir>
#include <QVBoxLayout>

namespace esc {

AtualizacoesPage::AtualizacoesPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("TabAtualizacoes");
  askSpedData = [this] { return editSpedData(ctx_, this); };
  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, "Atualizações"));
  auto add = [&](const QString& name, const QString& caption, const QString& hint, auto handler) {
    QPushButton* b = makeButton(this, name, caption, hint);
    col->addWidget(b);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  ButAtuSaldo =
      add("ButAtuSaldo", "Atualização de &Saldo de Contas Sintéticas",
          "Atualiza o saldo de todo o exercício selecionado", &AtualizacoesPage::atuSaldo);
  ButAberExer =
      add("ButAberExer", "Abertura do &Exercício Financeiro Posterior",
          "Cria as contas para o exercício posterior ao selecionado", &AtualizacoesPage::aberExer);
  ButTranspSdo = add("ButTranspSdo", "&Retransposição de saldos de balanço",
                     "Transpõe os saldos para o exercício posterior ao selecionado",
                     &AtualizacoesPage::transpSdo);
  ButAtuDemRes = add("ButAtuDemRes", "Atualização &Demonstração de Resultado",
                     "Atualiza a Demonstração de resultado para o período indicado",
                     &AtualizacoesPage::atuDemRes);
  ButAtuBalPatri = add("ButAtuBalPatri", "Atualização do Balanço &Patrimonial",
                       "Atualiza o Balanço Patrimonial para o exercício indicado",
                       &AtualizacoesPage::atuBalPatri);
  ButFechaExercicio = add("ButFechaExercicio", "&Fechamento de Exercício Financeiro", "",
                          &AtualizacoesPage::fechaExercicio);
  ButAbreExercicio = add("ButAbreExercicio", "Re&abertura de Exercício Fechado", "",
                         &AtualizacoesPage::abreExercicio);
  ButBackUp = add("ButBackUp", "&Cópia de Segurança do Banco de Dados",
                  "Faz uma cópia de todos os bancos de dados", &AtualizacoesPage::backUp);
  ButExportaEcd = add("ButExportaEcd", "Exportar ECD (SPED Contábil)",
                      "Grava a Escrituração Contábil Digital do exercício selecionado",
                      &AtualizacoesPage::exportaEcd);
  ButDadosSped = add("ButDadosSped", "Dados para o SPED", book::text::spedDataHint,
                     &AtualizacoesPage::dadosSped);
  col->addStretch();
}

// Leaves the chart and the trial balance in their primary orders, the chart on the result
// account, and remembers the search texts of both as they stood.
bool AtualizacoesPage::atuSaldo() {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  Database& db = dm.database();
  const QString year = selectedYearOrSay();
  if (year.isEmpty()) return false;
  try {
    Table& chart = *dm.TbContas;
    const std::optional<OperationResult> refusal = syntheticUpdateRefusal(db, year);
    // The chart is looked up after the closed year was refused, and before its own refusal.
    if (!refusal || refusal->reason() == int(SyntheticRefusal::NoResultAccount)) {
      chart.setOrder({});
      ctx_.setSearchText(SearchKind::Contas, chart.field("CodigoContaContabil").asString());
    }
    if (refusal) {
      ui.message(refusal->message());
      return false;
    }
    chart.findKey({book::resultPair});
    Table& balance = *dm.TbBalanco;
    balance.setOrder({});
    ctx_.setSearchText(SearchKind::Balanco, balance.field("CodCtaConCodCtaCor").asString());
    const OperationResult r = syntheticUpdate(db, year, ui.progress());
    balance.setFiltered(false);
    ui.message(r.message());
    // A refused month leaves the bar where it stopped.
    if (r.isDone()) ui.progress().setPosition(0);
    return r.isDone();
  } catch (const StoreError& e) {
    return failed(e);
  }
}

// Leaves the trial balance unrestricted and the years on the new one.
bool AtualizacoesPage::aberExer() {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  Database& db = dm.database();
  const QString year = ctx_.selectedYear().trimmed();
  if (saidRefusal(yearOpeningYearRefusal(year))) return false;
  const QString next = book::nextYear(year);
  if (!ui.confirm("Confirma a abertura do exercício de " + next + "?")) return false;
  try {
    if (saidRefusal(yearOpeningRefusal(db, year))) return false;
    Table& balance = *dm.TbBalanco;
    Table& years = *dm.TbFechamen;
    balance.checkBrowseMode();
    years.checkBrowseMode();
    const OperationResult r = openNextYear(db, year, ui.progress());
    balance.setFiltered(false);
    years.findKey({next});
    ui.message(r.message());
    ui.progress().setPosition(0);
    return r.isDone();
  } catch (const StoreError& e) {
    return failed(e);
  }
}

// Leaves the trial balance in its primary order, unrestricted, and remembers its search text.
bool AtualizacoesPage::transpSdo() {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  Database& db = dm.database();
  const QString year = selectedYearOrSay();
  if (year.isEmpty()) return false;
  try {
    if (saidRefusal(carryForwardRefusal(db, year))) return false;
    if (!ui.confirm("Confirma a retransposição dos saldos de " + year + " para " +
                    book::nextYear(year) + "?"))
      return false;
    Table& balance = *dm.TbBalanco;
    balance.setOrder({});
    ctx_.setSearchText(SearchKind::Balanco, balance.field("CodCtaConCodCtaCor").asString());
    const OperationResult r = carryForward(db, year, ui.progress());
    balance.setFiltered(false);
    ui.message(r.message());
    ui.progress().setPosition(0);
    return r.isDone();
  } catch (const StoreError& e) {
    return failed(e);
  }
}

bool AtualizacoesPage::fechaExercicio() {
  return changeYear(YearChange::Close);
}

bool AtualizacoesPage::abreExercicio() {
  return changeYear(YearChange::Reopen);
}

// The years' cursor stays on the selected year's row.
bool AtualizacoesPage::changeYear(YearChange change) {
  Ui& ui = ctx_.ui();
  TDEscrivon& dm = ctx_.dm();
  const QString year = selectedYearOrSay();
  if (year.isEmpty()) return false;
  try {
    Table& years = *dm.TbFechamen;
    years.findKey({year});
    if (saidRefusal(yearChangeRefusal(dm.database(), year, change))) return false;
    if (!ui.confirm(yearChangeQuestion(change))) return false;
    const OperationResult r = changeYearState(dm.database(), year, change);
    years.findKey({year});
    ui.message(r.message());
    return r.isDone();
  } catch (const StoreError& e) {
    return failed(e);
  }
}

bool AtualizacoesPage::atuDemRes() {
  const auto period =
      ctx_.ui().prompt(QStringLiteral("Atualização"),
                       QStringLiteral("Informe o período para atualizar (AAAAMM):"), QString());
  if (!period) return false;
  return atuDemResPeriod(*period);
}

// Leaves the trial balance in its primary order where the last line's walk left it, and the
// lines, in their own order, on the last one.
bool AtualizacoesPage::atuDemResPeriod(const QString& typed) {
  TDEscrivon& dm = ctx_.dm();
  Ui& ui = ctx_.ui();
  Database& db = dm.database();
  Table& balanco = *dm.TbBalanco;
  Table& lines = *dm.TbDemResul;
  const QString period = fmt::trimRight(typed);
  try {
    balanco.setOrder(QString());
    ctx_.setSearchText(SearchKind::Balanco, balanco.field("CodCtaConCodCtaCor").asString());
    if (balanco.filtered()) balanco.setFiltered(false);
    if (saidRefusal(incomeStatementRefusal(db, period))) return false;
    // A pending line is stored as leaving it would, unless the "Dem.Res." page is typing it:
    // then the update is refused here, before any write.
    lines.checkBrowseMode();
    // The lines as the page shows them: its order and its filter.
    QVector<qint64> ids;
    QString lastEnd;
    for (const Record& r : lines.rows(0, lines.recordCount())) {
      ids << r.rowId;
      lastEnd = lines.valueOf(r, "ContaFinal").toString();
    }
    const OperationResult r = updateIncomeStatement(db, period, ui.progress(), ids);

    QVariant stop;
    if (!ids.isEmpty())
      stop =
          db.selectValue("SELECT rowid FROM balanco WHERE Periodo = ? AND CodCtaConCodCtaCor > ? "
                         "ORDER BY CodCtaConCodCtaCor, rowid LIMIT 1",
                         {period, period + lastEnd});
    if (!stop.isValid())
      stop = db.selectValue(ids.isEmpty() ? "SELECT rowid FROM balanco WHERE Periodo = ? "
                                            "ORDER BY CodCtaConCodCtaCor, rowid LIMIT 1"
                                          : "SELECT rowid FROM balanco WHERE Periodo = ? "
                                            "ORDER BY CodCtaConCodCtaCor DESC, rowid DESC LIMIT 1",
                            {period});
    if (stop.isValid()) balanco.gotoBookmark(Bookmark{stop.toLongLong()});
    if (!ids.isEmpty()) lines.last();

    ui.message(r.message());
    ui.progress().reset();
    return r.isDone();
  } catch (const StoreError& e) {
    ui.progress().reset();
    return failed(e);
  }
}

// Leaves the trial balance in "SI_Periodo" on the row where the account walk stopped (the
// first of group 3), and the balance sheet unrestricted on its last row.
bool AtualizacoesPage::atuBalPatri() {
  TDEscrivon& dm = ctx_.dm();
  Ui& ui = ctx_.ui();
  Database& db = dm.database();
  const QString year = selectedYearOrSay();
  if (year.isEmpty()) return false;
  if (!ui.confirm("Confirma atualização do exercício de " + year + "?")) return false;
  Progress& progress = ui.progress();
  try {
    Table& balanco = *dm.TbBalanco;
    Table& sheet = *dm.TbBalPatri;
    // A pending row is stored as leaving it would, unless the "Bal. Patr." grid is typing
    // it: then the update is refused here, before any write.
    sheet.checkBrowseMode();
    const OperationResult r = updateBalanceSheet(db, year, progress);

    const QString january = book::period(year, 1), december = book::period(year, 12);
    QVariant stop = db.selectValue(
        "SELECT rowid FROM balanco WHERE Periodo >= ? AND Periodo <= ? "
        "AND substr(CodigoContaContabil, 1, 1) >= '3' "
        "ORDER BY CodigoContaContabil COLLATE ESCI, CodigoContaCorrente COLLATE ESCI, rowid "
        "LIMIT 1",
        {january, december});
    if (!stop.isValid())
      stop = db.selectValue("SELECT rowid FROM balanco WHERE Periodo >= ? AND Periodo <= ? "
                            "ORDER BY CodigoContaContabil COLLATE ESCI DESC, "
                            "CodigoContaCorrente COLLATE ESCI DESC, rowid DESC LIMIT 1",
                            {january, december});
    if (balanco.filtered()) balanco.setFiltered(false);
    balanco.setOrder(QStringLiteral("SI_Periodo"));
    if (stop.isValid()) balanco.gotoBookmark(Bookmark{stop.toLongLong()});
    ctx_.setSearchText(SearchKind::Balanco,
                       stop.isValid() ? balanco.field("CodCtaConCodCtaCor").asString() : QString());
    if (sheet.filtered()) sheet.setFiltered(false);
    sheet.last();

    ui.message(r.message());
    progress.reset();
    return r.isDone();
  } catch (const StoreError& e) {
    progress.reset();
    return failed(e);
  }
}

void AtualizacoesPage::backUp() {
  runBackupCopy(ctx_);
}

// Asks where to write, defaulting to the home directory under the name the file is known by;
// the export says what it refused or the counts it wrote. A missing SPED value is named, then
// the SPED data are asked for, and the export runs again once they are saved.
bool AtualizacoesPage::exportaEcd() {
  Ui& ui = ctx_.ui();
  Database& db = ctx_.dm().database();
  const QString year = selectedYearOrSay();
  if (year.isEmpty()) return false;
  Progress& progress = ui.progress();
  try {
    const QString cnpj =
        book::digitsOf(db.selectValue("SELECT CNPJDaOrganizacao FROM cabecalh LIMIT 1").toString());
    const auto path =
        ui.prompt(QStringLiteral("Exportar ECD"), QStringLiteral("Informe o arquivo de destino"),
                  QDir::home().filePath(QStringLiteral("ECD_%1_%2.txt").arg(cnpj, year)));
    if (!path || path->trimmed().isEmpty()) return false;
    for (;;) {
      const OperationResult r = exportEcd(db, year, path->trimmed(), progress);
      progress.reset();
      ui.message(r.message());
      if (r.isDone()) return true;
      if (r.reason() != int(EcdRefusal::MissingData) || !askSpedData()) return false;
    }
  } catch (const StoreError& e) {
    progress.reset();
    return failed(e);
  }
}

void AtualizacoesPage::dadosSped() {
  editSpedData(ctx_, this);
}

QString AtualizacoesPage::selectedYearOrSay() {
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) ctx_.ui().message(book::text::noYearSelected);
  return year;
}

bool AtualizacoesPage::failed(const StoreError& e) {
  if (!e.silent()) ctx_.ui().error(e.message());
  return false;
}

bool AtualizacoesPage::saidRefusal(const std::optional<OperationResult>& refusal) {
  if (refusal) ctx_.ui().message(refusal->message());
  return refusal.has_value();
}

} // namespace esc
