#pragma once
// A small hand-made book of fiscal year 2003 for the year-routine tests.
#include "bookFixture.h"
#include "period/pages/atualizacoesPage.h"
#include "periodBooks.h"

#include <QFile>
#include <gtest/gtest.h>

namespace esc::test {

class YearBook : public ::testing::Test {
protected:
  // A chart row and twelve trial-balance rows of `year`, every month opening at `before` and
  // closing at `now` with the nature's letters and no movements.
  void addPair(const QString& code, const QString& current, const QString& nature,
               const QString& level, double before = 0, double now = 0,
               const QString& year = "2003") {
    if (year == "2003")
      addChartAccount(db, code, current, "CONTA", nature.isEmpty() ? "D" : nature, level);
    addYearRows(db, code, current, year, nature, level, before, now, nature);
  }
  void set(const QString& key, const QString& field, const QVariant& value) {
    db.exec(QStringLiteral("UPDATE balanco SET %1 = ? WHERE CodCtaConCodCtaCor = ?").arg(field),
            {value, key});
  }
  void moves(const QString& key, double debits, double credits) {
    set(key, "ValorDebito", debits);
    set(key, "ValorCredito", credits);
  }
  // SaldoAnterior, TipoSaldoAnterior, ValorDebito, ValorCredito, SaldoAtual, TipoSaldoAtual.
  QVariantList row(const QString& key) {
    const auto r = db.select("SELECT SaldoAnterior, TipoSaldoAnterior, ValorDebito, ValorCredito, "
                             "SaldoAtual, TipoSaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = ?",
                             {key});
    return r.isEmpty() ? QVariantList{} : r.first();
  }
  void setState(const QString& year, const QString& situation) {
    db.exec("INSERT OR REPLACE INTO fechamen (Exercicio, Situacao) VALUES (?, ?)",
            {year, situation});
  }
  QString state(const QString& year) {
    return db.selectValue("SELECT Situacao FROM fechamen WHERE Exercicio = ?", {year}).toString();
  }
  QByteArray file(const QString& name) {
    QFile f(book.path() + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  // Everything a failed routine must leave as it found it: the rows and the files.
  struct Snapshot {
    QVector<QVariantList> rows;
    QByteArray balance, years;
  };
  Snapshot snapshot() { return {dumpAll(db), file("BALANCO.db"), file("FECHAMEN.db")}; }
  void expectUnchanged(const Snapshot& before) {
    EXPECT_EQ(firstDifference(before.rows, dumpAll(db)), "");
    EXPECT_TRUE(before.balance == file("BALANCO.db"));
    EXPECT_TRUE(before.years == file("FECHAMEN.db"));
  }
  QStringList said() { return book.ui.texts(); }
  // The page's routines as their buttons run them with `year` selected.
  bool onYear(const QString& year, bool (AtualizacoesPage::*routine)()) {
    ctx.year = year;
    return (page.*routine)();
  }
  bool atuSaldo(const QString& year) { return onYear(year, &AtualizacoesPage::atuSaldo); }
  bool aberExer(const QString& year) { return onYear(year, &AtualizacoesPage::aberExer); }
  bool transpSdo(const QString& year) { return onYear(year, &AtualizacoesPage::transpSdo); }

  PageBook book{false, 2003};
  Database& db = book.db();
  SimpleContext& ctx = book.ctx;
  AtualizacoesPage page{ctx};
};

} // namespace esc::test
