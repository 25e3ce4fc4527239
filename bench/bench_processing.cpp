// Document processing on a generated book, commit included, with the store's own settings.
// Usage: bench_processing [pairs=2000] [entries=100000] [book directory to keep and reuse]
// Prints the time to process one 2-entry document (median and worst of 1 000 documents), the
// documents processed per second, and the same for a pair that already holds 10 000 entries;
// then, for comparison only, the 2-entry documents again without waiting for the disk
// (synchronous off), which shows what the commit's syncs cost on this machine; then a batch of
// documents of 2 to 6 entries (BENCH_BATCH, 2 000 by default) processed in one call, commit
// included.
#include "demobook.h"
#include "journal/documentProcessing.h"
#include "store/dataModule.h"
#include "store/schema.h"
#include "store/userPrompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>

using namespace esc;

namespace {

struct Entry {
  QString code, current, dc;
  double value;
};

class Bench {
public:
  Bench(const QString& dir, const QString& year) : dm_(ui_), year_(year) {
    dm_.connectDirectory(dir);
    for (Table* t : dm_.tables())
      t->open();
    dm_.TbLancamen->setOrder("SI_AnoContasMesDia");
    next_ = dm_.database().selectValue("SELECT MAX(NumeroDocumento) FROM lancamen").toInt() + 1;
  }
  Database& db() { return dm_.database(); }
  void setSynchronous(bool on) {
    for (const TableDef& t : allTables())
      db().execScript(
          QStringLiteral("PRAGMA f_%1.synchronous = %2").arg(t.sqlName, on ? "FULL" : "OFF"));
    db().execScript(QStringLiteral("PRAGMA main.synchronous = %1").arg(on ? "FULL" : "OFF"));
  }

  // Saves a document as "&Incluir" and "&Gravar" do; returns its number.
  QString save(const QDate& date, const QVector<Entry>& entries) {
    const QString doc = QStringLiteral("%1").arg(next_++, 5, 10, QChar('0'));
    Table& j = *dm_.TbLancamen;
    j.setFilter("NumeroDocumento=" + doc);
    j.setFiltered(true);
    for (const Entry& e : entries) {
      j.insert();
      j.setValue("AnoContasMesDia",
                 year_ + e.code + e.current.leftJustified(14, ' ') + date.toString("MMdd"));
      j.setValue("CodCtaConCodCtaCor", e.code + e.current);
      j.setValue("CodigoContaContabil", e.code);
      j.setValue("CodigoContaCorrente", e.current);
      j.setValue("CodigoHistorico", "0001");
      j.setValue("TipoDeLancamento", e.dc);
      j.setValue("ValorLancamento", e.value);
      j.setValue("Situacao", "N");
      j.setValue("DataDaContabilizacao", date);
      j.setValue("NumeroDocumento", doc);
      j.post();
    }
    return doc;
  }

  // Inserts a document's rows as "&Gravar" writes them, straight into the journal: for the
  // batch, whose saving is not what is measured.
  QString insert(const QDate& date, const QVector<Entry>& entries) {
    const QString doc = QStringLiteral("%1").arg(next_++, 5, 10, QChar('0'));
    for (const Entry& e : entries)
      db().exec("INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
                "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, ValorLancamento, "
                "NumeroDocumento, Situacao, CodCtaConCodCtaCor) VALUES (?, ?, '0001', ?, ?, ?, "
                "?, ?, 'N', ?)",
                {year_ + e.code + e.current.leftJustified(14, ' ') + date.toString("MMdd"),
                 date.toString(Qt::ISODate), e.code, e.current, e.dc, e.value, doc,
                 e.code + e.current});
    return doc;
  }

  // Processes the documents in one call: milliseconds of wall time.
  double process(const QStringList& docs) {
    QElapsedTimer t;
    t.start();
    NoProgress quiet;
    const ProcessingResult r = DocumentProcessing(db(), year_).run(docs, quiet);
    const double ms = t.nsecsElapsed() / 1e6;
    if (!r.isDone()) {
      std::fprintf(stderr, "não processado: %s %s\n", qPrintable(r.refusals[0].document),
                   qPrintable(r.refusals[0].text));
      std::exit(1);
    }
    return ms;
  }

private:
  SilentUi ui_; // the data module's; nothing is asked
  TDEscrivon dm_;
  QString year_;
  int next_ = 1;
};

struct Figures {
  double median, worst, perSecond, cpuPerDoc;
};

// `count` 2-entry documents on pairs chosen by `pick`, each processed right after it is saved.
template <typename Pick> Figures run(Bench& b, int count, Pick pick, std::mt19937& rng) {
  std::vector<double> times;
  double total = 0, cpu = 0;
  for (int i = 0; i < count; ++i) {
    const auto [debit, credit] = pick();
    const double v = (1 + rng() % 1000000) / 100.0;
    const QDate date = QDate(2004, 1, 1).addDays(rng() % 366);
    const QString doc =
        b.save(date, {{debit.first, debit.second, "D", v}, {credit.first, credit.second, "C", v}});
    const std::clock_t c0 = std::clock();
    const double ms = b.process({doc});
    cpu += 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC;
    times.push_back(ms);
    total += ms;
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.back(), 1000.0 * count / total, cpu / count};
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const int pairs = args.value(1, "2000").toInt();
  const int entries = args.value(2, "100000").toInt();
  const int count = qEnvironmentVariableIntValue("BENCH_DOCUMENTS") > 0
                        ? qEnvironmentVariableIntValue("BENCH_DOCUMENTS")
                        : 1000;
  QTemporaryDir temp;
  const QString kept = args.value(3, temp.filePath("book"));

  // Four entries a document on average.
  if (!QFileInfo::exists(QDir(kept).filePath("LANCAMEN.db"))) {
    GeneratedBookOptions g;
    g.init.directory = kept;
    g.init.year = 2004;
    g.documents = std::max(1, entries / 4);
    g.accounts = pairs;
    g.seed = 1;
    g.progress = [](int done, int total) {
      std::fprintf(stderr, "\rgerando: %d de %d documentos", done, total);
      if (done == total) std::fprintf(stderr, "\n");
    };
    QElapsedTimer t;
    t.start();
    const GeneratedBook book = createGeneratedBook(g);
    std::printf("livro gerado: %d pares, %d documentos, %d lançamentos em %.1f s\n",
                book.analyticPairs, book.documents, book.entries, t.elapsed() / 1000.0);
  }
  // Processing changes the book: work on a copy so a kept book can be used again.
  const QString dir = temp.filePath("work");
  QDir().mkpath(dir);
  for (const QFileInfo& f : QDir(kept).entryInfoList({"*.db"}, QDir::Files))
    QFile::copy(f.filePath(), QDir(dir).filePath(f.fileName()));

  Bench b(dir, "2004");
  QVector<std::pair<QString, QString>> analytic;
  for (const QVariantList& r :
       b.db().select("SELECT CodigoContaContabil, CodigoContaCorrente FROM contas WHERE "
                     "NivelDaConta = '6' AND substr(CodigoContaContabil, 2, 1) BETWEEN '5' "
                     "AND '8'"))
    analytic.push_back({r[0].toString(), r[1].toString()});
  std::printf("livro: %d pares analíticos gerados, %lld lançamentos\n", int(analytic.size()),
              b.db().selectValue("SELECT COUNT(*) FROM lancamen").toLongLong());
  std::mt19937 rng(7);
  auto anyPair = [&] { return analytic[rng() % analytic.size()]; };

  const Figures f = run(
      b, 1000, [&] { return std::make_pair(anyPair(), anyPair()); }, rng);
  std::printf("documento de 2 lançamentos: mediana %.2f ms, pior %.2f ms, %.0f documentos/s "
              "(processador %.2f ms por documento)\n",
              f.median, f.worst, f.perSecond, f.cpuPerDoc);

  b.setSynchronous(false);
  const Figures n = run(
      b, count, [&] { return std::make_pair(anyPair(), anyPair()); }, rng);
  std::printf("sem esperar o disco (só para comparar): mediana %.2f ms, pior %.2f ms, %.0f "
              "documentos/s\n",
              n.median, n.worst, n.perSecond);
  b.setSynchronous(true);

  // A batch of documents of 2 to 6 entries on any pairs, dated across the year, processed in
  // one call.
  const int batch = qEnvironmentVariableIntValue("BENCH_BATCH") > 0
                        ? qEnvironmentVariableIntValue("BENCH_BATCH")
                        : 2000;
  QStringList docs;
  int batchEntries = 0;
  {
    Transaction tx(b.db());
    for (int i = 0; i < batch; ++i) {
      const int k = 2 + rng() % 5;
      const int debits = 1 + rng() % (k - 1);
      const double v = (1 + rng() % 1000000) / 100.0;
      QVector<Entry> entries;
      // Every debit of the same amount, the credits sharing their total to the cent.
      for (int d = 0; d < debits; ++d) {
        const auto p = anyPair();
        entries.push_back({p.first, p.second, "D", v});
      }
      const qint64 total = qint64(std::llround(v * 100)) * debits;
      qint64 left = total;
      for (int c = 0; c < k - debits; ++c) {
        const auto p = anyPair();
        const qint64 cents = c + 1 == k - debits ? left : total / (k - debits);
        left -= cents;
        entries.push_back({p.first, p.second, "C", cents / 100.0});
      }
      docs << b.insert(QDate(2004, 1, 1).addDays(rng() % 366), entries);
      batchEntries += k;
    }
    tx.commit();
  }
  const std::clock_t c0 = std::clock();
  const double batchMs = b.process(docs);
  std::printf("lote de %d documentos de 2 a 6 lançamentos (%d lançamentos) numa chamada: %.0f ms, "
              "%.0f documentos/s (processador %.0f ms)\n",
              batch, batchEntries, batchMs, 1000.0 * batch / batchMs,
              1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);

  // One pair with 10 000 entries in the year, spread over the months.
  const auto big = analytic.first();
  {
    Transaction tx(b.db());
    for (int k = 0; k < 10000; ++k) {
      const QDate date(2004, 1 + k * 12 / 10000, 1 + k % 28);
      b.db().exec(
          "INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
          "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, ValorLancamento, "
          "NumeroDocumento, Situacao, CodCtaConCodCtaCor) VALUES (?, ?, '0001', ?, ?, ?, ?, "
          "'99999', 'N', ?)",
          {"2004" + big.first + big.second.leftJustified(14, ' ') + date.toString("MMdd"),
           date.toString(Qt::ISODate), big.first, big.second, k % 2 ? "C" : "D", 10.0 + k % 97,
           big.first + big.second});
    }
    tx.commit();
  }
  const Figures g = run(
      b, 50, [&] { return std::make_pair(big, anyPair()); }, rng);
  std::printf("documento de 2 lançamentos, um num par de 10 000 lançamentos no ano: mediana "
              "%.2f ms, pior %.2f ms, %.0f documentos/s (processador %.2f ms por documento)\n",
              g.median, g.worst, g.perSecond, g.cpuPerDoc);
  return 0;
}
