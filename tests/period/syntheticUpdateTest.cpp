#include "period/syntheticUpdate.h"
#include "yearBook.h"

using namespace esc;
using namespace esc::test;

namespace {

using SyntheticUpdateTest = YearBook;
const QString noYear =
    "Não foi selecionado exercício o financeiro para o qual o sistema estará atuando.";

TEST_F(SyntheticUpdateTest, RefusalsComeInOrderAndTouchNothing) {
  addPair("111111", "999", "D", "6", 10, 10);
  addPair("100000", "999", "D", "1");
  const auto before = dump(db, "balanco");
  EXPECT_FALSE(atuSaldo("  "));
  // Closed and without the result account: the closed year speaks first.
  setState("2003", "F");
  EXPECT_FALSE(atuSaldo("2003"));
  setState("2003", "");
  EXPECT_FALSE(atuSaldo("2003"));
  EXPECT_EQ(said(), (QStringList{noYear, "Exercício de 2003 está fechado. Reabra antes.",
                                 "Conta 299999, conta corrente 999 não cadastrada. Cadastre-a "
                                 "antes."}));
  EXPECT_EQ(firstDifference(before, dump(db, "balanco")), "");
}

// Groups 3 and 4 feed the result account month by month; synthetic rows sum what lies after
// them under their prefix, the other nature counting negatively.
TEST_F(SyntheticUpdateTest, WorkedYear) {
  addPair("100000", "999", "D", "1");
  addPair("111111", "999", "D", "6", 50, 80);
  addPair("111112", "999", "C", "6", 100, 300); // the other nature: lowers 100000
  addPair("200000", "999", "C", "1");
  addPair("290000", "999", "C", "2");
  addPair("299999", "999", "C", "6");
  addPair("311111", "999", "C", "6");
  addPair("411111", "999", "D", "6");
  addPair("411112", "999", "", "6");  // no nature: not part of the result
  addPair("511111", "999", "D", "6"); // group 5: never read for the result
  set("200301299999999", "SaldoAnterior", 1000.0);
  set("200301299999999", "TipoSaldoAnterior", "D"); // the roll-up leaves it alone
  moves("200301311111999", 20, 500);
  moves("200301411111999", 200, 0);
  moves("200301411112999", 999, 999);
  moves("200301511111999", 7, 7);
  moves("200303311111999", 0, 100);
  moves("200301111111999", 5, 6);
  moves("200301111112999", 1, 2);
  // The result account's own movements are replaced by the month's sums.
  moves("200302299999999", 3, 4);

  // Where the chart and the trial balance stand before: these become the search texts.
  book.dm->TbContas->setOrder("SI_NomCtaCon");
  ASSERT_TRUE(book.dm->TbContas->locate("CodigoContaContabil", "111112"));
  ASSERT_TRUE(book.dm->TbBalanco->findKey({"200305111111999"}));

  ASSERT_TRUE(atuSaldo("2003"));
  EXPECT_EQ(said(), QStringList{"Foram atualizadas 36 contas sintéticas."});
  EXPECT_EQ(book.ui.rangeMax, 12);
  EXPECT_EQ(book.ui.position, 0);

  EXPECT_EQ(row("200301299999999"), (QVariantList{1000.0, "D", 220.0, 500.0, 1280.0, "C"}));
  EXPECT_EQ(row("200302299999999"), (QVariantList{1280.0, "C", 0.0, 0.0, 1280.0, "C"}));
  EXPECT_EQ(row("200303299999999"), (QVariantList{1280.0, "C", 0.0, 100.0, 1380.0, "C"}));
  EXPECT_EQ(row("200312299999999"), (QVariantList{1380.0, "C", 0.0, 0.0, 1380.0, "C"}));
  // Group 2's synthetic rows take the result account's new balance in the same month.
  EXPECT_EQ(row("200301290000999"), (QVariantList{1000.0, "C", 220.0, 500.0, 1280.0, "C"}));
  EXPECT_EQ(row("200301200000999"), (QVariantList{1000.0, "C", 220.0, 500.0, 1280.0, "C"}));
  // 50 - 100 and 80 - 300: below zero, so the letter is the other side of the nature.
  EXPECT_EQ(row("200301100000999"), (QVariantList{-50.0, "C", 6.0, 8.0, -220.0, "C"}));
  EXPECT_EQ(row("200312100000999"), (QVariantList{-50.0, "C", 0.0, 0.0, -220.0, "C"}));
  // Analytic rows are only read.
  EXPECT_EQ(row("200301411112999"), (QVariantList{0.0, "", 999.0, 999.0, 0.0, ""}));

  Table& chart = *book.dm->TbContas;
  Table& balance = *book.dm->TbBalanco;
  EXPECT_EQ(chart.order(), "");
  EXPECT_EQ(chart.field("CodCtaConCodCtaCor").asString(), "299999999");
  EXPECT_EQ(ctx.searchText(SearchKind::Contas), "111112");
  EXPECT_EQ(balance.order(), "");
  EXPECT_FALSE(balance.filtered());
  EXPECT_EQ(ctx.searchText(SearchKind::Balanco), "200305111111999");

  // A second run, without the page, computes the same values and so writes no row.
  const auto first = dump(db, "balanco");
  NoProgress quiet;
  const OperationResult again = syntheticUpdate(db, "2003", quiet);
  EXPECT_EQ(again.message(), "Foram atualizadas 36 contas sintéticas.");
  EXPECT_EQ(again.figure("rows written"), 0);
  EXPECT_EQ(firstDifference(first, dump(db, "balanco")), "");
}

TEST_F(SyntheticUpdateTest, OpenedAndReopenedYearsAreUpdatedEvenWithoutSyntheticAccounts) {
  addPair("299999", "999", "C", "6");
  addPair("311111", "999", "C", "6");
  moves("200306311111999", 0, 40);
  for (const QString s : {"T", "R"}) {
    setState("2003", s);
    book.ui.clear();
    ASSERT_TRUE(atuSaldo("2003"));
    EXPECT_EQ(said(), QStringList{"Foram atualizadas 0 contas sintéticas."});
    EXPECT_EQ(row("200312299999999").value(4), 40.0);
  }
}

TEST_F(SyntheticUpdateTest, MissingResultMonthKeepsNothing) {
  addPair("200000", "999", "C", "1");
  addPair("299999", "999", "C", "6");
  addPair("311111", "999", "C", "6");
  moves("200302311111999", 0, 40);
  db.exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200307299999999'");
  const Snapshot before = snapshot();
  EXPECT_FALSE(atuSaldo("2003"));
  EXPECT_EQ(said(),
            QStringList{"Conta 299999 conta corrente 999 não localizada no período 200307"});
  EXPECT_EQ(book.ui.position, 6); // where the missing month stopped it
  expectUnchanged(before);
  EXPECT_FALSE(book.dm->TbBalanco->filtered());

  db.exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200301299999999'");
  NoProgress quiet;
  const OperationResult r = syntheticUpdate(db, "2003", quiet);
  EXPECT_EQ(r.message(), "Conta 299999 conta corrente 999 não localizada no período 200301");
  EXPECT_EQ(r.reason(), int(SyntheticRefusal::MissingResultMonth));
  EXPECT_EQ(r.figure("months done"), 0);
  EXPECT_EQ(said().size(), 1); // the engine says nothing itself
}

TEST_F(SyntheticUpdateTest, StoreFailureMidYearKeepsNothing) {
  fillRandomBook(db, RandomBook{});
  const Snapshot before = snapshot();
  failWhen(db, "balanco", "UPDATE", "NEW.Periodo = '200306' AND NEW.NivelDaConta < '6'");
  EXPECT_FALSE(atuSaldo("2003"));
  stopFailing(db);
  EXPECT_EQ(book.ui.texts("error"),
            QStringList{"Não foi possível gravar os dados: falha simulada"});
  EXPECT_TRUE(book.ui.texts("message").isEmpty());
  expectUnchanged(before);
}

// The result account's chain on a random book: each month opens with the last one's closing,
// and December closes at January's opening plus the year's result.
TEST_F(SyntheticUpdateTest, ResultChainCarriesTheYear) {
  RandomBook o;
  o.seed = 21;
  o.analyticCodes = 60;
  fillRandomBook(db, o);
  ASSERT_TRUE(atuSaldo("2003"));
  for (int m = 2; m <= 12; ++m)
    EXPECT_EQ(row("2003" + twoDigits(m) + "299999999").value(0),
              row("2003" + twoDigits(m - 1) + "299999999").value(4));
  const double result =
      db.selectValue("SELECT total(ValorCredito) - total(ValorDebito) FROM balanco WHERE Periodo "
                     "LIKE '2003%' AND NivelDaConta = '6' AND NaturezaDaConta IN ('D', 'C') AND "
                     "substr(CodigoContaContabil, 1, 1) IN ('3', '4')")
          .toDouble();
  EXPECT_NEAR(row("200312299999999").value(4).toDouble(),
              row("200301299999999").value(0).toDouble() + result, 1e-6);
}

} // namespace
