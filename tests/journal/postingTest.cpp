#include "journal/posting.h"
#include "bookFixture.h"

#include <gtest/gtest.h>

using namespace esc;
using test::twoDigits;

namespace {

// A book of fiscal year 2003 with no accounts; each test adds the pairs and entries it needs.
class Posting : public ::testing::Test {
protected:
  test::OpenBook book{false, 2003};
  Database& db = book.dm->database();

  // Twelve rows opening and closing at `opening`, as a carried-forward year would have them.
  void addPair(const QString& account, const QString& current, const QString& nature,
               double opening, const QString& year = "2003") {
    test::addCarriedYearRows(db, account, current, year, nature, "6", opening);
  }
  qint64 addEntry(const QString& account, const QString& current, int month, int day,
                  const QString& doc, const QString& type, double value,
                  const QString& year = "2003") {
    return test::addEntry(db, year, doc, QDate(year.toInt(), month, day), account, current, type,
                          value);
  }
  PostingResult post(qint64 entry) {
    book.dm->TbLancamen->gotoBookmark({entry});
    return PostingRule(*book.dm).post(PostingInput::fromEntry(*book.dm->TbLancamen, "2003"));
  }
  void expectRow(const QString& key, double opening, const char* openLetter, double debits,
                 double credits, double closing, const char* closeLetter) {
    const auto r = db.select("SELECT SaldoAnterior, TipoSaldoAnterior, ValorDebito, ValorCredito, "
                             "SaldoAtual, TipoSaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = ?",
                             {key});
    ASSERT_EQ(r.size(), 1) << qPrintable(key);
    EXPECT_EQ(r[0], (QVariantList{opening, openLetter, debits, credits, closing, closeLetter}))
        << qPrintable(key);
  }
  void expectEntry(qint64 entry, double balance, const char* letter) {
    const auto r =
        db.select("SELECT SaldoAtual, TipoSaldoAtual FROM lancamen WHERE rowid = ?", {entry});
    EXPECT_EQ(r[0], (QVariantList{balance, letter})) << "entry " << entry;
  }
  QVector<QVariantList> dump() {
    return db.select("SELECT * FROM balanco ORDER BY rowid") +
           db.select("SELECT * FROM lancamen ORDER BY rowid");
  }
};

TEST_F(Posting, WorkedExampleDebitNature) {
  addPair("110101", "999", "D", 1000.0);
  const qint64 february = addEntry("110101", "999", 2, 10, "00005", "C", 100.0);
  const qint64 march = addEntry("110101", "999", 3, 15, "00007", "D", 250.0);
  ASSERT_TRUE(post(march).done());
  for (int m : {1, 2})
    expectRow("2003" + twoDigits(m) + "110101999", 1000, "D", 0, 0, 1000, "D");
  expectRow("200303110101999", 1000, "D", 250, 0, 1250, "D");
  for (int m = 4; m <= 12; ++m)
    expectRow("2003" + twoDigits(m) + "110101999", 1250, "D", 0, 0, 1250, "D");
  // The walk counts the unprocessed February credit; the trial balance does not.
  expectEntry(february, 900, "D");
  expectEntry(march, 1150, "D");
}

TEST_F(Posting, WorkedExampleCreditNatureCrossesToTheOtherSide) {
  addPair("210101", "999", "C", 0.0);
  const qint64 march = addEntry("210101", "999", 3, 5, "00001", "C", 250.0);
  const qint64 april = addEntry("210101", "999", 4, 5, "00002", "D", 400.0);
  ASSERT_TRUE(post(march).done());
  ASSERT_TRUE(post(april).done());
  expectRow("200302210101999", 0, "C", 0, 0, 0, "C");
  expectRow("200303210101999", 0, "C", 0, 250, 250, "C");
  expectRow("200304210101999", 250, "C", 400, 0, -150, "D");
  for (int m = 5; m <= 12; ++m)
    expectRow("2003" + twoDigits(m) + "210101999", -150, "D", 0, 0, -150, "D");
  expectEntry(march, 250, "C");
  expectEntry(april, -150, "D");
}

TEST_F(Posting, DecemberAndJanuaryTouchOnlyTheirMonthsOnward) {
  addPair("110101", "999", "D", 10.0);
  const auto before = db.select("SELECT * FROM balanco ORDER BY Periodo");
  ASSERT_TRUE(post(addEntry("110101", "999", 12, 31, "00001", "C", 4.0)).done());
  const auto after = db.select("SELECT * FROM balanco ORDER BY Periodo");
  EXPECT_EQ(before.mid(0, 11), after.mid(0, 11));
  expectRow("200312110101999", 10, "D", 0, 4, 6, "D");

  ASSERT_TRUE(post(addEntry("110101", "999", 1, 2, "00002", "D", 5.0)).done());
  expectRow("200301110101999", 10, "D", 5, 0, 15, "D"); // January's opening never moves
  expectRow("200302110101999", 15, "D", 0, 0, 15, "D");
  expectRow("200312110101999", 15, "D", 0, 4, 11, "D");
}

TEST_F(Posting, ZeroBalancesAndTheirLetters) {
  addPair("110101", "999", "D", -50.0);
  const qint64 settled = addEntry("110101", "999", 2, 1, "00001", "D", 50.0);
  db.exec("UPDATE lancamen SET SaldoAtual = 123, TipoSaldoAtual = 'C' WHERE rowid = ?", {settled});
  const qint64 credit = addEntry("110101", "999", 3, 1, "00002", "C", 20.0);
  const qint64 neverWritten = addEntry("110101", "999", 3, 1, "00002", "D", 20.0);
  ASSERT_TRUE(post(settled).done());
  // A zero closing balance takes the nature's letter, and so does the next opening.
  expectRow("200302110101999", -50, "C", 50, 0, 0, "D");
  expectRow("200303110101999", 0, "D", 0, 0, 0, "D");
  // A zero running balance keeps the entry's letter, blank when it never had one.
  expectEntry(settled, 0, "C");
  expectEntry(credit, -20, "C");
  expectEntry(neverWritten, 0, "");
}

TEST_F(Posting, MissingMonthsAreSkipped) {
  addPair("110101", "999", "D", 0.0);
  db.exec("DELETE FROM balanco WHERE Periodo = '200307'");
  ASSERT_TRUE(post(addEntry("110101", "999", 6, 30, "00001", "D", 100.0)).done());
  expectRow("200306110101999", 0, "D", 100, 0, 100, "D");
  expectRow("200308110101999", 100, "D", 0, 0, 100, "D");
  expectRow("200312110101999", 100, "D", 0, 0, 100, "D");
}

TEST_F(Posting, RefusalsChangeNothing) {
  addPair("110101", "999", "D", 0.0);
  addPair("110102", "999", "D", 0.0);
  addPair("110103", "999", "X", 0.0);
  db.exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor IN ('200305110101999', "
          "'200301110102999')");
  const qint64 may = addEntry("110101", "999", 5, 3, "00001", "D", 1.0);
  const qint64 august = addEntry("110102", "999", 8, 3, "00001", "C", 1.0);
  const qint64 oddNature = addEntry("110103", "999", 8, 3, "00001", "C", 1.0);
  const qint64 oddType = addEntry("110101", "999", 6, 3, "00001", "X", 1.0);
  const auto before = dump();
  book.dm->TbLancamen->setFilter("NumeroDocumento=00001");
  book.dm->TbLancamen->setFiltered(true);

  const PostingResult missing = post(may);
  EXPECT_EQ(missing.status, PostingResult::Status::MissingMonthRow);
  EXPECT_EQ(missing.key, "200305110101999");
  // Without January there is no opening balance to walk from.
  EXPECT_EQ(post(august).key, "200301110102999");
  const PostingResult nature = post(oddNature);
  EXPECT_EQ(nature.status, PostingResult::Status::UnknownNature);
  EXPECT_EQ(nature.key, "200308110103999");
  EXPECT_EQ(post(oddType).status, PostingResult::Status::UnknownEntryType);
  EXPECT_EQ(dump(), before);
  EXPECT_TRUE(book.dm->TbLancamen->filtered());
}

TEST_F(Posting, WalkStaysInsideThePairAndTheYear) {
  addPair("110101", "999", "D", 0.0);
  const qint64 posted = addEntry("110101", "999", 3, 1, "00001", "D", 10.0);
  const QList<qint64> others = {addEntry("110101", "999", 3, 1, "00001", "D", 1.0, "2004"),
                                addEntry("110101", "99900000000001", 3, 1, "00001", "D", 1.0),
                                addEntry("110101", "99", 3, 1, "00001", "D", 1.0),
                                addEntry("110102", "999", 3, 1, "00001", "D", 1.0),
                                addEntry("110100", "999", 3, 1, "00001", "D", 1.0)};
  for (qint64 e : others)
    db.exec("UPDATE lancamen SET SaldoAtual = 7, TipoSaldoAtual = 'X' WHERE rowid = ?", {e});
  ASSERT_TRUE(post(posted).done());
  expectEntry(posted, 10, "D");
  for (qint64 e : others)
    expectEntry(e, 7, "X");
}

TEST_F(Posting, SameDayEntriesGoByDocumentThenOrderOfRecording) {
  addPair("110101", "999", "D", 0.0);
  const qint64 docTen = addEntry("110101", "999", 3, 1, "00010", "D", 100.0);
  const qint64 first = addEntry("110101", "999", 3, 1, "00002", "C", 0.1);
  const qint64 second = addEntry("110101", "999", 3, 1, "00002", "C", 0.2);
  ASSERT_TRUE(post(second).done());
  expectEntry(first, -0.1, "C");
  expectEntry(second, -0.3, "C"); // to four decimal places: not -0.30000000000000004
  expectEntry(docTen, 99.7, "D");
}

TEST_F(Posting, RunsInsideTheCallersTransactionAndLeavesTheJournalUnfiltered) {
  addPair("110101", "999", "D", 0.0);
  const qint64 entry = addEntry("110101", "999", 3, 1, "00001", "D", 10.0);
  addEntry("110101", "999", 4, 1, "00002", "D", 5.0);
  Table* journal = book.dm->TbLancamen;
  journal->setFilter("NumeroDocumento=00001");
  journal->setFiltered(true);
  const auto before = dump();
  {
    Transaction tx(db);
    ASSERT_TRUE(post(entry).done());
    EXPECT_FALSE(journal->filtered());
    EXPECT_EQ(journal->bookmark().rowId, entry);
    EXPECT_EQ(journal->field("SaldoAtual").asFloat(), 10.0);
  } // not committed
  EXPECT_EQ(dump(), before);
}

} // namespace
