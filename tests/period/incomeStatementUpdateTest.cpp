#include "period/incomeStatementUpdate.h"
#include "journal/posting.h"
#include "period/syntheticUpdate.h"
#include "statementsHelpers.h"

namespace esc::test {
namespace {

struct IncomeStatement : StatementsBook {
  // Own total and accumulated value of each line, in the order of the lines' numbers.
  QStringList amounts() {
    QStringList out;
    for (const QVariantList& r : db().select("SELECT OrdemDoGrupo, SaldoDoGrupo, Acumulado, "
                                             "AnoEMes FROM demresul ORDER BY OrdemDoGrupo"))
      out << QString("%1 %2 %3 %4")
                 .arg(r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString());
    return out;
  }
  bool run(const std::optional<QString>& period) {
    ui.promptAnswers = {period};
    return page.atuDemRes();
  }
};

TEST(IncomeStatementUpdate, FiveLinesWithSubtotalsAndAStandAloneLine) {
  IncomeStatement b;
  // The revenue's synthetic rows carry totals of their own, which the lines must not count.
  b.balanco("200403", "310000", "999", "2", "C", 5000);
  b.balanco("200403", "311111", "999", "6", "C", 1000);
  b.balanco("200403", "411111", "999", "6", "D", 400);
  b.balanco("200403", "411112", "999", "6", "D", 100);
  b.balanco("200403", "511111", "999", "6", "D", 250);
  // Another month's rows stay out.
  b.balanco("200402", "311111", "999", "6", "C", 77);
  b.balanco("200404", "411111", "999", "6", "D", 77);
  b.line("01", "310000", "311999", "RECEITAS", "+");
  b.line("02", "411000", "411112", "DESPESAS", "-");
  b.line("03", "", "", "SUBTOTAL", "=");
  b.line("04", "411112", "411113", "OUTRAS DESPESAS", "-");
  b.line("05", "", "", "RESULTADO", "=");
  b.line("06", "511000", "511999", "À PARTE", "");
  b.reread();

  ASSERT_TRUE(b.run(QString("200403")));
  EXPECT_EQ(b.ui.lastPromptTitle, "Atualização");
  EXPECT_EQ(b.ui.lastPromptLabel, "Informe o período para atualizar (AAAAMM):");
  EXPECT_EQ(b.ui.lastPromptDefault, "");
  EXPECT_EQ(b.amounts(), QStringList({"01 1000 0 200403", "02 400 0 200403", "03 0 600 200403",
                                      "04 100 0 200403", "05 0 500 200403", "06 0 250 200403"}));
  EXPECT_EQ(b.ui.texts("message"),
            QStringList({"Atualização concluída para o período de 03/2004."}));
  EXPECT_EQ(b.ui.rangeMax, 12);
  EXPECT_EQ(b.ui.position, 0);
  // The page shows the last line, as the walk leaves it.
  EXPECT_EQ(b.dm->TbDemResul->field("OrdemDoGrupo").asString(), "06");
}

TEST(IncomeStatementUpdate, RangesBoundsAndTheNatureOfTheFirstRow) {
  IncomeStatement b;
  // The range's first row is a debit-natured synthetic account: a balance on the credit side
  // and a credit-natured account both reduce the line.
  b.balanco("200407", "410000", "999", "2", "D", 0);
  b.balanco("200407", "411111", "999", "6", "D", 300);
  b.balanco("200407", "411112", "0001", "6", "D", -50); // stored signed, letter "C"
  b.balanco("200407", "411112", "0002", "6", "C", 30);
  b.balanco("200407", "411113", "999", "6", "D", 20); // ContaFinal's own row: outside
  b.balanco("200407", "611111", "999", "6", "C", 90);
  b.line("01", "410000", "411113", "DESPESAS", "+");
  b.line("02", "411111", "411113", "SÓ AS DUAS", "+");
  b.line("03", "500000", "599999", "NADA NO INTERVALO", "+");
  b.line("04", "700000", "799999", "ALÉM DA ÚLTIMA CONTA", "+");
  b.line("05", "611111", "611111", "ÚLTIMA", "+");
  b.line("06", "", "", "TOTAL", "=");
  b.line("07", "", "", "OUTRO SINAL", "*");
  b.reread();

  ASSERT_TRUE(b.run(QString("200407")));
  // 02 starts at an analytic debit row: the same rows count the same way. A range beyond
  // every row of the month holds nothing, though the nearest row is then the last one.
  // A line of an unknown sign keeps its accumulated value and gets its own total.
  EXPECT_EQ(b.amounts(),
            QStringList({"01 220 0 200407", "02 220 0 200407", "03 0 0 200407", "04 0 0 200407",
                         "05 0 0 200407", "06 0 440 200407", "07 0 7 200407"}));
}

TEST(IncomeStatementUpdate, APeriodWithoutRowsOrCancelChangesNothing) {
  IncomeStatement b;
  b.balanco("200403", "311111", "999", "6", "C", 1000);
  b.balanco("", "311111", "999", "6", "C", 1000); // a blank period is not the empty answer's
  b.line("01", "310000", "319999", "RECEITAS", "+");
  b.reread();
  const QStringList before = b.dump("demresul");

  EXPECT_FALSE(b.run(std::nullopt));
  EXPECT_EQ(b.ui.texts(), QStringList({"Atualização"}));
  for (const char* period : {"200405", "", "   ", "2004'3"}) {
    b.ui.clear();
    EXPECT_FALSE(b.run(QString(period)));
    EXPECT_EQ(b.ui.texts("message"),
              QStringList({"Não existem registros para o período informado."}))
        << period;
    EXPECT_EQ(b.dump("demresul"), before);
  }
}

TEST(IncomeStatementUpdate, FollowsTheLinesActiveOrderAndLeavesTheTrialBalanceInItsKeyOrder) {
  IncomeStatement b;
  b.balanco("200403", "311111", "999", "6", "C", 1000);
  b.balanco("200403", "411111", "999", "6", "D", 400);
  // By name: "A RESULTADO" comes first, while nothing is summed yet.
  b.line("01", "311000", "311999", "B RECEITAS", "+");
  b.line("02", "411000", "411999", "C DESPESAS", "-");
  b.line("03", "", "", "A RESULTADO", "=");
  b.reread();
  b.dm->TbDemResul->setOrder("SI_NomeGrupo");
  Table& bal = *b.dm->TbBalanco;
  bal.setOrder("SI_CodCtaCor");
  bal.last();
  const QString current = bal.field("CodCtaConCodCtaCor").asString();

  ASSERT_TRUE(b.run(QString("200403")));
  EXPECT_EQ(b.amounts(), QStringList({"01 1000 0 200403", "02 400 0 200403", "03 0 0 200403"}));
  EXPECT_EQ(bal.order(), "");
  EXPECT_FALSE(bal.filtered());
  EXPECT_EQ(b.ctx.searchText(SearchKind::Balanco), current);
  EXPECT_EQ(b.dm->TbDemResul->order(), "SI_NomeGrupo");
}

// The demo book's lines take every account of the result: after the year's updates the
// statement's result is the year's result the result account holds.
TEST(IncomeStatementUpdate, TheDemoBooksResultIsTheResultAccounts) {
  OpenBook book(true, 2004, true);
  Database& db = book.dm->database();
  NoProgress progress;
  ASSERT_TRUE(syntheticUpdate(db, "2004", progress).isDone());
  ASSERT_TRUE(updateIncomeStatement(db, "200412", progress).isDone());
  auto result = [&](const char* column, const char* period) {
    return db
        .selectValue(QString("SELECT %1 FROM balanco WHERE CodCtaConCodCtaCor = ?").arg(column),
                     {QString(period) + "299999999"})
        .toDouble();
  };
  const double held = result("SaldoAtual", "200412") - result("SaldoAnterior", "200401");
  EXPECT_NE(held, 0.0);
  EXPECT_EQ(db.selectValue("SELECT Acumulado FROM demresul WHERE SinalDoGrupo = '='").toDouble(),
            roundAmount(held));
}

// The compute stage alone: each line's total on the nature of its range's first row, and the
// running result through the signs.
TEST(IncomeStatementUpdate, TheComputeStageOnPlainLines) {
  using namespace incomeStatement;
  const QVector<Line> lines = {
      {1, "+", 7, {{"2", "C", 5000}, {"6", "C", 1000}, {"6", "D", 300}}},
      {2, "-", 7, {{"6", "D", 0.1}, {"6", "D", 0.2}}},
      {3, "=", 7, {}},
      {4, "", 7, {{"6", "D", 250}}},
      {5, "*", "kept", {{"6", "D", 9}}},
  };
  QStringList out;
  for (const Values& v : compute(lines))
    out << QString("%1 %2 %3").arg(v.rowId).arg(v.own.toString(), v.accumulated.toString());
  EXPECT_EQ(out, QStringList({"1 700 0", "2 0.3 0", "3 0 699.7", "4 0 250", "5 9 kept"}));
}

TEST(IncomeStatementUpdate, AFailureHalfWayLeavesEveryLineAsItWas) {
  IncomeStatement b;
  b.balanco("200403", "311111", "999", "6", "C", 1000);
  b.line("01", "311000", "311999", "RECEITAS", "+");
  b.line("02", "", "", "RESULTADO", "=");
  b.reread();
  const QStringList before = b.dump("demresul");
  b.db().execScript("CREATE TEMP TRIGGER falha BEFORE UPDATE ON f_demresul.demresul "
                    "WHEN new.OrdemDoGrupo = '02' BEGIN SELECT RAISE(ABORT, 'disco cheio'); END;");
  EXPECT_FALSE(b.run(QString("200403")));
  EXPECT_EQ(b.ui.texts("error"), QStringList({"Não foi possível gravar os dados: disco cheio"}));
  EXPECT_TRUE(b.ui.texts("message").isEmpty());
  EXPECT_EQ(b.dump("demresul"), before);
  EXPECT_EQ(b.ui.position, 0);
}

} // namespace
} // namespace esc::test
