// escrivon-report only reads: it writes nothing into the book, says when a directory is not
// one, and leaves an interrupted transaction to escrivon.
#include "reportsTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace esc;

namespace {

// Copies the book in `from` to `to` as a crash in the middle of a transaction on the journal
// leaves it: LANCAMEN.db partly rewritten, beside the journal that rolls it back.
void copyMidTransaction(const QString& from, const QString& to) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QDir(from).filePath("LANCAMEN.db").toUtf8().constData(), &db), 0);
  Database::registerCollations(db);
  // A cache of two pages spills the changes into the file before the commit.
  ASSERT_EQ(sqlite3_exec(db,
                         "PRAGMA cache_size = 2; BEGIN; UPDATE lancamen SET Situacao = 'X'; "
                         "CREATE TABLE lixo (x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                         "SELECT i + 1 FROM n WHERE i < 300) INSERT INTO lixo SELECT "
                         "randomblob(4000) FROM n;",
                         nullptr, nullptr, nullptr),
            0);
  for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files | QDir::Hidden))
    ASSERT_TRUE(QFile::copy(f.filePath(), QDir(to).filePath(f.fileName())));
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

} // namespace

TEST(EscrivonReport, OnlyReadsAndLeavesAnInterruptedTransactionToEscrivon) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool()));
  QTemporaryDir out, crashed;
  const QString pdf = out.filePath("razao.pdf");
  const QStringList run = {"--data-dir", crashed.path(), "razao", "-o", pdf};

  // Not a book: said so, and nothing is left in the directory.
  test::ToolResult r = test::runReportTool(run);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("não é um diretório de dados do Escrivon")) << r.err.toStdString();
  EXPECT_TRUE(QDir(crashed.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

  {
    test::TempBook book;
    copyMidTransaction(book.path(), crashed.path());
  }
  ASSERT_TRUE(QFile::remove(QDir(crashed.path()).filePath(Database::anchorFileName)));
  ASSERT_GT(QFileInfo(QDir(crashed.path()).filePath("LANCAMEN.db-journal")).size(), 0);
  const QStringList before = test::fileSnapshot(crashed.path());
  r = test::runReportTool(run);
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("abra-os primeiro no programa escrivon para concluir a recuperação"))
      << r.err.toStdString();
  EXPECT_EQ(test::fileSnapshot(crashed.path()), before);
  EXPECT_FALSE(QFileInfo::exists(pdf));

  // escrivon's store rolls it back on opening; then the report runs and still creates nothing.
  {
    ScriptedUi ui;
    TDEscrivon dm(ui);
    dm.connectDirectory(crashed.path());
    dm.TbLancamen->open();
    EXPECT_EQ(dm.database().selectValue("SELECT count(*) FROM lancamen WHERE Situacao = 'X'"),
              QVariant(qint64(0)));
  }
  ASSERT_TRUE(QFile::remove(QDir(crashed.path()).filePath(Database::anchorFileName)));
  const QStringList recovered = test::fileSnapshot(crashed.path());
  r = test::runReportTool(run);
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(test::fileSnapshot(crashed.path()), recovered);
}
