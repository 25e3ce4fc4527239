// The fast year routines, called as a tool calls them (no window, no questions), against the
// same routines walked row by row on the cursors, on random books: every row they write must
// agree to the last bit.
#include "period/carryForward.h"
#include "period/syntheticUpdate.h"
#include "period/yearOpening.h"
#include "periodBooks.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

namespace {

// Two copies of one random book: the fast routine runs on one, the walk on the other.
struct BookPair {
  explicit BookPair(const RandomBook& options) {
    fillRandomBook(fast.dm->database(), options);
    fillRandomBook(walked.dm->database(), options);
  }
  Database& fastDb() { return fast.dm->database(); }
  Database& walkedDb() { return walked.dm->database(); }
  QString difference(const QString& table, const QString& order) {
    return firstDifference(dump(fastDb(), table, order), dump(walkedDb(), table, order));
  }
  OpenBook fast{false, 2003}, walked{false, 2003};
  NoProgress progress;
};

TEST(PeriodReference, SyntheticUpdateWritesWhatTheWalkWrites) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    RandomBook o;
    o.seed = seed;
    o.analyticCodes = seed == 4 ? 25 : 10;
    BookPair books(o);
    const OperationResult fast = syntheticUpdate(books.fastDb(), "2003", books.progress);
    ASSERT_TRUE(fast.isDone()) << qPrintable(fast.message());
    const RollUpResult walked = literal::syntheticUpdate(*books.walked.dm, "2003");
    ASSERT_TRUE(walked.done());
    EXPECT_EQ(fast.message(),
              QStringLiteral("Foram atualizadas %1 contas sintéticas.").arg(walked.syntheticRows));
    EXPECT_EQ(fast.figure("synthetic rows"), walked.syntheticRows);
    EXPECT_GT(walked.syntheticRows, 12 * 5);
    EXPECT_EQ(books.difference("balanco", "CodCtaConCodCtaCor"), "") << "seed " << seed;
  }
}

TEST(PeriodReference, YearOpeningWritesWhatTheWalkWrites) {
  for (unsigned seed : {5u, 6u}) {
    RandomBook o;
    o.seed = seed;
    o.missingPercent = 20; // accounts without a December row get no rows
    BookPair books(o);
    ASSERT_TRUE(openNextYear(books.fastDb(), "2003", books.progress).isDone());
    literal::openNextYear(*books.walked.dm, "2003");
    EXPECT_EQ(books.difference("balanco", "CodCtaConCodCtaCor"), "") << "seed " << seed;
    EXPECT_EQ(books.difference("fechamen", "Exercicio"), "");
  }
}

TEST(PeriodReference, CarryForwardWritesWhatTheWalkWrites) {
  for (unsigned seed : {7u, 8u, 9u}) {
    RandomBook o;
    o.seed = seed;
    o.nextYear = true;
    o.missingPercent = 8;
    BookPair books(o);
    const OperationResult fast = carryForward(books.fastDb(), "2003", books.progress);
    ASSERT_TRUE(fast.isDone()) << qPrintable(fast.message());
    ASSERT_EQ(literal::carryForward(*books.walked.dm, "2003"), "");
    EXPECT_EQ(books.difference("balanco", "CodCtaConCodCtaCor"), "") << "seed " << seed;
  }
}

// The whole year end on one book: roll up, open the next year, roll up again after late
// movements, carry forward.
TEST(PeriodReference, YearEndInSequenceMatchesTheWalk) {
  RandomBook o;
  o.seed = 11;
  o.blankAmounts = false;
  BookPair books(o);
  ASSERT_TRUE(syntheticUpdate(books.fastDb(), "2003", books.progress).isDone());
  ASSERT_TRUE(openNextYear(books.fastDb(), "2003", books.progress).isDone());
  ASSERT_TRUE(carryForward(books.fastDb(), "2003", books.progress).isDone());
  ASSERT_TRUE(literal::syntheticUpdate(*books.walked.dm, "2003").done());
  literal::openNextYear(*books.walked.dm, "2003");
  ASSERT_EQ(literal::carryForward(*books.walked.dm, "2003"), "");
  EXPECT_EQ(books.difference("balanco", "CodCtaConCodCtaCor"), "");
  EXPECT_EQ(books.difference("fechamen", "Exercicio"), "");
}

} // namespace
