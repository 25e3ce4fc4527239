// bench_store [balanco rows] [lancamen rows]: throughput of the table store on a generated
// book in a temporary directory (250 000 trial-balance rows and 100 000 entries by default).
// Prints figures only; it asserts nothing about time.
#include "demobook.h"
#include "store/dataModule.h"
#include "store/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace esc;

namespace {

// Runs `op` `n` times and prints the mean time per call.
double measure(const char* what, int n, const std::function<void(int)>& op) {
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < n; ++i)
    op(i);
  const double ms = t.nsecsElapsed() / 1e6;
  std::printf("  %-58s %10.4f ms/op  %12.0f ops/s\n", what, ms / n, n / (ms / 1000.0));
  return ms / n;
}

QString accountCode(int i) {
  return QString::number(100000 + (i * 7919) % 900000);
}

// The plan SQLite picks for a statement: every navigation step must be a SEARCH.
void explain(Database& db, const QString& sql, int params) {
  QVariantList values;
  for (int i = 0; i < params; ++i)
    values << QString("x");
  QString plan;
  for (const QVariantList& row : db.select("EXPLAIN QUERY PLAN " + sql, values))
    plan += row.last().toString() + "; ";
  std::printf("  %s\n    -> %s\n", qPrintable(sql), qPrintable(plan));
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int balRows = argc > 1 ? std::atoi(argv[1]) : 250000;
  const int lancRows = argc > 2 ? std::atoi(argv[2]) : 100000;
  QTemporaryDir dir;
  InitOptions o;
  o.directory = dir.path();
  o.year = 2004;
  createDataDirectory(o);

  SilentUi ui;
  TDEscrivon dm(ui);
  dm.connectDirectory(dir.path());
  for (Table* t : dm.tables())
    t->open();
  Table& bal = *dm.TbBalanco;
  Table& lanc = *dm.TbLancamen;
  Database& db = dm.database();
  std::printf("bench_store: %d TbBalanco rows, %d TbLancamen rows in %s\n", balRows, lancRows,
              qPrintable(dir.path()));

  // ---- bulk insert through the cursor, one transaction
  std::printf("insert\n");
  bal.disableControls();
  QElapsedTimer t;
  t.start();
  {
    Transaction tx(db);
    for (int i = 0; i < balRows; ++i) {
      const int account = i / 12, month = i % 12 + 1;
      const QString code = accountCode(account / 4);
      const QString current =
          account % 4 == 0 ? "999" : QString::number(account % 4).rightJustified(4, '0');
      const QString period = QString("2004%1").arg(month, 2, 10, QChar('0'));
      bal.insert();
      bal.field("CodigoContaContabil").setValue(code);
      bal.field("CodigoContaCorrente").setValue(current);
      bal.field("Periodo").setValue(period);
      bal.field("CodCtaConCodCtaCor").setValue(period + code + current);
      bal.field("SaldoAtual").setValue(double(i));
      bal.field("NaturezaDaConta").setValue("D");
      bal.field("NivelDaConta").setValue(i % 5 == 0 ? "5" : "6");
      bal.post();
    }
    tx.commit();
  }
  double ms = t.nsecsElapsed() / 1e6;
  std::printf("  %-58s %10.0f ms total %10.0f rows/s\n", "TbBalanco bulk insert (one transaction)",
              ms, balRows / (ms / 1000));
  t.restart();
  {
    Transaction tx(db);
    for (int i = 0; i < lancRows; ++i) {
      const QString code = accountCode(i % 5000);
      const int month = i % 12 + 1, day = i % 28 + 1;
      lanc.insert();
      lanc.field("AnoContasMesDia")
          .setValue("2004" + code + QString("999").leftJustified(14) +
                    QString("%1%2").arg(month, 2, 10, QChar('0')).arg(day, 2, 10, QChar('0')));
      lanc.field("DataDaContabilizacao").setValue(QDate(2004, month, day));
      lanc.field("CodigoHistorico").setValue("0001");
      lanc.field("CodigoContaContabil").setValue(code);
      lanc.field("CodigoContaCorrente").setValue("999");
      lanc.field("TipoDeLancamento").setValue(i % 2 ? "C" : "D");
      lanc.field("ValorLancamento").setValue(10.0 + i);
      lanc.field("NumeroDocumento").setValue(QString::number(i / 4 + 1).rightJustified(5, '0'));
      lanc.field("CodCtaConCodCtaCor").setValue(code + "999");
      lanc.post();
    }
    tx.commit();
  }
  ms = t.nsecsElapsed() / 1e6;
  std::printf("  %-58s %10.0f ms total %10.0f rows/s\n", "TbLancamen bulk insert (one transaction)",
              ms, lancRows / (ms / 1000));
  bal.enableControls();

  t.restart();
  {
    Transaction tx(db);
    for (int i = 0; i < 10000; ++i) {
      lanc.insert();
      lanc.field("AnoContasMesDia").setValue("2005100000999           0101");
      lanc.field("DataDaContabilizacao").setValue(QDate(2005, 1, 1));
      lanc.field("CodigoHistorico").setValue("0001");
      lanc.field("CodigoContaContabil").setValue("100000");
      lanc.field("CodigoContaCorrente").setValue("999");
      lanc.field("TipoDeLancamento").setValue("D");
      lanc.field("ValorLancamento").setValue(1.0);
      lanc.field("NumeroDocumento").setValue("99999");
      lanc.post();
    }
    tx.commit();
  }
  std::printf("  %-58s %10.0f ms\n", "10 000 TbLancamen posts inside one Transaction",
              t.nsecsElapsed() / 1e6);

  measure("single post, each committed at once (TbBalanco edit)", 50, [&](int i) {
    bal.edit();
    bal.field("ValorDebito").setValue(double(i));
    bal.post();
  });

  // ---- navigation
  std::printf("navigation (per step)\n");
  for (const QString order : {"", "SI_CodCtaCor", "SI_CodCtaCon"}) {
    bal.setOrder(order);
    bal.first();
    int n = 0;
    t.restart();
    while (!bal.eof()) {
      bal.next();
      ++n;
    }
    ms = t.nsecsElapsed() / 1e6;
    std::printf("  %-58s %10.4f ms/op  (%d steps)\n",
                qPrintable("TbBalanco next, order '" + order + "'"), ms / n, n);
    t.restart();
    n = 0;
    while (!bal.bof()) {
      bal.prior();
      ++n;
    }
    ms = t.nsecsElapsed() / 1e6;
    std::printf("  %-58s %10.4f ms/op  (%d steps)\n",
                qPrintable("TbBalanco prior, order '" + order + "'"), ms / n, n);
  }
  lanc.setOrder("SI_AnoContasMesDia");
  lanc.first();
  measure("TbLancamen next, SI_AnoContasMesDia", 20000, [&](int) { lanc.next(); });
  measure("TbLancamen moveBy(+-50), SI_AnoContasMesDia", 2000,
          [&](int i) { lanc.moveBy(i % 2 ? -50 : 50); });

  // ---- finds and record numbers
  std::printf("find and position\n");
  bal.setOrder("");
  measure("TbBalanco findKey, primary", 2000, [&](int i) {
    const int account = (i * 104729) % (balRows / 12);
    const QString code = accountCode(account / 4);
    const QString current =
        account % 4 == 0 ? "999" : QString::number(account % 4).rightJustified(4, '0');
    bal.findKey({QString("2004%1").arg(i % 12 + 1, 2, 10, QChar('0')) + code + current});
  });
  bal.setOrder("SI_CodCtaCon");
  measure("TbBalanco findKey, SI_CodCtaCon (case-ignoring)", 2000,
          [&](int i) { bal.findKey({accountCode(i % 5000)}); });
  measure("TbBalanco findNearest, SI_CodCtaCon", 2000,
          [&](int i) { bal.findNearest(QString::number(100 + i % 900)); });
  measure("TbBalanco recNo after findKey (a count), SI_CodCtaCon", 200, [&](int i) {
    bal.findKey({accountCode((i * 37) % 5000)});
    (void)bal.recNo();
  });
  bal.first();
  measure("TbBalanco recNo while stepping (kept, no count)", 20000, [&](int) {
    bal.next();
    (void)bal.recNo();
  });
  measure("TbBalanco recNo at the end (a count of every row)", 20, [&](int) {
    bal.last();
    bal.prior();
    (void)bal.recNo();
  });

  // ---- under a filter
  std::printf("under a filter\n");
  bal.setOrder("");
  bal.setFilter("Periodo>='200403' and Periodo<='200405'");
  bal.setFiltered(true);
  measure("TbBalanco recordCount, Periodo filter (counted after a post)", 20, [&](int i) {
    bal.edit();
    bal.field("ValorCredito").setValue(double(i));
    bal.post();
    (void)bal.recordCount();
  });
  measure("TbBalanco next, Periodo filter, primary", 20000, [&](int) { bal.next(); });
  measure("TbBalanco recNo after findKey, Periodo filter", 200, [&](int i) {
    bal.findKey({QString("2004%1").arg(i % 3 + 3, 2, 10, QChar('0')) +
                 accountCode((i * 37) % 5000) + "999"});
    (void)bal.recNo();
  });
  // The trial balance's period restriction, as the period operations and the trial-balance
  // search use it: a count of one period's rows and a walk through them in key order.
  measure("TbBalanco count of one period (filter Periodo=)", 200, [&](int i) {
    bal.setFilter(QString("Periodo=2004%1").arg(i % 12 + 1, 2, 10, QChar('0')));
    (void)bal.recordCount();
  });
  bal.setFilter("Periodo=200406");
  bal.first();
  measure("TbBalanco next, filter Periodo=, primary", 20000, [&](int) {
    bal.next();
    if (bal.eof()) bal.first();
  });
  measure("set-based count of one period (Database::selectValue)", 200, [&](int i) {
    (void)db.selectValue("SELECT count(*) FROM balanco WHERE Periodo = ?",
                         {QString("2004%1").arg(i % 12 + 1, 2, 10, QChar('0'))});
  });
  measure("set-based sum of one period, walked (Database::query)", 20, [&](int i) {
    Statement st = db.query("SELECT SaldoAtual FROM balanco WHERE Periodo = ? ORDER BY "
                            "CodCtaConCodCtaCor",
                            {QString("2004%1").arg(i % 12 + 1, 2, 10, QChar('0'))});
    double sum = 0;
    while (st.step())
      sum += st.real(0);
    (void)sum;
  });
  bal.setFilter("NivelDaConta='5'");
  bal.setOrder("SI_CodCtaCor");
  bal.first();
  measure("TbBalanco next, NivelDaConta filter, SI_CodCtaCor", 20000, [&](int) { bal.next(); });
  bal.setFiltered(false);
  lanc.setFilter("NumeroDocumento='12345'");
  lanc.setFiltered(true);
  measure("TbLancamen count of one document (filter)", 20, [&](int i) {
    lanc.setFilter(QString("NumeroDocumento='%1'").arg(1000 + i, 5, 10, QChar('0')));
    (void)lanc.recordCount();
  });
  measure("TbLancamen next within one document, SI_AnoContasMesDia", 2000, [&](int) {
    lanc.next();
    if (lanc.eof()) lanc.first();
  });
  lanc.setFiltered(false);

  std::printf("  statements kept idle in the connection's cache: %d\n", db.cachedStatements());
  std::printf("query plans\n");
  explain(db, "SELECT count(*) FROM balanco WHERE (\"Periodo\" = ?)", 1);
  explain(db,
          "SELECT rowid FROM balanco WHERE (\"Periodo\" = ?) AND \"CodCtaConCodCtaCor\" > ? "
          "ORDER BY \"CodCtaConCodCtaCor\", rowid LIMIT 1 OFFSET 0",
          2);
  explain(db,
          "SELECT rowid FROM balanco WHERE \"CodigoContaCorrente\" COLLATE ESCI = ? AND rowid > ? "
          "ORDER BY \"CodigoContaCorrente\" COLLATE ESCI, rowid LIMIT 1",
          2);
  explain(db,
          "SELECT rowid FROM balanco WHERE \"CodigoContaCorrente\" COLLATE ESCI > ? ORDER BY "
          "\"CodigoContaCorrente\" COLLATE ESCI, rowid LIMIT 1",
          1);
  explain(db,
          "SELECT rowid FROM balanco WHERE \"CodigoContaContabil\" COLLATE ESCI = ? AND "
          "\"CodigoContaCorrente\" COLLATE ESCI < ? ORDER BY \"CodigoContaContabil\" COLLATE ESCI "
          "DESC, \"CodigoContaCorrente\" COLLATE ESCI DESC, rowid DESC LIMIT 1",
          2);
  explain(db,
          "SELECT rowid FROM lancamen WHERE \"AnoContasMesDia\" COLLATE ESCI = ? AND "
          "\"NumeroDocumento\" COLLATE ESCI = ? AND rowid > ? ORDER BY \"AnoContasMesDia\" COLLATE "
          "ESCI, \"NumeroDocumento\" COLLATE ESCI, rowid LIMIT 1",
          3);
  explain(db,
          "SELECT rowid FROM balanco WHERE (\"CodigoContaCorrente\" COLLATE ESCI, rowid) > (?, ?) "
          "ORDER BY \"CodigoContaCorrente\" COLLATE ESCI, rowid LIMIT 1",
          2);
  return 0;
}
