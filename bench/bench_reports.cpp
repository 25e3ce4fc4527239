// The trial balance of a whole year to PDF, on a trial balance generated here through SQL
// (20 000 account pairs x 12 months = 240 000 rows by default) or on a copy of an existing data
// directory (its latest fiscal year), as the "&Impressora" and escrivon-report path does it:
// rows read as laid out, pages written as they are laid out.
// Prints rows/s, pages/s and the peak memory after a one-month run and after the whole year,
// which shows whether memory grows with the number of pages.
// Usage: bench_reports [--book DIR] [rows=240000]
#include "benchBook.h"
#include "demobook.h"
#include "reports/definitions/tf_Balanco.h"
#include "reports/engine/layout.h"
#include "reports/engine/render.h"
#include "store/dataModule.h"
#include "store/userPrompts.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace esc;

namespace {

double cpuSeconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

long peakKb() {
  QFile f("/proc/self/status");
  if (!f.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
  return -1;
}

void generate(Database& db, int pairs) {
  Transaction tx(db);
  for (int i = 0; i < pairs; ++i) {
    const QString code = QStringLiteral("1%1").arg(i / 10, 5, 10, QChar('0'));
    const QString cc = QStringLiteral("%1").arg(i % 10 + 1, 4, 10, QChar('0'));
    db.exec("INSERT INTO contas VALUES (?, ?, ?, ?, ?, 'D', '6')",
            {code + cc, code, QStringLiteral("CONTA ANALÍTICA %1").arg(i / 10), cc,
             QStringLiteral("CORRENTE %1").arg(i)});
    double balance = (i % 7) * 1000.25 - 2500;
    for (int m = 1; m <= 12; ++m) {
      const QString period = QStringLiteral("2003%1").arg(m, 2, 10, QChar('0'));
      const double debit = (i * 37 + m * 11) % 5000 + 0.37, credit = (i * 13 + m) % 4000 + 0.5;
      const double current = balance + debit - credit;
      db.exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
              "CodCtaConCodCtaCor, TipoSaldoAnterior, SaldoAnterior, ValorCredito, ValorDebito, "
              "SaldoAtual, TipoSaldoAtual, NaturezaDaConta, NivelDaConta) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'D', '6')",
              {code, cc, period, period + code + cc, balance < 0 ? "C" : "D", balance, credit,
               debit, current, current < 0 ? "C" : "D"});
      balance = current;
    }
  }
  tx.commit();
}

struct Run {
  qint64 rows;
  int pages;
  double seconds, cpu;
  qint64 bytes;
};

Run runYear(TDEscrivon& dm, const QString& from, const QString& to, const QString& path) {
  auto def = report::makeBalanco();
  report::buildBalancoQuery(def->query,
                            {{"SaldoZero", "1"}, {"EdBPeriodo", from}, {"EdBPeriodoAte", to}});
  QElapsedTimer t;
  t.start();
  const double cpu0 = cpuSeconds();
  report::PdfFileSink sink(path, def->title);
  const auto stats = report::layOut(*def, &dm.database(), sink);
  sink.finish();
  return {stats.rows, stats.pages, t.nsecsElapsed() / 1e9, cpuSeconds() - cpu0,
          QFileInfo(path).size()};
}

// Wall-clock figures depend on what else the machine runs; CPU time is the program's own.
void print(const char* what, const Run& r, long peakKb) {
  std::printf("%s %lld rows, %d pages, %.1f MB PDF; wall %.2f s (%.0f rows/s, %.0f pages/s); "
              "CPU %.2f s (%.0f rows/s, %.0f pages/s); peak memory %.1f MB\n",
              what, r.rows, r.pages, r.bytes / 1e6, r.seconds, r.rows / r.seconds,
              r.pages / r.seconds, r.cpu, r.rows / r.cpu, r.pages / r.cpu, peakKb / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const bench::Arguments args =
      bench::parseArguments(argc, argv, 240000, "bench_reports [--book DIR] [rows]");
  const int rows = std::max(12, args.number);
  QTemporaryDir dir;
  const QString book = dir.filePath("book");
  if (args.book.isEmpty()) {
    InitOptions o;
    o.directory = book;
    o.year = 2003;
    createDataDirectory(o);
  } else {
    // The report only reads, but the store opens the files for writing: a copy keeps the
    // original as it was.
    QDir().mkpath(book);
    bench::copyBook(args.book, book);
  }
  SilentUi ui;
  TDEscrivon dm(ui);
  dm.connectDirectory(book);
  for (Table* t : dm.tables())
    t->open();
  QString fiscalYear = "2003";
  if (args.book.isEmpty()) {
    QElapsedTimer t;
    t.start();
    generate(dm.database(), rows / 12);
    std::printf("generated %d trial-balance rows through SQL in %.1f s\n", rows / 12 * 12,
                t.nsecsElapsed() / 1e9);
  } else {
    fiscalYear = bench::bookYear(dm.database());
    std::printf("copy of %s\n", qPrintable(args.book));
    bench::printBookSize(dm.database(), fiscalYear);
  }

  const Run month = runYear(dm, fiscalYear + "01", "", dir.filePath("month.pdf"));
  const long afterMonth = peakKb();
  print("one month: ", month, afterMonth);
  const Run year = runYear(dm, fiscalYear + "01", fiscalYear + "12", dir.filePath("year.pdf"));
  const long afterYear = peakKb();
  print("whole year:", year, afterYear);
  std::printf("peak memory grew by %.1f MB for %d more pages\n", (afterYear - afterMonth) / 1024.0,
              year.pages - month.pages);
  return 0;
}
