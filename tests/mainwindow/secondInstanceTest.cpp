// Two programs on one book: the running escrivon holds the book's lock, a second one is
// refused before it touches anything, and the lock of a killed one is taken over.
#include "startedWindow.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

using namespace esc;

namespace {

QString program(const QString& relative) {
  return QCoreApplication::applicationDirPath() + "/../" + relative;
}

// Each file of the directory with its size and time of change.
QStringList snapshot(const QString& dir) {
  QStringList out;
  for (const QFileInfo& f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
    out << f.fileName() + " " + QString::number(f.size()) + " " +
               f.lastModified().toString(Qt::ISODateWithMs);
  return out;
}

bool startUp(TDEscrivon& dm) {
  TF_Escrivon w(dm);
  test::typePasswordOnStart(w);
  return w.startUp();
}

} // namespace

TEST(SecondInstance, IsRefusedNamingTheFirstAndALockOfAKilledOneIsTakenOver) {
  ASSERT_TRUE(QFileInfo::exists(program("src/escrivon"))) << "build escrivon first";
  test::TempBook book;
  const QString dir = QFileInfo(book.path()).absoluteFilePath();
  // The first Escrivon opens the book and waits at its password dialog.
  QProcess first;
  first.start(program("src/escrivon"), {"--data-dir", dir});
  ASSERT_TRUE(first.waitForStarted());
  // Its tables are open once it holds the journal's file, the last it opens.
  const QString journal = QDir(dir).filePath("LANCAMEN.db");
  auto holdsJournal = [&] {
    const QDir fds(QString("/proc/%1/fd").arg(first.processId()));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
      if (fd.symLinkTarget() == journal) return true;
    return false;
  };
  QElapsedTimer clock;
  clock.start();
  while (!holdsJournal() && clock.elapsed() < 30000)
    QThread::msleep(20);
  ASSERT_TRUE(holdsJournal());

  const QStringList before = snapshot(dir);
  DatabaseRegistry::registerName(TDEscrivon::databaseName, dir);
  {
    ScriptedUi ui;
    TDEscrivon dm(ui);
    EXPECT_FALSE(startUp(dm));
    EXPECT_EQ(ui.texts("error"), QStringList{QString("Os dados em %1 já estão abertos por outro "
                                                     "Escrivon (processo %2).")
                                                 .arg(dir)
                                                 .arg(first.processId())});
    EXPECT_FALSE(dm.database().isConnected());
  }
  EXPECT_EQ(snapshot(dir), before);

  // Killed, the first leaves its lock file behind; it no longer stands in the way.
  first.kill();
  first.waitForFinished();
  EXPECT_TRUE(QFileInfo::exists(QDir(dir).filePath(BookLock::fileName)));
  ScriptedUi ui;
  TDEscrivon dm(ui);
  EXPECT_TRUE(startUp(dm)) << ui.texts().join("\n").toStdString();

  // escrivon-init writes too: it waits for no one and refuses the held book as it stands.
  QProcess init;
  init.start(program("tools/escrivon-init"), {dir});
  ASSERT_TRUE(init.waitForFinished(60000));
  EXPECT_EQ(init.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(init.readAllStandardError())
                  .contains(QString("já estão abertos por outro Escrivon (processo %1)")
                                .arg(QCoreApplication::applicationPid())));
  DatabaseRegistry::forget(TDEscrivon::databaseName);
}
