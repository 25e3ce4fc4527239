// Navigation, counts and record numbers under filters, on primary and secondary orders.
#include "storeTestHelpers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

namespace {

// The same rows as the cursor should visit them, read by one SQL query.
QStringList sqlOrder(Database& db, const QString& field, const QString& orderBy,
                     const QString& where = {}) {
  QStringList out;
  for (const QVariantList& row : db.select(
           QStringLiteral("SELECT %1 FROM balanco %2 ORDER BY %3").arg(field, where, orderBy)))
    out << row[0].toString();
  return out;
}

} // namespace

TEST(StoreNavigation, SecondaryOrderWithManyEqualKeysVisitsEveryRowOnceEachWay) {
  OpenBook book;
  Table& bal = *book.dm->TbBalanco;
  Database& db = book.dm->database();
  // Most rows share the current account "999": the order goes on by row id among them.
  bal.setOrder("SI_CodCtaCor");
  const QStringList expected =
      sqlOrder(db, "CodCtaConCodCtaCor", "CodigoContaCorrente COLLATE ESCI, rowid");
  ASSERT_EQ(expected.size(), 56 * 12);
  EXPECT_EQ(walk(bal, "CodCtaConCodCtaCor"), expected);
  EXPECT_EQ(walk(bal, "CodCtaConCodCtaCor", false),
            QStringList(expected.rbegin(), expected.rend()));

  bal.setOrder("SI_CodCtaCon"); // two columns
  const QStringList expected2 =
      sqlOrder(db, "CodCtaConCodCtaCor",
               "CodigoContaContabil COLLATE ESCI, CodigoContaCorrente COLLATE ESCI, rowid");
  EXPECT_EQ(walk(bal, "CodCtaConCodCtaCor"), expected2);
}

TEST(StoreNavigation, CountsPositionsAndMovesUnderAFilter) {
  OpenBook book;
  Table& bal = *book.dm->TbBalanco;
  bal.setFilter("Periodo>='200403' and Periodo<='200405'");
  EXPECT_EQ(bal.recordCount(), 672); // not yet switched on
  bal.setFiltered(true);
  const int n = bal.recordCount();
  EXPECT_EQ(n, 56 * 3);
  EXPECT_EQ(bal.recNo(), 1);
  EXPECT_EQ(bal.field("Periodo").asString(), "200403"); // switching on makes the first current

  for (const QString order : {"", "SI_CodCtaCor"}) {
    bal.setOrder(order);
    const QStringList seen = walk(bal, "Periodo");
    ASSERT_EQ(seen.size(), n) << order.toStdString();
    for (const QString& p : seen)
      ASSERT_TRUE(p >= "200403" && p <= "200405") << p.toStdString();
    EXPECT_EQ(bal.recNo(), n);

    bal.first();
    EXPECT_EQ(bal.moveBy(10), 10);
    EXPECT_EQ(bal.recNo(), 11);
    const QString eleventh = bal.field("CodCtaConCodCtaCor").asString();
    EXPECT_EQ(bal.moveBy(-100), -10); // stops at the first
    EXPECT_EQ(bal.recNo(), 1);
    EXPECT_EQ(bal.moveBy(1000), n - 1); // and at the last
    EXPECT_TRUE(bal.eof());
    EXPECT_EQ(bal.recNo(), n);
    bal.first();
    bal.moveBy(10);
    EXPECT_EQ(bal.field("CodCtaConCodCtaCor").asString(), eleventh);
    // The record number after a find counts from the start.
    ASSERT_TRUE(bal.findKey(
        {bal.field(order.isEmpty() ? "CodCtaConCodCtaCor" : "CodigoContaCorrente").asString()}));
    EXPECT_LE(bal.recNo(), 11);
  }
  // Unquoted values and the level filter read the same way as quoted ones.
  bal.setFilter("NivelDaConta='6'");
  const int analytic = bal.recordCount();
  bal.setFilter("NivelDaConta=6");
  EXPECT_EQ(bal.recordCount(), analytic);
  EXPECT_EQ(analytic % 12, 0);
  bal.setFilter("CodigoContaContabil='111121' and CodigoContaCorrente='0001'");
  EXPECT_EQ(bal.recordCount(), 12);
  bal.setFiltered(false);
  EXPECT_EQ(bal.recordCount(), 672);
}

TEST(StoreNavigation, FilterExpressionsItCannotReadAreRefusedNamingThem) {
  OpenBook book;
  Table& bal = *book.dm->TbBalanco;
  bal.setFilter("Periodo='200401'");
  bal.setFiltered(true);
  for (const QString bad : {"Periodo>='200401' or Periodo<='200412'", "Inexistente='1'",
                            "Periodo='2004", "Periodo", "Periodo='1' and", "='1'"}) {
    try {
      bal.setFilter(bad);
      ADD_FAILURE() << "accepted " << bad.toStdString();
    } catch (const StoreError& e) {
      EXPECT_TRUE(e.message().contains(bad)) << e.message().toStdString();
    }
  }
  // A refused expression leaves the filter in force.
  EXPECT_EQ(bal.filter(), "Periodo='200401'");
  EXPECT_EQ(bal.recordCount(), 56);
  // A quote doubled inside a value is a quote, and values are bound, never spliced.
  Table& contas = *book.dm->TbContas;
  addAccount(contas, "411115", "999", "D'AGUA E ESGOTO");
  contas.setFilter("NomeContaContabil='D''AGUA E ESGOTO'");
  contas.setFiltered(true);
  EXPECT_EQ(contas.recordCount(), 1);
  EXPECT_EQ(contas.field("CodigoContaContabil").asString(), "411115");
}

TEST(StoreNavigation, FindNearestAndLocate) {
  OpenBook book;
  Table& contas = *book.dm->TbContas;
  contas.findNearest("1112");
  EXPECT_EQ(contas.field("CodCtaConCodCtaCor").asString(), "112000999");
  contas.findNearest("9");
  EXPECT_EQ(contas.recNo(), contas.recordCount()); // every key smaller: the last

  Table& fech = *book.dm->TbFechamen;
  ASSERT_TRUE(fech.locate("Exercicio", "2004"));
  EXPECT_FALSE(fech.locate("Exercicio", "1999"));
  EXPECT_EQ(fech.field("Exercicio").asString(), "2004");
}

TEST(StoreNavigation, DeleteMakesTheFollowingRecordCurrentAndCountsFollow) {
  OpenBook book;
  Table& hist = *book.dm->TbHistoric;
  const int n = hist.recordCount();
  ASSERT_TRUE(hist.findKey({"0003"}));
  hist.remove();
  EXPECT_EQ(hist.field("CodigoHistorico").asString(), "0004");
  EXPECT_EQ(hist.recordCount(), n - 1);
  EXPECT_EQ(hist.recNo(), 3);
  hist.last();
  hist.remove();
  EXPECT_EQ(hist.field("CodigoHistorico").asString(), "0007"); // nothing follows: the new last
  // Rows deleted by SQL, all at once, are seen by the cursor's count too.
  book.dm->database().exec("DELETE FROM historic");
  EXPECT_EQ(hist.recordCount(), 0);
}
