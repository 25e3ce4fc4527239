#include "yearBook.h"

using namespace esc;
using namespace esc::test;

namespace {

class YearStateTest : public YearBook {
protected:
  bool close(bool answer = true, const QString& year = "2003") {
    book.ui.confirmAnswers = {answer};
    return onYear(year, &AtualizacoesPage::fechaExercicio);
  }
  bool reopen(bool answer = true, const QString& year = "2003") {
    book.ui.confirmAnswers = {answer};
    return onYear(year, &AtualizacoesPage::abreExercicio);
  }
  QString lastSaid() { return said().value(said().size() - 1); }
};

TEST_F(YearStateTest, ClosingAndReopeningFollowTheStates) {
  EXPECT_FALSE(close(true, " "));
  EXPECT_FALSE(reopen(true, ""));
  EXPECT_FALSE(close(true, "2010"));
  EXPECT_FALSE(reopen(true, "2010"));
  EXPECT_EQ(said(),
            (QStringList{"Não foi selecionado exercício o financeiro para o qual o sistema estará "
                         "atuando.",
                         "Não foi selecionado exercício o financeiro para o qual o sistema estará "
                         "atuando.",
                         "Não existem dados para o exercício de 2010",
                         "Não existem dados para o exercício de 2010"}));
  book.ui.clear();

  EXPECT_FALSE(reopen()); // open (blank) is not closed
  EXPECT_EQ(lastSaid(), "Exercício de 2003 não está fechado.");
  EXPECT_FALSE(close(false));
  EXPECT_EQ(state("2003"), "");
  ASSERT_TRUE(close());
  EXPECT_EQ(state("2003"), "F");
  EXPECT_FALSE(close());
  EXPECT_EQ(lastSaid(), "Exercício de 2003 já foi fechado anteriormente.");
  EXPECT_FALSE(reopen(false));
  EXPECT_EQ(state("2003"), "F");
  ASSERT_TRUE(reopen());
  EXPECT_EQ(state("2003"), "R");
  EXPECT_FALSE(reopen());
  EXPECT_EQ(lastSaid(), "Exercício de 2003 não está fechado.");
  EXPECT_EQ(
      said(),
      (QStringList{
          "Exercício de 2003 não está fechado.", "Confirma o fechamento do exercicio?",
          "Confirma o fechamento do exercicio?", "Exercício de 2003 foi fechado neste momento.",
          "Exercício de 2003 já foi fechado anteriormente.", "Confirma a reabertura do exercicio?",
          "Confirma a reabertura do exercicio?", "Exercício de 2003 foi reaberto neste momento.",
          "Exercício de 2003 não está fechado."}));

  // A year whose next one was opened loses its "T" when closed, and comes back as "R".
  setState("2003", "T");
  EXPECT_FALSE(reopen());
  ASSERT_TRUE(close());
  ASSERT_TRUE(reopen());
  EXPECT_EQ(state("2003"), "R");
}

// The closed year refuses the roll-up and being carried into; reopened, both work again.
TEST_F(YearStateTest, ClosedYearRefusesRollUpAndCarry) {
  addPair("299999", "999", "C", "6", 0, 10);
  addPair("299999", "999", "C", "6", 0, 0, "2004");
  setState("2004", "");
  ASSERT_TRUE(close(true, "2004"));
  book.ui.clear();
  EXPECT_FALSE(atuSaldo("2004"));
  EXPECT_FALSE(transpSdo("2003"));
  EXPECT_EQ(said(), (QStringList{"Exercício de 2004 está fechado. Reabra antes.",
                                 "Exercício de 2004 está fechado. Abra-o antes."}));
  ASSERT_TRUE(reopen(true, "2004"));
  book.ui.confirmAnswers = {true};
  EXPECT_TRUE(atuSaldo("2004"));
  EXPECT_TRUE(transpSdo("2003"));
  EXPECT_EQ(row("200412299999999").value(4), 10.0);
}

// The page's five buttons reach their routines, with the year the selector shows.
TEST_F(YearStateTest, PageButtonsRunTheRoutines) {
  addPair("299999", "999", "C", "6");
  ctx.year = "";
  for (QPushButton* b : {page.ButAtuSaldo, page.ButAberExer, page.ButTranspSdo,
                         page.ButFechaExercicio, page.ButAbreExercicio})
    b->click();
  EXPECT_EQ(said(), QStringList(5, "Não foi selecionado exercício o financeiro para o qual o "
                                   "sistema estará atuando."));
  ctx.year = "2003";
  book.ui.clear();
  book.ui.confirmAnswers = {true, true, true, true};
  page.ButAtuSaldo->click();
  page.ButAberExer->click();
  page.ButTranspSdo->click();
  page.ButFechaExercicio->click();
  page.ButAbreExercicio->click();
  EXPECT_EQ(book.ui.texts("message"),
            (QStringList{"Foram atualizadas 0 contas sintéticas.",
                         "Abertura do exercício de 2004 concluída.",
                         "Retransposição de saldos de 2003 para 2004 concluída. 1 contas "
                         "retranspostas.",
                         "Exercício de 2003 foi fechado neste momento.",
                         "Exercício de 2003 foi reaberto neste momento."}));
  EXPECT_EQ(state("2003"), "R");
}

} // namespace
