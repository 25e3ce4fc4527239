// The connection: statements that belong to their user, one statement per call, reads that
// cannot write, and transactions that SQLite itself ends under their caller.
#include "storeTestHelpers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

TEST(StoreDatabase, AStatementInUseBelongsToItsUserAndOutlivesATableClose) {
  OpenBook book;
  Database& db = book.dm->database();
  // The same query inside a loop over it: the outer walk must not restart.
  const QString sql = "SELECT Exercicio FROM fechamen WHERE Exercicio >= ? ORDER BY Exercicio";
  book.dm->TbFechamen->insert();
  book.dm->TbFechamen->field("Exercicio").setValue("2005");
  book.dm->TbFechamen->post();
  Statement outer = db.query(sql, {"0000"});
  QStringList seen;
  int inner = 0;
  while (outer.step()) {
    seen << outer.text(0);
    Statement again = db.query(sql, {outer.text(0)});
    while (again.step())
      ++inner;
  }
  EXPECT_EQ(seen, QStringList({"2004", "2005"}));
  EXPECT_EQ(inner, 3);
  // Rerun after reset, with the values bound before.
  outer.reset();
  ASSERT_TRUE(outer.step());
  EXPECT_EQ(outer.text(0), "2004");

  // A statement held across the close of its table's file is not freed under its holder:
  // its next step is an error, and destroying it afterwards is safe.
  Statement held = db.query("SELECT NomeHistorico FROM historic ORDER BY CodigoHistorico");
  book.dm->TbHistoric->close();
  EXPECT_FALSE(storeErrorOf([&] { held.step(); }).isEmpty());
  book.dm->TbHistoric->open();
  held.reset();
  EXPECT_TRUE(held.step());
}

TEST(StoreDatabase, OneStatementPerCallAndQueriesThatOnlyRead) {
  OpenBook book;
  Database& db = book.dm->database();
  const qint64 years = db.selectValue("SELECT count(*) FROM fechamen").toLongLong();
  // Text after the first statement is refused, and nothing of it runs.
  EXPECT_TRUE(storeErrorOf([&] {
                db.exec("UPDATE fechamen SET Situacao = 'F'; DELETE FROM fechamen");
              }).contains("DELETE FROM fechamen"));
  EXPECT_FALSE(storeErrorOf([&] {
                 db.select("SELECT 1; INSERT INTO fechamen VALUES ('2099', '')");
               }).isEmpty());
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM fechamen WHERE Situacao = 'F'"),
            QVariant(qint64(0)));
  // A trailing semicolon, blanks or a comment are not a second statement.
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM fechamen; -- todos\n "), QVariant(years));
  // The read calls refuse a write.
  for (const auto& read : std::vector<std::function<void()>>{
           [&] { db.select("DELETE FROM fechamen"); },
           [&] { db.selectValue("INSERT INTO fechamen VALUES ('2099', '')"); },
           [&] { db.query("UPDATE fechamen SET Situacao = 'F'"); }})
    EXPECT_TRUE(storeErrorOf(read).contains("only read"));
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM fechamen"), QVariant(years));
  EXPECT_EQ(db.exec("UPDATE fechamen SET Situacao = 'F'"), years);
}

TEST(StoreDatabase, DropTableAndDropIndexDoWhatTheySayWhileDeletesStillCountRows) {
  OpenBook book;
  Database& db = book.dm->database();
  Table& fech = *book.dm->TbFechamen;
  db.exec("CREATE TEMP TABLE scratch (x)");
  db.exec("CREATE INDEX temp.scratch_x ON scratch (x)");
  db.exec("INSERT INTO scratch VALUES (1)");
  db.exec("DROP INDEX temp.scratch_x");
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM temp.sqlite_master WHERE name = 'scratch_x'"),
            QVariant(qint64(0)));
  db.exec("DROP TABLE temp.scratch");
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM temp.sqlite_master WHERE name = 'scratch'"),
            QVariant(qint64(0)));
  // A DELETE without WHERE still goes row by row, so the cursor sees the table empty.
  EXPECT_EQ(fech.recordCount(), 1);
  db.exec("DELETE FROM fechamen");
  EXPECT_EQ(fech.recordCount(), 0);
}

TEST(StoreDatabase, MovingByManyRowsKeepsTheStatementCacheSmall) {
  OpenBook book;
  Table& bal = *book.dm->TbBalanco;
  Database& db = book.dm->database();
  bal.first();
  for (int n = 2; n < 300; ++n) {
    bal.moveBy(n % 2 ? -n : n);
    bal.moveBy(n % 2 ? n : -n);
  }
  EXPECT_LT(db.cachedStatements(), 60);
}

TEST(StoreDatabase, ATransactionSQLiteAbortedRefusesEveryLaterWriteAndTheCursorsReRead) {
  OpenBook book;
  auto& dm = *book.dm;
  Database& db = dm.database();
  Table& fech = *dm.TbFechamen;
  Table& hist = *dm.TbHistoric;
  const qint64 entries = db.selectValue("SELECT count(*) FROM lancamen").toLongLong();
  const int histCount = hist.recordCount();
  // A file that cannot grow: the disk is full for it.
  const int pages = db.selectValue("PRAGMA f_historic.page_count").toInt();
  db.exec(QStringLiteral("PRAGMA f_historic.max_page_count = %1").arg(pages));
  {
    Transaction tx(db);
    fech.insert();
    fech.field("Exercicio").setValue("2005");
    fech.post();
    hist.last();
    QString full;
    for (int i = 0; i < 2000 && full.isEmpty(); ++i)
      full = storeErrorOf([&] {
        db.exec("INSERT INTO historic VALUES (?, ?)",
                {QString::number(5000 + i), QString(40, QChar('X'))});
      });
    ASSERT_FALSE(full.isEmpty());
    ASSERT_TRUE(db.transactionAborted()) << full.toStdString();
    // A caller that catches the error and goes on must not write rows that commit alone.
    EXPECT_FALSE(storeErrorOf([&] { db.exec("UPDATE lancamen SET Situacao = 'X'"); }).isEmpty());
    fech.insert();
    fech.field("Exercicio").setValue("2006");
    EXPECT_THROW(fech.post(), StoreError);
    fech.cancel();
    EXPECT_THROW(Transaction inner(db), StoreError);
    // The cursors already show the book as the transaction found it.
    EXPECT_EQ(fech.recordCount(), 1);
    EXPECT_EQ(hist.recordCount(), histCount);
    EXPECT_EQ(hist.recNo(), 1);
    EXPECT_THROW(tx.commit(), StoreError);
  }
  EXPECT_FALSE(db.transactionAborted());
  EXPECT_EQ(db.transactionDepth(), 0);
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM fechamen"), QVariant(qint64(1)));
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM lancamen WHERE Situacao = 'X'"),
            QVariant(qint64(0)));
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM lancamen"), QVariant(entries));
  // The next transaction works as usual.
  Transaction tx(db);
  fech.insert();
  fech.field("Exercicio").setValue("2005");
  fech.post();
  tx.commit();
  EXPECT_EQ(fech.recordCount(), 2);
}

TEST(StoreDatabase, NestedRollbackKeepsTheOuterWorkAndAFailedCommitLeavesNothing) {
  OpenBook book;
  Database& db = book.dm->database();
  Table& fech = *book.dm->TbFechamen;
  {
    Transaction outer(db);
    db.exec("INSERT INTO fechamen VALUES ('2005', '')");
    try {
      Transaction inner(db);
      db.exec("INSERT INTO fechamen VALUES ('2006', '')");
      throw std::runtime_error("falha");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(db.transactionDepth(), 1);
    EXPECT_EQ(fech.recordCount(), 2);
    outer.commit();
  }
  EXPECT_EQ(db.selectValue("SELECT group_concat(Exercicio) FROM fechamen"), QVariant("2004,2005"));

  // A commit refused by a deferred constraint: nothing of the transaction stays.
  db.exec("CREATE TEMP TABLE parent (id PRIMARY KEY)");
  db.exec("CREATE TEMP TABLE child (p REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED)");
  db.exec("PRAGMA foreign_keys = ON");
  {
    Transaction tx(db);
    db.exec("INSERT INTO fechamen VALUES ('2007', '')");
    db.exec("INSERT INTO child VALUES (1)");
    EXPECT_THROW(tx.commit(), StoreError);
  }
  EXPECT_EQ(db.transactionDepth(), 0);
  EXPECT_EQ(fech.recordCount(), 2);
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM child"), QVariant(qint64(0)));
}
