// A child process processing a long document is killed at random moments, and at every kind
// of file operation of its commit; reopened, the book holds the whole document or none of it.
#include "processingBook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <random>

using namespace esc;

namespace {

constexpr int entries = 300;

QStringList bookFiles() {
  QStringList files{Database::anchorFileName};
  for (const TableDef& t : allTables())
    files << t.fileName;
  return files;
}

void copyBook(const QString& from, const QString& to) {
  QDir(to).removeRecursively();
  QDir().mkpath(to);
  for (const QString& f : bookFiles())
    ASSERT_TRUE(QFile::copy(QDir(from).filePath(f), QDir(to).filePath(f))) << qPrintable(f);
}

struct Child {
  QProcess process;
  bool ready = false;
  void start(const QString& dir, const QStringList& extra = {}) {
    process.start(PROCESSING_CHILD, QStringList{dir, "2003", "00001"} + extra);
    ready = process.waitForStarted(10000) && process.waitForReadyRead(10000) &&
            process.readLine().trimmed() == "ready";
  }
};

// The journal and the trial balance, and whether every file is sound.
struct Reopened {
  QStringList rows;
  int processed = 0;
  bool sound = true;
};

Reopened reopen(const QString& dir) {
  test::OpenDirectory book(dir);
  Database& db = book.db();
  Reopened r;
  r.rows = test::rowTexts(db.select("SELECT * FROM lancamen ORDER BY rowid") +
                          db.select("SELECT * FROM balanco ORDER BY rowid"));
  r.processed = db.selectValue("SELECT COUNT(*) FROM lancamen WHERE Situacao = 'P'").toInt();
  for (const TableDef& t : allTables())
    r.sound &= db.selectValue(QStringLiteral("PRAGMA f_%1.integrity_check").arg(t.sqlName)) ==
               QVariant("ok");
  return r;
}

TEST(ProcessingCrash, KilledAnywhereTheDocumentIsWholeOrAbsent) {
  // A book with 30 pairs and a document of 300 entries over them, plus unprocessed entries of
  // another document whose running balances the walk rewrites.
  QTemporaryDir work;
  const QString templ = work.filePath("template");
  {
    test::ProcessingBook b(false, 2003);
    for (int p = 0; p < 30; ++p)
      b.addAccount(QStringLiteral("1101%1").arg(p + 10), "999", p % 3 ? "D" : "C", "6", p * 10.0);
    std::mt19937 rng(5);
    const QDate date(2003, 6, 17);
    for (int i = 0; i < entries; i += 2) {
      const double v = (1 + rng() % 1000000) / 100.0;
      b.addEntry("00001", date, QStringLiteral("1101%1").arg(10 + rng() % 30), "999", "D", v);
      b.addEntry("00001", date, QStringLiteral("1101%1").arg(10 + rng() % 30), "999", "C", v);
    }
    for (int i = 0; i < 60; ++i)
      b.addEntry("00002", QDate(2003, 1 + i % 12, 3), QStringLiteral("1101%1").arg(10 + i % 30),
                 "999", i % 2 ? "D" : "C", 7.5);
    b.dm->closeAll();
    copyBook(b.dir.path(), templ);
  }
  const Reopened before = reopen(templ);
  ASSERT_EQ(before.processed, 0);

  // One run to its end gives the whole document, the number of file operations it makes and
  // how long it takes.
  const QString dir = work.filePath("book");
  copyBook(templ, dir);
  long ioTotal = 0;
  qint64 runMicros = 0;
  {
    Child c;
    c.start(dir, {"--report"});
    ASSERT_TRUE(c.ready) << c.process.readAllStandardError().toStdString();
    ASSERT_TRUE(c.process.waitForFinished(60000));
    ASSERT_EQ(c.process.exitCode(), 0) << c.process.readAllStandardError().toStdString();
    const QStringList report = QString(c.process.readAllStandardOutput()).split(' ');
    ioTotal = report.value(1).toLong();
    runMicros = report.value(3).toLongLong();
    ASSERT_GT(ioTotal, 5);
  }
  const Reopened whole = reopen(dir);
  ASSERT_EQ(whole.processed, entries);
  ASSERT_TRUE(whole.sound);

  std::mt19937 rng(std::random_device{}());
  int kept = 0, absent = 0;
  for (int round = 0; round < 30; ++round) {
    copyBook(templ, dir);
    Child c;
    // Even rounds die at one file operation of the run, most of them inside the commit;
    // odd rounds are killed from outside after a random time.
    const bool atIo = round % 2 == 0;
    const long io = 1 + long(rng() % ioTotal);
    c.start(dir, atIo ? QStringList{"--die-at-io", QString::number(io)} : QStringList{});
    ASSERT_TRUE(c.ready);
    if (!atIo) {
      QThread::usleep(rng() % (runMicros + runMicros / 5 + 1));
      c.process.kill();
    }
    ASSERT_TRUE(c.process.waitForFinished(60000));
    const Reopened after = reopen(dir);
    const std::string where = atIo ? "file operation " + std::to_string(io) : "timed kill";
    EXPECT_TRUE(after.sound) << where;
    if (after.processed == 0) {
      ++absent;
      EXPECT_EQ(after.rows, before.rows) << where;
    } else {
      ++kept;
      EXPECT_EQ(after.processed, entries) << where;
      EXPECT_EQ(after.rows, whole.rows) << where;
    }
  }
  std::cout << "      " << absent << " runs left nothing, " << kept << " the whole document ("
            << ioTotal << " file operations, " << runMicros / 1000 << " ms a run)\n";
}

} // namespace
