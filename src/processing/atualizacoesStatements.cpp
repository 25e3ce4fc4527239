#include "atualizacoesPage.h"
#include "backupCopy.h"
#include "balanceSheetUpdate.h"
#include "fiscalYear.h"
#include "incomeStatementUpdate.h"
#include "store/formats.h"

namespace esc {

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
    if (const auto refusal = incomeStatementRefusal(db, period)) {
      ui.message(refusal->message());
      return false;
    }
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
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

// Leaves the trial balance in "SI_Periodo" on the row where the account walk stopped (the
// first of group 3), and the balance sheet unrestricted on its last row.
bool AtualizacoesPage::atuBalPatri() {
  TDEscrivon& dm = ctx_.dm();
  Ui& ui = ctx_.ui();
  Database& db = dm.database();
  const QString year = ctx_.selectedYear().trimmed();
  if (year.isEmpty()) {
    ui.message(book::text::noYearSelected);
    return false;
  }
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
    if (!e.silent()) ui.error(e.message());
    return false;
  }
}

void AtualizacoesPage::backUp() {
  BackupCopy(ctx_).run();
}

} // namespace esc
