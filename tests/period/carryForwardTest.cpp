#include "period/carryForward.h"
#include "yearBook.h"

using namespace esc;
using namespace esc::test;

namespace {

class CarryForwardTest : public YearBook {
protected:
  bool carry(bool answer = true) {
    book.ui.confirmAnswers = {answer};
    return transpSdo("2003");
  }
  // A pair in both years, December 2003 closing at `closing` with `letter`.
  void addBoth(const QString& code, const QString& current, const QString& nature,
               const QString& level, double closing, const QString& letter) {
    addPair(code, current, nature, level, 0, closing);
    addPair(code, current, nature, level, 0, 0, "2004");
    set("200312" + code + current, "TipoSaldoAtual", letter);
  }
};

TEST_F(CarryForwardTest, RefusalsAndNoChangeNothing) {
  addBoth("111111", "999", "D", "6", 500, "D");
  const Snapshot before = snapshot();
  EXPECT_FALSE(transpSdo(""));
  EXPECT_FALSE(carry());
  setState("2004", "F");
  EXPECT_FALSE(carry());
  setState("2004", "");
  EXPECT_FALSE(carry(false));
  EXPECT_EQ(said(),
            (QStringList{
                "Não foi selecionado exercício o financeiro para o qual o sistema estará atuando.",
                "Exercício de 2004 ainda não foi aberto.",
                "Exercício de 2004 está fechado. Abra-o antes.",
                "Confirma a retransposição dos saldos de 2003 para 2004?"}));
  db.exec("DELETE FROM fechamen WHERE Exercicio = '2004'");
  EXPECT_EQ(firstDifference(before.rows, dumpAll(db)), "");
}

TEST_F(CarryForwardTest, WorkedCarry) {
  addBoth("100000", "999", "D", "1", 777, "D");    // synthetic rows are carried too
  addBoth("111111", "999", "D", "6", 500, "D");    // crosses to the other side in January
  addBoth("111112", "999", "", "6", 42, "D");      // no nature: its closings stay as they are
  addBoth("299999", "999", "C", "6", 1234.5, "C"); // the year's result goes into the next year
  addBoth("311111", "999", "C", "6", 900, "C");    // a result account starts at zero
  moves("200401111111999", 100, 700);
  moves("200403111111999", 50, 0);
  moves("200404311111999", 0, 25);
  set("200406111112999", "SaldoAtual", 7.0);
  db.exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200405111111999'");
  setState("2004", "T");
  ASSERT_TRUE(book.dm->TbBalanco->findKey({"200302111111999"}));

  ASSERT_TRUE(carry());
  EXPECT_EQ(said(), (QStringList{"Confirma a retransposição dos saldos de 2003 para 2004?",
                                 "Retransposição de saldos de 2003 para 2004 concluída. 5 contas "
                                 "retranspostas."}));
  EXPECT_EQ(book.ui.rangeMax, 5);
  EXPECT_EQ(book.ui.position, 0);

  EXPECT_EQ(row("200401111111999"), (QVariantList{500.0, "D", 100.0, 700.0, -100.0, "C"}));
  EXPECT_EQ(row("200402111111999"), (QVariantList{-100.0, "C", 0.0, 0.0, -100.0, "C"}));
  EXPECT_EQ(row("200403111111999"), (QVariantList{-100.0, "C", 50.0, 0.0, -50.0, "C"}));
  // May is missing: June opens with April's closing.
  EXPECT_EQ(row("200406111111999"), (QVariantList{-50.0, "C", 0.0, 0.0, -50.0, "C"}));
  EXPECT_EQ(row("200412111111999"), (QVariantList{-50.0, "C", 0.0, 0.0, -50.0, "C"}));
  EXPECT_EQ(row("200401299999999"), (QVariantList{1234.5, "C", 0.0, 0.0, 1234.5, "C"}));
  EXPECT_EQ(row("200412100000999"), (QVariantList{777.0, "D", 0.0, 0.0, 777.0, "D"}));
  EXPECT_EQ(row("200401311111999"), (QVariantList{0.0, "C", 0.0, 0.0, 0.0, "C"}));
  EXPECT_EQ(row("200404311111999"), (QVariantList{0.0, "C", 0.0, 25.0, 25.0, "C"}));
  EXPECT_EQ(row("200406111112999"), (QVariantList{42.0, "D", 0.0, 0.0, 7.0, ""}));
  EXPECT_EQ(row("200412111112999"), (QVariantList{42.0, "D", 0.0, 0.0, 0.0, ""}));
  // The selected year is only read; neither year changes state.
  EXPECT_EQ(row("200312111111999"), (QVariantList{0.0, "D", 0.0, 0.0, 500.0, "D"}));
  EXPECT_EQ(state("2003"), "");
  EXPECT_EQ(state("2004"), "T");

  Table& balance = *book.dm->TbBalanco;
  EXPECT_EQ(balance.order(), "");
  EXPECT_FALSE(balance.filtered());
  EXPECT_EQ(ctx.searchText(SearchKind::Balanco), "200302111111999");

  // Again, as after late December entries: the same next year.
  const auto first = dump(db, "balanco");
  book.ui.clear();
  setState("2004", "R");
  ASSERT_TRUE(carry());
  EXPECT_EQ(firstDifference(first, dump(db, "balanco")), "");
}

TEST_F(CarryForwardTest, MissingJanuaryKeepsNothing) {
  addBoth("111111", "999", "D", "6", 500, "D");
  addBoth("211111", "999", "C", "6", 300, "C");
  addBoth("311111", "999", "C", "6", 900, "C");
  db.exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200401211111999'");
  setState("2004", "");
  const Snapshot before = snapshot();
  EXPECT_FALSE(carry());
  EXPECT_EQ(said(), (QStringList{"Confirma a retransposição dos saldos de 2003 para 2004?",
                                 "Erro. Chave 200401211111999 não localizada no balancete."}));
  EXPECT_EQ(book.ui.position, 0);
  expectUnchanged(before);
}

// The compute stage alone: a chain over a missing month, a result account whose rows already
// hold what it carries (not written), and a December row without its January.
TEST(CarryForwardStages, TheComputeStageOnPlainRows) {
  using namespace carry;
  auto next = [](const QString& key, double debits, double credits, double before,
                 const QString& letter) {
    return NextRow{
        key, 0, debits, credits, before, letter, before, letter, {before, letter, before, letter}};
  };
  QVector<DecemberRow> sources = {{"111111", "999", "D", "D", 500},
                                  {"311111", "999", "C", "C", 900}};
  const QVector<NextRow> rows = {
      next("200401111111999", 100, 700, 0, "D"), next("200402111111999", 0, 0, 0, "D"),
      next("200412111111999", 0, 0, 0, "D"), next("200401311111999", 0, 0, 0, "C")};
  const Plan plan = compute("2004", sources, rows);
  EXPECT_EQ(plan.missingKey, "");
  QStringList out;
  for (const Plan::Write& w : plan.writes) {
    QStringList cells = {QString::number(w.source), w.row.key};
    for (const QVariant& v : w.row.values())
      cells << v.toString();
    out << cells.join(' ');
  }
  EXPECT_EQ(out, QStringList({"0 200401111111999 500 D -100 C", "0 200402111111999 -100 C -100 C",
                              "0 200412111111999 -100 C -100 C"}));

  sources.push_back({"211111", "999", "C", "C", 1});
  EXPECT_EQ(compute("2004", sources, rows).missingKey, "200401211111999");
}

TEST_F(CarryForwardTest, StoreFailureMidwayKeepsNothing) {
  RandomBook o;
  o.nextYear = true;
  fillRandomBook(db, o);
  const QString middle =
      db.selectValue("SELECT d.CodigoContaContabil || d.CodigoContaCorrente FROM balanco d "
                     "WHERE d.Periodo = '200312' AND EXISTS (SELECT 1 FROM balanco n WHERE "
                     "n.CodCtaConCodCtaCor = '200407' || d.CodigoContaContabil || "
                     "d.CodigoContaCorrente) ORDER BY d.CodCtaConCodCtaCor LIMIT 1 OFFSET 20")
          .toString();
  const Snapshot before = snapshot();
  failWhen(db, "balanco", "UPDATE", "NEW.CodCtaConCodCtaCor = '200407" + middle + "'");
  EXPECT_FALSE(carry());
  stopFailing(db);
  EXPECT_EQ(book.ui.texts("error"),
            QStringList{"Não foi possível gravar os dados: falha simulada"});
  expectUnchanged(before);
}

} // namespace
