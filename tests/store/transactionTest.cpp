// Transactions: a rollback leaves tables and cursors as before; a killed process leaves all
// of a transaction or none of it.
#include "storeTestHelpers.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <csignal>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace esc;
using namespace esc::test;

TEST(StoreTransaction, RollbackLeavesTablesAndCursorsAsBefore) {
  OpenBook book;
  auto& dm = *book.dm;
  Database& db = dm.database();
  dm.TbBalanco->setOrder("SI_CodCtaCor");
  dm.TbBalanco->moveBy(100);
  dm.TbHistoric->findKey({"0005"});
  const QString balKey = dm.TbBalanco->field("CodCtaConCodCtaCor").asString();
  const int balRecNo = dm.TbBalanco->recNo();
  const double balSum = db.selectValue("SELECT total(SaldoAtual) FROM balanco").toDouble();
  const int histCount = dm.TbHistoric->recordCount();
  // A record typed before the operation began.
  Table& contas = *dm.TbContas;
  contas.insert();
  contas.field("CodigoContaContabil").setValue("411117");
  contas.field("NomeContaContabil").setValue("SEGUROS");
  contas.field("CodigoContaCorrente").setValue("999");
  contas.field("TipoDeSaldo").setValue("D");
  contas.field("NivelDaConta").setValue("6");
  const int contasCount = contas.recordCount();

  try {
    Transaction tx(db);
    contas.post();
    for (int i = 0; i < 12; ++i) {
      dm.TbBalanco->insert();
      dm.TbBalanco->field("CodCtaConCodCtaCor")
          .setValue(QString("2004%1411117999").arg(i + 1, 2, 10, QChar('0')));
      dm.TbBalanco->post();
    }
    db.exec("UPDATE balanco SET SaldoAtual = 1");
    dm.TbHistoric->remove();
    EXPECT_EQ(dm.TbHistoric->recordCount(), histCount - 1);
    throw std::runtime_error("falha no meio");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(db.transactionDepth(), 0);
  EXPECT_DOUBLE_EQ(db.selectValue("SELECT total(SaldoAtual) FROM balanco").toDouble(), balSum);
  EXPECT_EQ(dm.TbBalanco->recordCount(), 672);
  EXPECT_EQ(dm.TbBalanco->field("CodCtaConCodCtaCor").asString(), balKey);
  EXPECT_EQ(dm.TbBalanco->recNo(), balRecNo);
  EXPECT_EQ(dm.TbBalanco->state(), Table::State::Browse);
  EXPECT_EQ(dm.TbHistoric->recordCount(), histCount);
  EXPECT_EQ(dm.TbHistoric->field("CodigoHistorico").asString(), "0005");
  // The account is not saved and is back in insert state with what was typed.
  EXPECT_EQ(contas.recordCount(), contasCount);
  EXPECT_EQ(contas.state(), Table::State::Insert);
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "SEGUROS");
  contas.field("CodCtaConCodCtaCor").setValue("411117999");
  contas.post();
  EXPECT_EQ(contas.recordCount(), contasCount + 1);
}

TEST(StoreTransaction, AFailedPostInsideATransactionKeepsTheRecordAsTyped) {
  OpenBook book;
  auto& dm = *book.dm;
  Table& hist = *dm.TbHistoric;
  hist.insert();
  hist.field("CodigoHistorico").setValue("0001");
  hist.field("NomeHistorico").setValue("DUPLICADO");
  try {
    Transaction tx(dm.database());
    hist.post();
    tx.commit();
  } catch (const StoreError& e) {
    EXPECT_TRUE(e.silent());
  }
  EXPECT_EQ(hist.state(), Table::State::Insert);
  EXPECT_EQ(hist.field("NomeHistorico").asString(), "DUPLICADO");
  EXPECT_EQ(book.ui.texts("error").size(), 1);
}

TEST(StoreTransaction, ARollbackPutsBackTheOrderAndFilterTheOperationChose) {
  OpenBook book;
  auto& dm = *book.dm;
  Table& lanc = *dm.TbLancamen;
  lanc.setFilter("NumeroDocumento='00001'");
  lanc.setFiltered(true);
  const int count = lanc.recordCount();
  lanc.last();
  const QVariant row = lanc.field("Ordem").value();
  Table& bal = *dm.TbBalanco;
  try {
    Transaction tx(dm.database());
    lanc.setFiltered(false);
    lanc.setOrder("SI_CodigoHistorico");
    bal.setFilter("Periodo=200412");
    bal.setFiltered(true);
    bal.setOrder("SI_CodCtaCor");
    throw std::runtime_error("falha");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(lanc.order(), "SI_AnoContasMesDia");
  EXPECT_TRUE(lanc.filtered());
  EXPECT_EQ(lanc.filter(), "NumeroDocumento='00001'");
  EXPECT_EQ(lanc.recordCount(), count);
  EXPECT_EQ(lanc.field("Ordem").value(), row);
  EXPECT_EQ(lanc.recNo(), count);
  lanc.next();
  EXPECT_TRUE(lanc.eof());
  EXPECT_EQ(bal.order(), "");
  EXPECT_FALSE(bal.filtered());
  EXPECT_EQ(bal.filter(), "");
  EXPECT_EQ(bal.recordCount(), 672);

  // A committed operation keeps what it chose.
  {
    Transaction tx(dm.database());
    bal.setOrder("SI_CodCtaCor");
    tx.commit();
  }
  EXPECT_EQ(bal.order(), "SI_CodCtaCor");
}

// ---------------------------------------------------------------- crash

namespace {

constexpr int entriesPerRun = 400;

// The child's part: one transaction of many posts over two table files, then exit. It
// writes 'B' to `fd` when the transaction has begun and 'C' when SQLite starts the COMMIT.
[[noreturn]] void writerChild(const QString& dir, int run, int fd) {
  Database db;
  db.openDirectory(dir);
  Table lanc(db, tableDef("TbLancamen"));
  lanc.open();
  QStringList cols;
  for (const FieldDef& f : tableDef("TbBalanco").fields)
    cols << f.name;
  db.attach("f_balanco", "BALANCO.db", "balanco", cols);
  sqlite3_commit_hook(
      db.handle(),
      [](void* p) {
        const char c = 'C';
        (void)!write(*static_cast<int*>(p), &c, 1);
        return 0;
      },
      &fd);
  {
    Transaction tx(db);
    const char b = 'B';
    (void)!write(fd, &b, 1);
    for (int i = 0; i < entriesPerRun; ++i) {
      lanc.insert();
      lanc.field("AnoContasMesDia")
          .setValue("2004111111999           01" +
                    QString::number(i % 28 + 1).rightJustified(2, '0'));
      lanc.field("DataDaContabilizacao").setValue(QDate(2004, 1, i % 28 + 1));
      lanc.field("CodigoHistorico").setValue("0001");
      lanc.field("CodigoContaContabil").setValue("111111");
      lanc.field("CodigoContaCorrente").setValue("999");
      lanc.field("TipoDeLancamento").setValue("D");
      lanc.field("ValorLancamento").setValue(1.0);
      lanc.field("NumeroDocumento").setValue(QString::number(90000 + run));
      lanc.post();
      db.exec("UPDATE balanco SET ValorDebito = ValorDebito + 1 WHERE rowid = ?", {i % 672 + 1});
    }
    tx.commit();
  }
  _exit(0);
}

struct Writer {
  pid_t pid;
  int fd;
};

Writer startWriter(const QString& dir, int run) {
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    writerChild(dir, run, fds[1]);
  }
  close(fds[1]);
  return {pid, fds[0]};
}

char awaitMark(int fd) {
  char c = 0;
  return read(fd, &c, 1) == 1 ? c : 0;
}

} // namespace

TEST(StoreCrash, AKilledTransactionIsWholeOrAbsentOnReopening) {
  TempBook book;
  const QString dir = book.path();
  // One undisturbed run measures how long the posts and the commit take.
  QElapsedTimer clock;
  Writer first = startWriter(dir, 0);
  ASSERT_EQ(awaitMark(first.fd), 'B');
  clock.start();
  ASSERT_EQ(awaitMark(first.fd), 'C');
  const qint64 postsUs = clock.nsecsElapsed() / 1000;
  int status = 0;
  waitpid(first.pid, &status, 0);
  const qint64 commitUs = clock.nsecsElapsed() / 1000 - postsUs;
  close(first.fd);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  int committed = 1, killedMidway = 0, killedInCommit = 0;
  auto* rng = QRandomGenerator::global();
  for (int run = 1; run <= 24; ++run) {
    Writer w = startWriter(dir, run);
    ASSERT_EQ(awaitMark(w.fd), 'B');
    if (run % 3 != 0) {
      usleep(static_cast<useconds_t>(rng->bounded(static_cast<quint64>(postsUs + 1))));
      ++killedMidway;
    } else {
      // Within the commit (or just after it): SQLite has begun writing the files.
      if (awaitMark(w.fd) == 'C')
        usleep(static_cast<useconds_t>(rng->bounded(static_cast<quint64>(commitUs * 3 / 2 + 1))));
      ++killedInCommit;
    }
    kill(w.pid, SIGKILL);
    waitpid(w.pid, &status, 0);
    close(w.fd);
    const bool finished = WIFEXITED(status);

    // Reopening rolls back what a hot journal left, across both files.
    Database db;
    db.openDirectory(dir);
    Table lanc(db, tableDef("TbLancamen"));
    lanc.open();
    Table bal(db, tableDef("TbBalanco"));
    bal.open();
    const qint64 mine = db.selectValue("SELECT count(*) FROM lancamen WHERE NumeroDocumento = ?",
                                       {QString::number(90000 + run)})
                            .toLongLong();
    ASSERT_TRUE(mine == 0 || mine == entriesPerRun) << "run " << run << ": " << mine;
    if (mine) ++committed;
    if (finished) {
      EXPECT_EQ(mine, entriesPerRun);
    }
    EXPECT_EQ(db.selectValue("SELECT total(ValorDebito) FROM balanco").toDouble(),
              double(committed) * entriesPerRun)
        << "run " << run;
    EXPECT_EQ(db.selectValue("SELECT count(*) FROM lancamen WHERE NumeroDocumento >= '90000'")
                  .toLongLong(),
              qint64(committed) * entriesPerRun);
    EXPECT_EQ(db.selectValue("PRAGMA f_lancamen.integrity_check"), QVariant("ok"));
  }
  RecordProperty("committed", committed);
  std::printf("crash runs: %d killed among the posts, %d in the commit (%lld us), %d committed\n",
              killedMidway, killedInCommit, static_cast<long long>(commitUs), committed - 1);
}
