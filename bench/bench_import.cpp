// bench_import [--book DIR] [lines]: time of importing a spreadsheet of entries (10 000 lines
// by default, which must take under 2 s) into a generated book, or into a copy of an existing
// data directory and its latest fiscal year. The file holds two-line documents over the book's
// analytic accounts, half grouped by the `documento` column and half by balancing runs. Prints
// figures only.
#include "benchBook.h"
#include "demobook.h"
#include "journal/csvImport.h"
#include "store/dataModule.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace esc;

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bench::Arguments args =
      bench::parseArguments(argc, argv, 10000, "bench_import [--book DIR] [lines]");
  QTemporaryDir dir;
  if (args.book.isEmpty()) {
    GeneratedBookOptions g;
    g.init.directory = dir.path();
    g.init.year = 2004;
    g.documents = 500;
    createGeneratedBook(g);
  } else {
    bench::copyBook(args.book, dir.path());
  }

  bench::OpenBook book(dir.path());
  Database& db = book.dm.database();
  const QString year = bench::bookYear(db);
  bench::printBookSize(db, year);
  QVector<QVariantList> pairs =
      db.select("SELECT c.CodigoContaContabil, c.CodigoContaCorrente FROM contas c "
                "JOIN balanco b ON b.CodCtaConCodCtaCor = ? || c.CodCtaConCodCtaCor "
                "WHERE c.NivelDaConta = '6' ORDER BY c.CodCtaConCodCtaCor",
                {year + "01"});
  const QString historico = db.selectValue("SELECT min(CodigoHistorico) FROM historic").toString();
  if (pairs.size() < 2 || historico.isEmpty()) {
    std::fprintf(stderr, "livro sem contas analíticas ou históricos\n");
    return 1;
  }

  QByteArray csv = "data;documento;conta;corrente;dc;valor;historico;complemento\n";
  for (int i = 0; i < args.number; i += 2) {
    const QString date = QStringLiteral("%1/%2/%3")
                             .arg(1 + i % 28, 2, 10, QChar('0'))
                             .arg(1 + (i / 2) % 12, 2, 10, QChar('0'))
                             .arg(year);
    const QString document = i % 4 == 0 ? QString::number(i / 2) : QString();
    const QString amount =
        QStringLiteral("%1,%2").arg(10 + i % 9973).arg(i % 100, 2, 10, QChar('0'));
    for (int side = 0; side < 2; ++side) {
      const QVariantList& p = pairs[(i + side * 7) % pairs.size()];
      csv += QStringList{date,
                         document,
                         p[0].toString(),
                         p[1].toString(),
                         side ? "C" : "D",
                         amount,
                         historico,
                         "LINHA " + QString::number(i + side + 2)}
                 .join(';')
                 .toUtf8() +
             "\n";
    }
  }
  const QString path = dir.filePath("lancamentos.csv");
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(csv) < 0) return 1;
  f.close();

  NoProgress quiet;
  QElapsedTimer t;
  t.start();
  const OperationResult r = importCsvFile(db, year, path, quiet);
  const qint64 ms = t.elapsed();
  if (r.isRefused()) {
    std::fprintf(stderr, "%s\n", qPrintable(r.message().left(2000)));
    return 1;
  }
  std::printf("import of %d CSV lines: %lld ms (%.0f lines/s), %lld documents\n", args.number, ms,
              args.number * 1000.0 / std::max<qint64>(ms, 1), r.figure("documentos"));
  return 0;
}
