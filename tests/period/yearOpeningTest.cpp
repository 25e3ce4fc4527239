#include "yearBook.h"

using namespace esc;
using namespace esc::test;

namespace {

class YearOpeningTest : public YearBook {
protected:
  bool open(bool answer = true) {
    book.ui.confirmAnswers = {answer};
    return aberExer("2003");
  }
  int rowsOf(const QString& year) {
    return db.selectValue("SELECT count(*) FROM balanco WHERE Periodo LIKE ?", {year + "%"})
        .toInt();
  }
};

TEST_F(YearOpeningTest, RefusalsAndNoChangeNothing) {
  addPair("111111", "999", "D", "6", 100, 150);
  const Snapshot before = snapshot();
  EXPECT_FALSE(aberExer(""));
  EXPECT_FALSE(open(false));
  // The year after 9998 would not fit the four characters of a period's year.
  for (const char* year : {"9999", "1899"}) {
    book.ui.confirmAnswers = {true};
    EXPECT_FALSE(aberExer(year));
  }
  EXPECT_EQ(said(), (QStringList{"Não foi selecionado exercício o financeiro para o qual o sistema "
                                 "estará atuando.",
                                 "Confirma a abertura do exercício de 2004?",
                                 "Exercício 9999 fora do intervalo aceito (1900 a 9998).",
                                 "Exercício 1899 fora do intervalo aceito (1900 a 9998)."}));
  expectUnchanged(before);

  ASSERT_TRUE(open());
  const auto opened = dumpAll(db);
  book.ui.clear();
  EXPECT_FALSE(open());
  EXPECT_EQ(said(), (QStringList{"Confirma a abertura do exercício de 2004?",
                                 "Exercício de 2004 já foi aberto anteriormente."}));
  EXPECT_EQ(firstDifference(opened, dumpAll(db)), "");
}

TEST_F(YearOpeningTest, TwelveRowsForEachDecemberRow) {
  addPair("100000", "999", "D", "1", -5, -7);
  addPair("111111", "999", "D", "6", 100, 150);
  addPair("299999", "999", "C", "6", 10, 20);
  addPair("311111", "999", "C", "6", 70, 90);
  addPair("411111", "999", "D", "6", 1, 2);
  set("200312100000999", "TipoSaldoAnterior", "C");
  set("200312100000999", "TipoSaldoAtual", "C");
  moves("200312111111999", 30, 40); // movements are not carried into the new year
  set("200312311111999", "TipoSaldoAtual", "D");
  db.exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200312411111999'");
  setState("2003", "F");
  book.dm->TbBalanco->setFilter("Periodo=200305");
  book.dm->TbBalanco->setFiltered(true);

  ASSERT_TRUE(open());
  EXPECT_EQ(said(), (QStringList{"Confirma a abertura do exercício de 2004?",
                                 "Abertura do exercício de 2004 concluída."}));
  EXPECT_EQ(book.ui.rangeMax, 4);
  EXPECT_EQ(book.ui.position, 0);
  EXPECT_EQ(rowsOf("2004"), 4 * 12);
  for (int m = 1; m <= 12; ++m) {
    const QString p = "2004" + twoDigits(m);
    EXPECT_EQ(row(p + "100000999"), (QVariantList{-5.0, "C", 0.0, 0.0, -7.0, "C"}));
    EXPECT_EQ(row(p + "111111999"), (QVariantList{100.0, "D", 0.0, 0.0, 150.0, "D"}));
    EXPECT_EQ(row(p + "299999999"), (QVariantList{10.0, "C", 0.0, 0.0, 20.0, "C"}));
    // Result accounts start at zero with their nature as letters.
    EXPECT_EQ(row(p + "311111999"), (QVariantList{0.0, "C", 0.0, 0.0, 0.0, "C"}));
    EXPECT_TRUE(row(p + "411111999").isEmpty());
  }
  EXPECT_EQ(db.select("SELECT CodigoContaContabil, CodigoContaCorrente, Periodo, "
                      "NaturezaDaConta, NivelDaConta FROM balanco WHERE CodCtaConCodCtaCor = "
                      "'200407100000999'"),
            (QVector<QVariantList>{{"100000", "999", "200407", "D", "1"}}));
  EXPECT_EQ(state("2003"), "T");
  EXPECT_EQ(state("2004"), "");
  EXPECT_EQ(book.dm->TbFechamen->field("Exercicio").asString(), "2004");
  EXPECT_FALSE(book.dm->TbBalanco->filtered());
}

TEST_F(YearOpeningTest, DuplicateRowOfTheNewYearKeepsEverything) {
  addPair("111111", "999", "D", "6", 100, 150);
  addPair("211111", "999", "C", "6", 100, 150);
  addPair("211111", "999", "C", "6", 0, 0, "2004"); // rows of 2004 without the year's row
  const Snapshot before = snapshot();
  EXPECT_FALSE(open());
  EXPECT_EQ(book.ui.texts("error"), QStringList{"Key violation."});
  EXPECT_EQ(book.ui.texts("message"), QStringList{});
  expectUnchanged(before);
}

TEST_F(YearOpeningTest, StoreFailureAtTheLastStepKeepsEverything) {
  fillRandomBook(db, RandomBook{});
  const Snapshot before = snapshot();
  failWhen(db, "fechamen", "INSERT", "1");
  EXPECT_FALSE(open());
  stopFailing(db);
  EXPECT_EQ(book.ui.texts("error"),
            QStringList{"Não foi possível gravar os dados: falha simulada"});
  expectUnchanged(before);
}

} // namespace
