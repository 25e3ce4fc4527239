#pragma once
#include "bookFixture.h"
#include "period/pages/atualizacoesPage.h"

#include <gtest/gtest.h>

namespace esc::test {

// An empty book (chart, trial balance and statement lines written straight into the files)
// with the context the Atualizações page gives its operations.
struct StatementsBook : PageBook {
  // The rows a test writes go in one transaction, committed by reread(): a commit per row
  // would make the tests wait on the disk.
  StatementsBook() : PageBook(false), page(ctx) { db().begin(); }

  // One trial-balance row; the letters follow the signed rule unless given.
  void balanco(const QString& period, const QString& code, const QString& current,
               const QString& level, const QString& nature, double closing,
               const QString& closingLetter = {}, double opening = 0, double debits = 0,
               double credits = 0) {
    const QString other = nature == "C" ? "D" : "C";
    const QString letter =
        closingLetter.isEmpty() ? (closing >= 0 ? nature : other) : closingLetter;
    db().exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
              "CodCtaConCodCtaCor, TipoSaldoAnterior, SaldoAnterior, ValorCredito, ValorDebito, "
              "SaldoAtual, TipoSaldoAtual, NaturezaDaConta, NivelDaConta) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
              {code, current, period, period + code + current, opening >= 0 ? nature : other,
               opening, credits, debits, closing, letter, nature, level});
  }
  void line(const QString& order, const QString& first, const QString& last, const QString& name,
            const QString& sign) {
    db().exec("INSERT INTO demresul (OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, "
              "SinalDoGrupo, SaldoDoGrupo, AnoEMes, Acumulado) VALUES (?, ?, ?, ?, ?, 7, '', 7)",
              {order, first, last, name, sign});
  }
  // Every row of a table as text, in row-id order, to compare before and after.
  QStringList dump(const QString& table) {
    return rowTexts(db().select("SELECT * FROM " + table + " ORDER BY rowid"));
  }
  // Re-reads the cursors after rows were written straight into the files.
  void reread() {
    while (db().transactionDepth() > 0)
      db().commit();
    for (Table* t : dm->tables())
      t->refresh();
  }
  AtualizacoesPage page;
};

} // namespace esc::test
