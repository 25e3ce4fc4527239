// bench_ecd [--book DIR] [documents]: time of the ECD export of a generated book (2 000
// documents by default; `escrivon-init --demo --documents 25000` makes the book of 100 000
// entries the export must write in under 5 s), or of a copy of an existing data directory and
// its latest fiscal year. The synthetic accounts, the income statement of December and the
// balance sheet are brought up to date first, as the export asks. Prints figures only.
#include "benchBook.h"
#include "demobook.h"
#include "period/balanceSheetUpdate.h"
#include "period/ecdExport.h"
#include "period/incomeStatementUpdate.h"
#include "period/syntheticUpdate.h"
#include "store/dataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace esc;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bench::Arguments args =
      bench::parseArguments(argc, argv, 2000, "bench_ecd [--book DIR] [documents]");
  QTemporaryDir dir, out;
  if (args.book.isEmpty()) {
    GeneratedBookOptions g;
    g.init.directory = dir.path();
    g.init.year = 2004;
    g.documents = args.number;
    createGeneratedBook(g);
  } else {
    bench::copyBook(args.book, dir.path());
  }

  bench::OpenBook book(dir.path());
  Database& db = book.dm.database();
  const QString year = bench::bookYear(db);
  NoProgress quiet;
  for (const OperationResult& r :
       {syntheticUpdate(db, year, quiet), updateIncomeStatement(db, year + "12", quiet),
        updateBalanceSheet(db, year, quiet)})
    if (r.isRefused()) {
      std::fprintf(stderr, "%s\n", qPrintable(r.message()));
      return 1;
    }
  const qint64 entries = db.selectValue("SELECT count(*) FROM lancamen").toLongLong();
  std::printf("ECD of %s: %lld entries\n", qPrintable(year), entries);
  const QString path = out.filePath("ECD.txt");
  for (int run = 1; run <= 2; ++run) {
    QElapsedTimer t;
    const std::clock_t c0 = std::clock();
    t.start();
    const OperationResult r = exportEcd(db, year, path, quiet);
    std::printf("  export run %d %9.0f ms wall %9.0f ms cpu  %lld bytes  (%s)\n", run,
                t.nsecsElapsed() / 1e6, 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC,
                QFileInfo(path).size(), qPrintable(r.message()));
    if (r.isRefused()) return 1;
  }
  return 0;
}
