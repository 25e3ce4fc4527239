// bench_charts [--book DIR] [analytic pairs]: time of the "Gráficos" page drawing a year (the
// figures read from the trial balance, the three charts built and painted) on a generated
// book of 3 000 processed documents over 2 000 analytic pairs by default, or on a copy of an
// existing data directory and its latest fiscal year; then of the PDF page. The cash prefix is
// set to "1", every asset account, so that the cash series sums hundreds of pairs. Prints
// figures only.
#include "benchBook.h"
#include "charts/chartsPage.h"
#include "demobook.h"
#include "period/syntheticUpdate.h"
#include "store/dataModule.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace esc;

namespace {

class BenchContext : public MainContext {
public:
  BenchContext(TDEscrivon& dm, Ui& ui, const QString& year) : dm_(dm), ui_(ui), year_(year) {}
  TDEscrivon& dm() override { return dm_; }
  Ui& ui() override { return ui_; }
  QString selectedYear() const override { return year_; }

private:
  TDEscrivon& dm_;
  Ui& ui_;
  QString year_;
};

void measure(const char* what, const std::function<void()>& op) {
  for (int run = 1; run <= 3; ++run) {
    QElapsedTimer t;
    const std::clock_t c0 = std::clock();
    t.start();
    op();
    // On a shared machine the processor time is the steadier figure.
    std::printf("  %-44s run %d %7.0f ms wall %7.0f ms cpu\n", what, run, t.nsecsElapsed() / 1e6,
                1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);
  }
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const bench::Arguments args =
      bench::parseArguments(argc, argv, 2000, "bench_charts [--book DIR] [analytic pairs]");
  QTemporaryDir dir, out;
  if (args.book.isEmpty()) {
    QElapsedTimer t;
    t.start();
    GeneratedBookOptions o;
    o.init.directory = dir.path();
    o.init.year = 2005;
    o.documents = 3000;
    o.accounts = args.number;
    createGeneratedBook(o);
    std::printf("bench_charts: generated book built in %.0f ms\n", t.nsecsElapsed() / 1e6);
  } else {
    bench::copyBook(args.book, dir.path());
    std::printf("bench_charts on a copy of %s\n", qPrintable(args.book));
  }

  bench::OpenBook book(dir.path());
  TDEscrivon& dm = book.dm;
  SilentUi& ui = book.ui;
  Database& db = dm.database();
  const QString year = bench::bookYear(db);
  if (args.book.isEmpty()) {
    NoProgress quiet;
    syntheticUpdate(db, year, quiet);
  }
  saveCashPrefix(db, "1");
  bench::printBookSize(db, year);

  BenchContext ctx(dm, ui, year);
  ChartsPage page(ctx);
  page.resize(784, 430);
  page.show();
  QApplication::processEvents();
  const YearPanel& p = page.panel();
  std::printf("  %lld cash pairs, %lld largest expenses, December's accumulated result %.2f\n",
              qlonglong(p.cashAccounts.size()), qlonglong(p.largestExpenses.size()),
              p.months[11].accumulated);
  measure("page: read the year, build and paint the charts", [&] {
    page.refresh();
    const QPixmap shown = page.grab();
    if (shown.isNull()) std::printf("  (nothing painted)\n");
  });
  measure("PDF page", [&] { page.savePdf(out.filePath("graficos.pdf")); });
  return 0;
}
