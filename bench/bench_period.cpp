// The year routines on a large book, built here through SQL: analytic pairs in groups 1 to 4
// under synthetic accounts of every level, twelve trial-balance rows each with random movements;
// or on a copy of an existing data directory (--book DIR, e.g. one escrivon-init --documents made),
// working on its latest fiscal year.
// Usage: bench_period [--book DIR] [analytic pairs=20000]
#include "benchBook.h"
#include "demobook.h"
#include "period/carryForward.h"
#include "period/syntheticUpdate.h"
#include "period/yearOpening.h"
#include "period/yearState.h"
#include "store/dataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <random>

using namespace esc;

namespace {

QString year = "2003";

QString period(const QString& y, int m) {
  return y + QStringLiteral("%1").arg(m, 2, 10, QChar('0'));
}

void insertPair(Database& db, std::mt19937& rng, const QString& code, const QString& current,
                const QString& nature, int level) {
  db.exec("INSERT INTO contas VALUES (?, ?, 'CONTA', ?, '', ?, ?)",
          {code + current, code, current, nature, QString::number(level)});
  double balance = (int(rng() % 2000000) - 1000000) / 100.0;
  for (int m = 1; m <= 12; ++m) {
    const QString p = period(year, m);
    const double debits = level == 6 ? (rng() % 100000) / 100.0 : 0.0;
    const double credits = level == 6 ? (rng() % 100000) / 100.0 : 0.0;
    const double closing = nature == "D" ? balance + debits - credits : balance + credits - debits;
    db.exec("INSERT INTO balanco VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {code, current, p, p + code + current, nature, balance, credits, debits, closing,
             closing < 0 ? (nature == "D" ? "C" : "D") : nature, nature, QString::number(level)});
    balance = closing;
  }
}

// Returns the number of trial-balance rows of the year.
int generate(Database& db, int pairs) {
  std::mt19937 rng(2003);
  const QStringList currents = {"999", "0001", "0002", "0003"};
  QSet<QString> codes;
  Transaction tx(db);
  int rows = 0, analytic = 0;
  while (codes.size() * currents.size() < pairs) {
    QString code = QString::number(1 + rng() % 4);
    for (int d = 0; d < 4; ++d)
      code += QChar(char('1' + rng() % 5));
    code += QChar(char('1' + rng() % 9));
    if (code.startsWith("29") || codes.contains(code)) continue;
    codes.insert(code);
  }
  QSet<QString> synthetic;
  for (const QString& code : codes) {
    const QString nature = code[0] == '1' || code[0] == '4' ? "D" : "C";
    for (const QString& current : currents) {
      if (analytic == pairs) break;
      insertPair(db, rng, code, current, nature, 6);
      ++analytic;
      rows += 12;
    }
    for (int n = 1; n <= 5; ++n) {
      const QString s = code.left(n) + QString(6 - n, '0');
      if (synthetic.contains(s)) continue;
      synthetic.insert(s);
      insertPair(db, rng, s, "999", nature, n);
      rows += 12;
    }
  }
  insertPair(db, rng, "299999", "999", "C", 6);
  for (const QString s : {"200000", "290000", "299000", "299900", "299990"})
    if (!synthetic.contains(s)) {
      insertPair(db, rng, s, "999", "C", 6 - int(s.count(QChar('0'))));
      rows += 12;
    }
  tx.commit();
  return rows + 12;
}

double milliseconds(const std::function<void()>& work, double* cpu) {
  QElapsedTimer t;
  const std::clock_t c0 = std::clock();
  t.start();
  work();
  *cpu = 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC;
  return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bench::Arguments args =
      bench::parseArguments(argc, argv, 20000, "bench_period [--book DIR] [analytic pairs]");
  const int pairs = args.number;
  QTemporaryDir dir;
  if (args.book.isEmpty()) {
    InitOptions o;
    o.directory = dir.path();
    o.year = year.toInt();
    createDataDirectory(o);
  } else {
    bench::copyBook(args.book, dir.path());
  }

  // The routines need only the connection; the data module opens the book's files as the
  // system does, and nothing is asked of its Ui.
  NoProgress quiet;
  SilentUi ui;
  TDEscrivon dm(ui);
  dm.connectDirectory(dir.path());
  for (Table* t : dm.tables())
    t->open();
  if (!args.book.isEmpty()) year = bench::bookYear(dm.database());

  double cpu = 0;
  if (args.book.isEmpty()) {
    int rows = 0;
    const double built = milliseconds([&] { rows = generate(dm.database(), pairs); }, &cpu);
    std::printf("book: %d analytic pairs, %d trial-balance rows in %s (synthetic included), "
                "built in %.0f ms\n",
                pairs, rows, qPrintable(year), built);
  } else {
    std::printf("copy of %s\n", qPrintable(args.book));
    bench::printBookSize(dm.database(), year);
  }
  // On a shared machine the processor time is the steadier figure.

  Database& db = dm.database();
  auto run = [&](const char* what, const std::function<OperationResult()>& op) {
    std::optional<OperationResult> r;
    const double ms = milliseconds([&] { r = op(); }, &cpu);
    QStringList figures;
    for (const OperationResult::Figure& f : r->figures())
      figures << f.name + " " + QString::number(f.value);
    std::printf("%-28s %8.0f ms wall %8.0f ms cpu  %s  [%s]\n", what, ms, cpu,
                qPrintable(r->message()), qPrintable(figures.join(", ")));
    if (r->isRefused()) std::exit(1);
  };
  run("synthetic update", [&] { return syntheticUpdate(db, year, quiet); });
  run("synthetic update (again)", [&] { return syntheticUpdate(db, year, quiet); });
  run("opening the next year", [&] { return openNextYear(db, year, quiet); });
  run("carrying balances forward", [&] { return carryForward(db, year, quiet); });
  run("closing", [&] { return changeYearState(db, year, YearChange::Close); });
  run("reopening", [&] { return changeYearState(db, year, YearChange::Reopen); });
  return 0;
}
