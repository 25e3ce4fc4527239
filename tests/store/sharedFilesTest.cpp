// The book's files shared with other programs: a reader that writes nothing, and a writer
// that meets files held by someone else.
#include "testsupport.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace esc;
using namespace esc::test;

namespace {

// Another program's connection to one table file.
struct OtherProgram {
  explicit OtherProgram(const QString& file) {
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Database::registerCollations(db);
  }
  ~OtherProgram() { sqlite3_close(db); }
  void exec(const char* sql) { ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), 0); }
  sqlite3* db = nullptr;
};

} // namespace

TEST(ReadOnlyBook, ReadsEveryTableAndCreatesOrChangesNothing) {
  TempBook book;
  QDir dir(book.path());
  ASSERT_TRUE(QFile::remove(dir.filePath(Database::anchorFileName)));
  {
    // A file from before the store kept its own index: a writer would add it on opening.
    OtherProgram other(dir.filePath("BALANCO.db"));
    other.exec("DROP INDEX balanco_periodo");
  }
  const QStringList before = fileSnapshot(book.path());
  {
    ScriptedUi ui;
    TDEscrivon dm(ui);
    dm.connectDirectory(book.path(), Database::Access::ReadOnly);
    for (Table* t : dm.tables())
      t->open();
    EXPECT_EQ(dm.TbBalanco->recordCount(), 56 * 12);
    EXPECT_EQ(dm.database().selectValue("SELECT count(*) FROM contas"), QVariant(qint64(56)));
    // A write is refused, with a sentence saying what failed before SQLite's own words.
    EXPECT_TRUE(storeErrorOf([&] {
                  dm.database().exec("UPDATE contas SET NivelDaConta = '6'");
                }).startsWith("Não foi possível gravar os dados: attempt to write a readonly"));
    dm.TbHistoric->edit();
    dm.TbHistoric->setValue("NomeHistorico", "OUTRO");
    EXPECT_THROW(dm.TbHistoric->post(), StoreError);
    dm.TbHistoric->cancel();
  }
  EXPECT_EQ(fileSnapshot(book.path()), before);
}

// Another program reads BALANCO.db past the wait: a commit that writes it and HISTORIC.db is
// refused in the system's words, and neither file keeps any of it.
TEST(BusyFiles, ACommitRefusedByAnotherProgramLeavesNothingHalfDone) {
  OpenBook book;
  Database& db = book.dm->database();
  Table& historic = *book.dm->TbHistoric;
  const int historicRows = historic.recordCount();
  const QVariant balanco = db.selectValue("SELECT total(SaldoAtual) FROM balanco");
  OtherProgram other(QDir(book.path()).filePath("BALANCO.db"));
  other.exec("BEGIN; SELECT count(*) FROM balanco;");
  const QString error = storeErrorOf([&] {
    Transaction tx(db);
    historic.insert();
    historic.setValue("CodigoHistorico", "0099");
    historic.setValue("NomeHistorico", "NOVO");
    historic.post();
    db.exec("UPDATE balanco SET SaldoAtual = SaldoAtual + 1");
    tx.commit();
  });
  EXPECT_EQ(error, "Os dados estão ocupados por outro programa. Tente novamente.");
  other.exec("COMMIT");
  EXPECT_EQ(db.transactionDepth(), 0);
  EXPECT_EQ(historic.recordCount(), historicRows);
  EXPECT_EQ(db.selectValue("SELECT total(SaldoAtual) FROM balanco"), balanco);
}
