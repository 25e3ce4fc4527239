// 0,10 + 0,20 − 0,30 in binary floating point is 5.55e-17, not zero: each year routine keeps
// what it computes to four decimal places, so such a balance is zero with the nature's letter.
#include "period/balanceSheetUpdate.h"
#include "period/carryForward.h"
#include "period/incomeStatementUpdate.h"
#include "period/syntheticUpdate.h"
#include "period/yearOpening.h"
#include "yearBook.h"

using namespace esc;
using namespace esc::test;

namespace {

using YearRoutines = YearBook;

TEST_F(YearRoutines, KeepEveryBalanceToFourDecimalPlaces) {
  addPair("111111", "0001", "D", "6", 0, 0.1);
  addPair("111111", "0002", "D", "6", 0, 0.2);
  addPair("111111", "0003", "D", "6", 0, -0.3);
  addPair("111111", "0004", "D", "6", 0, 0.1 + 0.2 - 0.3); // a residue stored earlier
  addPair("299999", "999", "C", "6");
  addPair("300000", "999", "C", "1");
  addPair("311111", "999", "C", "6", 0, 0.1);
  addPair("311112", "999", "C", "6", 0, 0.2);
  addPair("311113", "999", "D", "6", 0, 0.3);
  moves("200301311111999", 0.1, 0);
  moves("200301311112999", 0.2, 0);
  moves("200301311113999", 0, 0.3);
  db.exec("INSERT INTO demresul (OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, "
          "SinalDoGrupo) VALUES ('01', '300000', '399999', 'RECEITAS', '+'), "
          "('02', '', '', 'RESULTADO', '=')");
  NoProgress progress;

  ASSERT_TRUE(syntheticUpdate(db, "2003", progress).isDone());
  EXPECT_EQ(row("200301299999999"), (QVariantList{0.0, "C", 0.3, 0.3, 0.0, "C"}));
  EXPECT_EQ(row("200301300000999"), (QVariantList{0.0, "C", 0.3, 0.3, 0.0, "C"}));

  ASSERT_TRUE(updateIncomeStatement(db, "200301", progress).isDone());
  EXPECT_EQ(db.select("SELECT SaldoDoGrupo, Acumulado FROM demresul ORDER BY OrdemDoGrupo"),
            (QVector<QVariantList>{{0.0, 0.0}, {0.0, 0.0}}));

  ASSERT_TRUE(updateBalanceSheet(db, "2003", progress).isDone());
  EXPECT_EQ(db.select("SELECT SaldoAtual, TipoSaldoAtual FROM balpatri WHERE "
                      "CodigoContaContabil = '111111'"),
            (QVector<QVariantList>{{0.0, "D"}}));

  ASSERT_TRUE(openNextYear(db, "2003", progress).isDone());
  EXPECT_EQ(row("2004011111110004").value(4), QVariant(0.0));

  moves("2004011111110001", 0.2, 0.3);
  ASSERT_TRUE(carryForward(db, "2003", progress).isDone());
  EXPECT_EQ(row("2004011111110001"), (QVariantList{0.1, "D", 0.2, 0.3, 0.0, "D"}));
}

} // namespace
