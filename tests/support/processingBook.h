#pragma once
// A book for processing tests: accounts and entries are added as the chart and "&Gravar" save
// them, and a document is chosen and processed as the "Documentos" page does it.
#include "bookFixture.h"
#include "journal/documentProcessing.h"
#include "journal/pages/documentosPage.h"

#include <QDate>
#include <gtest/gtest.h>
#include <map>

namespace esc::test {

struct ProcessingBook : PageBook {
  // `demo`: the demo book with its processed year.
  explicit ProcessingBook(bool demo = false, int year = 2003) : PageBook(demo, year, demo) {
    // These tests are about what is written, not about surviving a power cut.
    for (const TableDef& t : allTables())
      db().execScript(QStringLiteral("PRAGMA f_%1.synchronous = OFF").arg(t.sqlName));
  }

  // An account of the chart; with `rows`, its twelve trial-balance rows of `year`.
  void addAccount(const QString& code, const QString& cc, const QString& nature,
                  const QString& level = "6", double opening = 0.0, bool rows = true,
                  const QString& year = "2003") {
    addChartAccount(db(), code, cc, "CONTA " + code, nature, level);
    if (rows) addCarriedYearRows(db(), code, cc, year, nature, level, opening);
  }

  // An entry as "&Gravar" saves it: keyed by the selected year, status "N" unless told.
  qint64 addEntry(const QString& doc, const QDate& date, const QString& code, const QString& cc,
                  const QString& type, double value, const QString& status = "N") {
    return test::addEntry(db(), ctx.year, doc, date, code, cc, type, value, status);
  }

  // "&Filtrar" on the document, then "&Processar", answering the confirmation with `yes`.
  bool process(const QString& doc, bool yes = true) {
    choose(doc);
    return processChosen(yes);
  }
  void choose(const QString& doc) {
    dm->TbLancamen->setFilter("NumeroDocumento=" + doc);
    dm->TbLancamen->setFiltered(true);
  }
  bool processChosen(bool yes = true) {
    ui.clear();
    ui.confirmAnswers = {yes};
    return processChosenDocument(ctx, [this](const QString& d, const QString& c) {
      totals = {d, c};
    });
  }
  // The engine on this book's selected year.
  DocumentProcessing engine() { return DocumentProcessing(db(), ctx.year); }

  QStringList statuses(const QString& doc) {
    QStringList out;
    for (const auto& r : db().select(
             "SELECT Situacao FROM lancamen WHERE NumeroDocumento = ? ORDER BY rowid", {doc}))
      out << r[0].toString();
    return out;
  }

  std::pair<QString, QString> totals;
};

// Debits and credits of the processed entries per trial-balance key, summed from the journal
// in the test's own way: the month of each entry's date, the pair of its codes.
inline std::map<QString, std::pair<double, double>> movementsFromJournal(Database& db,
                                                                         const QString& year) {
  std::map<QString, std::pair<double, double>> out;
  for (const auto& r : db.select("SELECT DataDaContabilizacao, CodigoContaContabil, "
                                 "CodigoContaCorrente, TipoDeLancamento, ValorLancamento "
                                 "FROM lancamen WHERE Situacao = 'P' ORDER BY rowid")) {
    const QString key = year + r[0].toString().mid(5, 2) + r[1].toString() + r[2].toString();
    auto& m = out[key];
    (r[3].toString() == "D" ? m.first : m.second) += r[4].toDouble();
  }
  return out;
}

// The trial balance of `year` holds exactly the processed entries' movements per pair and
// month, and its balances follow from them: each month closes at its opening plus its
// movements on the nature's side and opens with the previous month's close, January at zero.
// Only the analytic rows count: the synthetic rows and the result account are the roll-up's.
inline void expectTrialBalanceAgrees(Database& db, const QString& year) {
  const QString posted = " NivelDaConta = '6' AND NOT (CodigoContaContabil = '299999' AND "
                         "CodigoContaCorrente = '999') ";
  const auto expected = movementsFromJournal(db, year);
  int moved = 0;
  for (const auto& r : db.select("SELECT CodCtaConCodCtaCor, SaldoAnterior, ValorDebito, "
                                 "ValorCredito, SaldoAtual, NaturezaDaConta, TipoSaldoAtual "
                                 "FROM balanco WHERE Periodo LIKE ? || '%' AND" +
                                     posted,
                                 {year})) {
    const QString key = r[0].toString();
    const auto it = expected.find(key);
    const double debits = it == expected.end() ? 0 : it->second.first;
    const double credits = it == expected.end() ? 0 : it->second.second;
    moved += it != expected.end();
    EXPECT_NEAR(r[2].toDouble(), debits, 1e-6) << qPrintable(key);
    EXPECT_NEAR(r[3].toDouble(), credits, 1e-6) << qPrintable(key);
    const bool debitNature = r[5].toString() == "D";
    const double closing = r[1].toDouble() + (debitNature ? 1 : -1) * (debits - credits);
    EXPECT_NEAR(r[4].toDouble(), closing, 1e-6) << qPrintable(key);
    EXPECT_EQ(r[6].toString(), r[4].toDouble() < 0 ? (debitNature ? "C" : "D") : r[5].toString())
        << qPrintable(key);
  }
  EXPECT_EQ(moved, int(expected.size())) << "movements on pairs without trial-balance rows";
  EXPECT_EQ(db.selectValue("SELECT COUNT(*) FROM balanco a JOIN balanco b ON "
                           "b.CodigoContaContabil = a.CodigoContaContabil AND "
                           "b.CodigoContaCorrente = a.CodigoContaCorrente AND b.Periodo = "
                           "CAST(a.Periodo + 1 AS TEXT) WHERE a.Periodo LIKE ? || '%' AND "
                           "a.NivelDaConta = '6' AND NOT (a.CodigoContaContabil = '299999' AND "
                           "a.CodigoContaCorrente = '999') AND (b.SaldoAnterior <> a.SaldoAtual OR "
                           "b.TipoSaldoAnterior <> "
                           "a.TipoSaldoAtual)",
                           {year}),
            QVariant(0));
  EXPECT_EQ(
      db.selectValue("SELECT COUNT(*) FROM balanco WHERE Periodo = ? AND SaldoAnterior <> 0 AND" +
                         posted,
                     {year + "01"}),
      QVariant(0));
  // The books balance: total debits equal total credits.
  EXPECT_NEAR(
      db.selectValue("SELECT SUM(ValorDebito) - SUM(ValorCredito) FROM balanco WHERE" + posted)
          .toDouble(),
      0.0, 1e-6);
}

} // namespace esc::test
