// bench_statements [--book DIR] [analytic pairs]: time of the income-statement update, the
// balance-sheet update and the backup copy on a book written straight through SQL (20 000
// analytic pairs, 240 000 trial-balance rows a year, by default), or on a copy of an existing
// data directory and its latest fiscal year. Prints figures only.
#include "benchBook.h"
#include "demobook.h"
#include "period/backupCopy.h"
#include "period/balanceSheetUpdate.h"
#include "period/incomeStatementUpdate.h"
#include "store/dataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace esc;

namespace {

// `op` returns what it would say.
void measure(const char* what, const std::function<QString()>& op) {
  for (int run = 1; run <= 2; ++run) {
    QElapsedTimer t;
    const std::clock_t c0 = std::clock();
    t.start();
    const QString said = op();
    // On a shared machine the processor time is the steadier figure.
    std::printf("  %-40s run %d %9.0f ms wall %9.0f ms cpu   (%s)\n", what, run,
                t.nsecsElapsed() / 1e6, 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC,
                qPrintable(said));
  }
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bench::Arguments args =
      bench::parseArguments(argc, argv, 20000, "bench_statements [--book DIR] [analytic pairs]");
  const int pairs = args.number;
  QTemporaryDir dir, copy;
  if (args.book.isEmpty()) {
    InitOptions o;
    o.directory = dir.path();
    o.year = 2004;
    createDataDirectory(o);
  } else {
    bench::copyBook(args.book, dir.path());
  }

  bench::OpenBook book(dir.path());
  TDEscrivon& dm = book.dm;
  SilentUi& ui = book.ui;
  Database& db = dm.database();

  QString year = "2004";
  if (!args.book.isEmpty()) {
    year = bench::bookYear(db);
    std::printf("bench_statements on a copy of %s\n", qPrintable(args.book));
    bench::printBookSize(db, year);
  } else {
    QElapsedTimer t;
    t.start();
    int rows = 0;
    Transaction tx(db);
    auto add = [&](const QString& code, const QString& current, const QString& level,
                   const QString& nature, int seed) {
      for (int m = 1; m <= 12; ++m) {
        const QString period = QString("2004%1").arg(m, 2, 10, QChar('0'));
        const double opening = (seed % 977) * 10.25 - 3000, closing = opening + m * 1.5;
        db.exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
                "CodCtaConCodCtaCor, TipoSaldoAnterior, SaldoAnterior, ValorCredito, "
                "ValorDebito, SaldoAtual, TipoSaldoAtual, NaturezaDaConta, NivelDaConta) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                {code, current, period, period + code + current,
                 opening >= 0 ? nature : (nature == "D" ? "C" : "D"), opening, seed % 13 * 1.1,
                 seed % 17 * 2.3, closing, closing >= 0 ? nature : (nature == "D" ? "C" : "D"),
                 nature, level});
        ++rows;
      }
    };
    // Four groups; in each, synthetic accounts of levels 1 and 3 over analytic accounts of
    // four current accounts each.
    const int codesPerGroup = pairs / 16;
    for (int g = 1; g <= 4; ++g) {
      const QString nature = g == 1 || g == 4 ? "D" : "C";
      add(QString::number(g) + "00000", "999", "1", nature, g);
      for (int i = 0; i < codesPerGroup; ++i) {
        const QString code = QString("%1%2%3").arg(g).arg(1000 + i / 9).arg(i % 9 + 1);
        if (i % 900 == 0) add(code.left(3) + "000", "999", "3", nature, i);
        for (int c = 1; c <= 4; ++c)
          add(code, QString("%1").arg(c, 4, 10, QChar('0')), "6", nature, i * 4 + c);
      }
    }
    for (int l = 0; l < 20; ++l) {
      const int g = 3 + l / 10;
      db.exec("INSERT INTO demresul (OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, "
              "SinalDoGrupo) VALUES (?, ?, ?, ?, ?)",
              {QString("%1").arg(l + 1, 2, 10, QChar('0')), QString("%1%2000").arg(g).arg(l % 10),
               QString("%1%2999").arg(g).arg(l % 10), QString("GRUPO %1").arg(l + 1),
               l == 19 ? "=" : (g == 3 ? "+" : "-")});
    }
    tx.commit();
    for (Table* t : dm.tables())
      t->refresh();
    std::printf("bench_statements: %d trial-balance rows (%d analytic pairs) built in %.0f ms\n",
                rows, pairs, t.nsecsElapsed() / 1e6);
  }

  const QString june = year + "06";
  measure(qPrintable("income-statement update (" + june + ")"),
          [&] { return updateIncomeStatement(db, june, ui).message(); });
  measure(qPrintable("balance-sheet update (" + year + ")"),
          [&] { return updateBalanceSheet(db, year, ui).message(); });
  std::printf("  balance-sheet rows: %s\n",
              qPrintable(db.selectValue("SELECT count(*) FROM balpatri").toString()));
  measure("backup copy", [&] { return copyBook(db.directory(), copy.path() + "/", ui).message(); });
  return 0;
}
