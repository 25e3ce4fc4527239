// Posting throughput on a generated book: one account pair with many entries in the year among
// many small pairs. Usage: bench_posting [pairs=2000] [entries of the big pair=10000]
#include "demobook.h"
#include "journal/posting.h"
#include "store/userPrompts.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace esc;

namespace {

const QString year = "2003";

QString pairAccount(int i) {
  return QStringLiteral("1%1").arg(i, 5, 10, QChar('0'));
}

qint64 insertEntry(Database& db, const QString& account, int month, int day, const QString& doc,
                   const QString& type, double value) {
  const QString current = "999";
  db.exec("INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
          "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, ValorLancamento, "
          "NumeroDocumento, Situacao, CodCtaConCodCtaCor) VALUES (?, ?, '0001', ?, ?, ?, ?, ?, "
          "'N', ?)",
          {year + account + current.leftJustified(14, ' ') +
               QStringLiteral("%1%2").arg(month, 2, 10, QChar('0')).arg(day, 2, 10, QChar('0')),
           QDate(year.toInt(), month, day).toString(Qt::ISODate), account, current, type, value,
           doc, account + current});
  return db.lastInsertRowId();
}

void generate(Database& db, int pairs, int bigEntries) {
  Transaction tx(db);
  for (int i = 0; i < pairs; ++i) {
    const QString account = pairAccount(i), nature = i % 3 == 0 ? "C" : "D";
    db.exec("INSERT INTO contas VALUES (?, ?, 'CONTA', '999', '', ?, '6')",
            {account + "999", account, nature});
    for (int m = 1; m <= 12; ++m) {
      const QString period = year + QStringLiteral("%1").arg(m, 2, 10, QChar('0'));
      db.exec("INSERT INTO balanco VALUES (?, '999', ?, ?, ?, 1000.0, 0.0, 0.0, 1000.0, ?, ?, "
              "'6')",
              {account, period, period + account + "999", nature, nature, nature});
    }
  }
  // The big pair's entries spread over the year; the others get a few each.
  for (int k = 0; k < bigEntries; ++k)
    insertEntry(db, pairAccount(0), 1 + k * 12 / bigEntries, 1 + k % 28,
                QStringLiteral("%1").arg(k / 4 + 1, 5, 10, QChar('0')), k % 2 ? "C" : "D",
                10.0 + k % 97);
  for (int i = 1; i < pairs; ++i)
    for (int k = 0; k < 5; ++k)
      insertEntry(db, pairAccount(i), 1 + (i + k) % 12, 1 + k, "90000", k % 2 ? "C" : "D", 1.5);
  tx.commit();
}

QVector<qint64> entriesOf(Database& db, const QString& account, int limit) {
  QVector<qint64> ids;
  for (const QVariantList& r :
       db.select("SELECT rowid FROM lancamen WHERE CodigoContaContabil = ? ORDER BY rowid LIMIT ?",
                 {account, limit}))
    ids << r[0].toLongLong();
  return ids;
}

// Wall time of `work`, and in `cpu` the processor time it took: the machine may be shared,
// and the processor time is the steadier figure then.
double milliseconds(const std::function<void()>& work, double* cpu = nullptr) {
  QElapsedTimer t;
  const std::clock_t c0 = std::clock();
  t.start();
  work();
  if (cpu) *cpu = 1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC;
  return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int pairs = argc > 1 ? QString(argv[1]).toInt() : 2000;
  const int bigEntries = argc > 2 ? QString(argv[2]).toInt() : 10000;
  QTemporaryDir dir;
  InitOptions options;
  options.directory = dir.path();
  options.year = year.toInt();
  createDataDirectory(options);
  SilentUi ui;
  TDEscrivon dm(ui);
  dm.connectDirectory(dir.path());
  Database& db = dm.database();
  for (Table* t : dm.tables())
    t->open();
  dm.TbLancamen->setOrder("SI_AnoContasMesDia");
  const double genMs = milliseconds([&] { generate(db, pairs, bigEntries); });
  std::printf("book: %d pairs, %d trial-balance rows, %d entries (big pair %d), made in %.0f ms\n",
              pairs, pairs * 12, db.selectValue("SELECT count(*) FROM lancamen").toInt(),
              bigEntries, genMs);

  PostingRule rule(dm);
  auto postEntry = [&](qint64 id) {
    dm.TbLancamen->gotoBookmark({id});
    if (!rule.post(PostingInput::fromEntry(*dm.TbLancamen, year)).done()) std::abort();
  };
  const QVector<qint64> big = entriesOf(db, pairAccount(0), 1001);
  const double cold = milliseconds([&] { postEntry(big[0]); });
  const double warm = milliseconds([&] { postEntry(big[1]); });
  std::printf("one posting, big pair: %.2f ms writing every running balance, %.2f ms when they "
              "hold already\n",
              cold, warm);

  auto loop = [&](const char* what, const std::function<void(int)>& postOne) {
    double cpu = 0;
    const double ms = milliseconds(
        [&] {
          Transaction tx(db);
          for (int i = 0; i < 1000; ++i)
            postOne(i);
          tx.commit();
        },
        &cpu);
    std::printf("1000 postings in one transaction, %s:\n  %.0f ms, %.2f ms each, %.0f entries/s "
                "(processor time %.2f ms each, %.0f entries/s)\n",
                what, ms, ms / 1000, 1000 / (ms / 1000), cpu / 1000, 1000 / (cpu / 1000));
  };
  loop("big pair", [&](int i) { postEntry(big[i + 1]); });
  loop("big pair, each a new January entry (all later balances move)", [&](int i) {
    postEntry(insertEntry(db, pairAccount(0), 1, 1, "99999", i % 2 ? "C" : "D", 3.25));
  });
  QVector<qint64> small;
  for (const QVariantList& r : db.select("SELECT min(rowid) FROM lancamen WHERE "
                                         "CodigoContaContabil <> ? GROUP BY CodigoContaContabil",
                                         {pairAccount(0)}))
    small << r[0].toLongLong();
  if (small.isEmpty()) return 0;
  while (small.size() < 1000)
    small += small;
  loop("one entry each of the small pairs", [&](int i) { postEntry(small[i]); });
  return 0;
}
