// The loadable extension gives the stock sqlite3 shell the store's collation: the shell reads a
// table file through its case-ignoring index in the order the program walks it, and finds the
// index sound.
#include "storeTestHelpers.h"
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

namespace {

struct ShellRun {
  int code = -1;
  QString out, err;
};

ShellRun sqliteShell(const QStringList& arguments) {
  QProcess p;
  p.start(QStandardPaths::findExecutable("sqlite3"), arguments);
  ShellRun r;
  if (!p.waitForFinished(60000)) return r;
  r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

} // namespace

TEST(SqliteExtension, TheShellReadsTheNameIndexInTheProgramsOrder) {
  if (QStandardPaths::findExecutable("sqlite3").isEmpty())
    GTEST_SKIP() << "the sqlite3 shell is not installed (scripts/setup installs it)";
  OpenBook book(false);
  Table& contas = *book.dm->TbContas;
  // Accents, capitals and names equal but for them, in an order no byte comparison gives.
  const QStringList names = {"Zebra", "ÉPOCA", "agua", "Azul", "Abelha", "Água", "ábaco",
                             "epoca", "ÇAPA",  "casa", "ÁGUA", "Óleo",   "ovo",  "ÖSTERREICH"};
  int n = 0;
  for (const QString& name : names)
    addAccount(contas, QString("4%1").arg(++n, 5, 10, QChar('0')), "999", name);
  contas.setOrder("SI_NomCtaCon");
  const QStringList program = walk(contas, "NomeContaContabil");

  const QString file = QDir(book.path()).filePath("CONTAS.db");
  const QString query = "SELECT NomeContaContabil FROM contas INDEXED BY contas_SI_NomCtaCon "
                        "WHERE NomeContaContabil >= 'a' COLLATE ESCI "
                        "ORDER BY NomeContaContabil COLLATE ESCI;";
  // Without the extension the shell cannot use the index at all.
  const ShellRun bare = sqliteShell({file, query});
  EXPECT_NE(bare.code, 0);
  EXPECT_TRUE(bare.err.contains("no such collation sequence: ESCI")) << bare.err.toStdString();

  const ShellRun loaded = sqliteShell({file, "-cmd", ".load " + QString(ESCRIVON_SQLITE_EXTENSION),
                                       query + "PRAGMA integrity_check;"});
  ASSERT_EQ(loaded.code, 0) << loaded.err.toStdString();
  EXPECT_EQ(loaded.out.split('\n', Qt::SkipEmptyParts), program + QStringList{"ok"});
}
