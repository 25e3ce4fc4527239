#include "book/amounts.h"
#include "book/keys.h"
#include "book/period.h"
#include "store/database.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace esc;

// Half-way ten-thousandths round away from zero, and a residue that rounds to nothing is a
// plain zero (no sign bit), in C++ and in SQL alike.
TEST(BookRules, RoundingHalfWayAndResidue) {
  EXPECT_EQ(roundAmount(0.12345), 0.1235);
  EXPECT_EQ(roundAmount(-0.12345), -0.1235);
  EXPECT_EQ(roundAmount(0.00004999), 0.0);
  const double residue = roundAmount(-(0.1 + 0.2 - 0.3));
  EXPECT_EQ(residue, 0.0);
  EXPECT_FALSE(std::signbit(residue));

  QTemporaryDir dir;
  Database db;
  db.openDirectory(dir.path());
  registerRoundAmount(db);
  const QVariantList row =
      db.select("SELECT round_amount(?), round_amount(NULL)", {-0.12345}).value(0);
  EXPECT_EQ(row.value(0).toDouble(), -0.1235);
  EXPECT_TRUE(row.value(1).isNull());
}

// A zero balance takes the nature's letter, a negative one the other letter; a nature other
// than D or C has none. The closing balance counts the nature's side up.
TEST(BookRules, LetterAndNatureSideBalance) {
  EXPECT_EQ(book::letterFor("D", 0.0), "D");
  EXPECT_EQ(book::letterFor("C", 0.0), "C");
  EXPECT_EQ(book::letterFor("D", -0.0001), "C");
  EXPECT_EQ(book::letterFor("C", -5.0), "D");
  EXPECT_FALSE(book::letterFor("X", 1.0).has_value());

  EXPECT_EQ(book::natureBalance("D", 100.0, 30.0, 50.0), 80.0);
  EXPECT_EQ(book::natureBalance("C", 100.0, 30.0, 50.0), 120.0);
  // D 0,10 + D 0,20 against C 0,30 closes at zero and keeps the nature's letter.
  const double closed = book::natureBalance("D", 0.0, 0.1 + 0.2, 0.3);
  EXPECT_EQ(closed, 0.0);
  EXPECT_EQ(book::letterFor("D", closed), "D");
}

TEST(BookRules, PeriodsAndKeys) {
  EXPECT_EQ(book::period("2004", 3), "200403");
  EXPECT_EQ(book::periodYear("200411"), "2004");
  EXPECT_EQ(book::periodMonth("200411"), "11");
  EXPECT_EQ(book::nextYear(" 2004"), "2005");

  // The current-account code is padded to 14 inside the entry key, so the month and day sit
  // at the same place whatever its length; a pair key drops only trailing spaces.
  EXPECT_EQ(book::entryKey("2004", "111121", "0001", "02", "15"), "2004111121"
                                                                  "0001          "
                                                                  "0215");
  EXPECT_EQ(book::accountPair("111121", "999   "), "111121999");
  EXPECT_EQ(book::balanceKey("2004", "02", "111121", "999   "), "200402111121999");
  EXPECT_EQ(book::balanceKey(book::period("2004", 2), book::accountPair("111121", "999   ")),
            "200402111121999");
  EXPECT_EQ(book::keyLimit("200412"), "200413");
  EXPECT_TRUE(book::isResultAccount("311111"));
  EXPECT_FALSE(book::isResultAccount("299999"));
}
