// The fast year routines against the same routines walked row by row on the cursors, on random
// books: every row they write must agree to the last bit.
#include "periodBooks.h"
#include "processing/carryForward.h"
#include "processing/syntheticUpdate.h"
#include "processing/yearOpening.h"
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
    ctx.year = options.year;
  }
  Database& fastDb() { return fast.dm->database(); }
  Database& walkedDb() { return walked.dm->database(); }
  QString difference(const QString& table, const QString& order) {
    return firstDifference(dump(fastDb(), table, order), dump(walkedDb(), table, order));
  }
  OpenBook fast{false, 2003}, walked{false, 2003};
  SimpleContext ctx{*fast.dm, fast.ui};
};

TEST(PeriodReference, SyntheticUpdateWritesWhatTheWalkWrites) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    RandomBook o;
    o.seed = seed;
    o.analyticCodes = seed == 4 ? 25 : 10;
    BookPair books(o);
    ASSERT_TRUE(SyntheticUpdate(books.ctx, "2003").run())
        << qPrintable(books.fast.ui.texts().join("\n"));
    const RollUpResult walked = literal::syntheticUpdate(*books.walked.dm, "2003");
    ASSERT_TRUE(walked.done());
    EXPECT_EQ(
        books.fast.ui.texts("message"),
        QStringList{
            QStringLiteral("Foram atualizadas %1 contas sintéticas.").arg(walked.syntheticRows)});
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
    books.fast.ui.confirmAnswers = {true};
    ASSERT_TRUE(YearOpening(*books.fast.dm, books.fast.ui, "2003").run());
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
    books.fast.ui.confirmAnswers = {true};
    ASSERT_TRUE(CarryForward(books.ctx, "2003").run())
        << qPrintable(books.fast.ui.texts().join("\n"));
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
  Ui& ui = books.fast.ui;
  books.fast.ui.confirmAnswers = {true, true};
  ASSERT_TRUE(SyntheticUpdate(books.ctx, "2003").run());
  ASSERT_TRUE(YearOpening(*books.fast.dm, ui, "2003").run());
  ASSERT_TRUE(CarryForward(books.ctx, "2003").run());
  ASSERT_TRUE(literal::syntheticUpdate(*books.walked.dm, "2003").done());
  literal::openNextYear(*books.walked.dm, "2003");
  ASSERT_EQ(literal::carryForward(*books.walked.dm, "2003"), "");
  EXPECT_EQ(books.difference("balanco", "CodCtaConCodCtaCor"), "");
  EXPECT_EQ(books.difference("fechamen", "Exercicio"), "");
}

} // namespace
