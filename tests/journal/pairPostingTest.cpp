// The posting arithmetic on plain values, without a book.
#include "journal/pairPosting.h"
#include "printers.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace esc::posting;

namespace {

Year yearOf(const QString& nature, double opening) {
  Year months;
  for (MonthRow& row : months) {
    row.exists = true;
    row.nature = nature;
    row.opening = row.closing = opening;
  }
  return months;
}

std::vector<std::tuple<qint64, double, Side>> writes(const QVector<BalanceWrite>& balances) {
  std::vector<std::tuple<qint64, double, Side>> out;
  for (const BalanceWrite& w : balances)
    out.emplace_back(w.rowId, w.balance, w.letter);
  return out;
}

// A debit pair opening at 1000 every month takes a March debit of 250 while an unprocessed
// February credit of 100 stands in the journal: the trial balance counts only the debit, the
// running balances count both.
TEST(PairPosting, MonthRowsCarryForwardAndTheWalkCountsEveryEntry) {
  PairBooks pair{yearOf("D", 1000.0),
                 {{1, Side::C, 100.0, std::nullopt, Side::None},
                  {2, Side::D, 250.0, std::nullopt, Side::None}}};
  const PairPosted out = postPair(pair, {{2, true, 250.0}});
  EXPECT_FALSE(out.months[0].closingSet);
  EXPECT_FALSE(out.months[1].closingSet);
  EXPECT_TRUE(out.months[2].debitsSet);
  EXPECT_EQ(out.months[2].debits, 250.0);
  EXPECT_EQ(std::make_pair(out.months[2].closing, out.months[2].closingLetter),
            std::make_pair(1250.0, QString("D")));
  for (int m = 3; m < 12; ++m) {
    EXPECT_EQ(std::make_pair(out.months[m].opening, out.months[m].openingLetter),
              std::make_pair(1250.0, QString("D")));
    EXPECT_EQ(out.months[m].closing, 1250.0);
  }
  EXPECT_EQ(out.nature, "D");
  EXPECT_EQ(writes(out.balances), (std::vector<std::tuple<qint64, double, Side>>{
                                      {1, 900.0, Side::D}, {2, 1150.0, Side::D}}));
}

// A credit pair without a July row: a balance below zero turns its letter round, the missing
// month is skipped, a running balance already stored is not written again, and one of exactly
// zero keeps the letter it had.
TEST(PairPosting, LettersMissingMonthsAndUnchangedBalances) {
  PairBooks pair{yearOf("C", 0.0),
                 {{1, Side::C, 250.0, 250.0, Side::C},
                  {2, Side::D, 400.0, std::nullopt, Side::None},
                  {3, Side::C, 150.0, std::nullopt, Side::D}}};
  pair.months[6].exists = false;
  const PairPosted out = postPair(pair, {{2, false, 250.0}, {3, true, 400.0}});
  EXPECT_EQ(std::make_pair(out.months[2].closing, out.months[2].closingLetter),
            std::make_pair(250.0, QString("C")));
  EXPECT_EQ(std::make_pair(out.months[3].closing, out.months[3].closingLetter),
            std::make_pair(-150.0, QString("D")));
  EXPECT_FALSE(out.months[6].closingSet);
  EXPECT_EQ(std::make_pair(out.months[7].opening, out.months[7].openingLetter),
            std::make_pair(-150.0, QString("D")));
  EXPECT_EQ(writes(out.balances), (std::vector<std::tuple<qint64, double, Side>>{
                                      {2, -150.0, Side::D}, {3, 0.0, Side::None}}));
}

} // namespace
