#include "masterdata/demResulPage.h"
#include "bookFixture.h"
#include "widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace esc::test {
namespace {

struct DemResulPageTest : PageBook {
  DemResulPageTest() : page(ctx) {}
  QLineEdit* box(const char* name) { return child<QLineEdit>(&page, name); }
  void click(const char* button) { child<QPushButton>(&page, button)->click(); }
  void type(const char* name, const QString& text) { retype(box(name), text); }
  void typeGroup(const QString& first, const QString& last, const QString& name,
                 const QString& sign, const QString& order) {
    type("EditContaInicial", first);
    type("EditContaFinal", last);
    type("EditNomeDoGrupo", name);
    type("EditSinalDoGrupo", sign);
    type("EditOrdemDoGrupo", order);
  }
  Table& d() { return *dm->TbDemResul; }
  int groups() { return d().recordCount(); }
  DemResulPage page;
};

TEST(DemResulPage, GravarRefusesWithTheFirstFailingCheck) {
  struct Case {
    QString first, last, name, sign, order, message;
  };
  const QString initial = "Conta inicial tem de ter 6 dígitos em parâmetros com sinal de =.";
  const Case cases[] = {
      {"", "", "", "+", "", initial},
      {"31111", "311112", "X", "+", "04", initial},
      {"311111", "", "X", "-", "04",
       "Conta final tem de ter 6 dígitos em parâmetros com sinal de =."},
      {"", "", "", "=", "04", "Nome do Grupo não pode permanecer vazio."},
      {"311111", "311112", "X", "*", "04",
       "Sinal do Grupo não pode ser diferente de +, -, = ou (vazio)."},
      {"", "", "X", "=", "1", "Ordem do Grupo tem de ter dois dígitos."},
      {"", "", "X", "=", " ", "Ordem do Grupo tem de ter dois dígitos."},
  };
  DemResulPageTest t;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message.toStdString());
    t.click("ButDInserir");
    EXPECT_EQ(t.page.focusWidget(), t.box("EditContaInicial"));
    t.typeGroup(k.first, k.last, k.name, k.sign, k.order);
    t.ui.clear();
    t.click("ButDGravar");
    EXPECT_EQ(t.ui.texts(), QStringList({k.message}));
    EXPECT_EQ(t.d().state(), Table::State::Insert);
    t.click("ButDCancelar");
  }
  EXPECT_EQ(t.groups(), 3);
}

TEST(DemResulPage, SubtotalsAndUnsignedLinesAreSavedAsTyped) {
  DemResulPageTest t;
  // A subtotal needs no account range; nothing checks that codes are digits.
  t.click("ButDInserir");
  t.typeGroup("", "", "lucro bruto", "=", "04");
  t.click("ButDGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  EXPECT_EQ(t.d().state(), Table::State::Browse);
  EXPECT_EQ(t.d().field("NomeDoGrupo").asString(), "LUCRO BRUTO");

  // An empty sign passes; amounts are saved as typed, in the display form.
  t.click("ButDInserir");
  t.typeGroup("411111", "31111x", "d'água 5%", "", "05");
  t.type("EditSaldoDoGrupo", "1.234,56");
  t.type("EditAcumulado", "-7,5");
  t.click("ButDGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  ASSERT_TRUE(t.d().findKey({"05"}));
  EXPECT_EQ(t.d().field("ContaFinal").asString(), "31111x");
  EXPECT_EQ(t.d().field("NomeDoGrupo").asString(), "D'ÁGUA 5%");
  EXPECT_EQ(t.d().field("SinalDoGrupo").asString(), "");
  EXPECT_EQ(t.d().field("SaldoDoGrupo").asFloat(), 1234.56);
  EXPECT_EQ(t.d().field("Acumulado").asFloat(), -7.5);
  EXPECT_EQ(t.groups(), 5);

  // The name box holds the field's thirty characters and no more.
  t.click("ButDInserir");
  t.type("EditNomeDoGrupo", QString(35, 'a'));
  EXPECT_EQ(t.box("EditNomeDoGrupo")->text(), QString(30, 'A'));
  t.type("EditOrdemDoGrupo", "123");
  EXPECT_EQ(t.box("EditOrdemDoGrupo")->text(), "12");
}

TEST(DemResulPage, ARepeatedOrderNumberIsRefusedAndDuplicarNeedsANewOne) {
  DemResulPageTest t;
  t.dm->database().exec(
      "UPDATE demresul SET SaldoDoGrupo = 10.25, Acumulado = 99, AnoEMes = '200403' "
      "WHERE OrdemDoGrupo = '02'");
  t.d().refresh();
  ASSERT_TRUE(t.d().findKey({"02"}));
  t.click("ButDDuplicar");
  EXPECT_EQ(t.d().state(), Table::State::Insert);
  EXPECT_EQ(t.page.focusWidget(), t.box("EditContaInicial"));
  EXPECT_EQ(t.box("EditContaInicial")->text(), "411111");
  EXPECT_EQ(t.box("EditContaFinal")->text(), "499999");
  EXPECT_EQ(t.box("EditNomeDoGrupo")->text(), "DESPESAS ADMINISTRATIVAS");
  EXPECT_EQ(t.box("EditSinalDoGrupo")->text(), "-");
  EXPECT_EQ(t.box("EditOrdemDoGrupo")->text(), "02");
  EXPECT_EQ(t.box("EditSaldoDoGrupo")->text(), "10,25");
  // What the update wrote belongs to the original line.
  EXPECT_EQ(t.box("EditAcumulado")->text(), "");
  EXPECT_EQ(t.box("EditAnoEMes")->text(), "");

  t.click("ButDGravar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Numero de ordem já cadastrado."}));
  EXPECT_EQ(t.ui.said.front().kind, "error");
  EXPECT_EQ(t.d().state(), Table::State::Insert);
  EXPECT_EQ(t.box("EditNomeDoGrupo")->text(), "DESPESAS ADMINISTRATIVAS");

  t.ui.clear();
  t.type("EditOrdemDoGrupo", "07");
  t.click("ButDGravar");
  EXPECT_TRUE(t.ui.said.empty());
  ASSERT_TRUE(t.d().findKey({"07"}));
  EXPECT_EQ(t.d().field("SaldoDoGrupo").asFloat(), 10.25);
  EXPECT_TRUE(t.d().field("Acumulado").isNull());
  EXPECT_EQ(t.d().field("AnoEMes").asString(), "");
}

TEST(DemResulPage, EveryFieldOfASavedGroupMayChangeButThePeriod) {
  DemResulPageTest t;
  ASSERT_TRUE(t.d().findKey({"03"}));
  t.type("EditOrdemDoGrupo", "09");
  EXPECT_EQ(t.d().state(), Table::State::Edit);
  t.type("EditContaInicial", "300000");
  t.click("ButDGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  EXPECT_FALSE(t.d().findKey({"03"}));
  ASSERT_TRUE(t.d().findKey({"09"}));
  EXPECT_EQ(t.d().field("ContaInicial").asString(), "300000");
  EXPECT_EQ(t.groups(), 3);

  // The period is the update's: read-only, and the tab key passes it by.
  QLineEdit* period = t.box("EditAnoEMes");
  EXPECT_TRUE(period->isReadOnly());
  EXPECT_FALSE(period->focusPolicy() & Qt::TabFocus);
  const char* tabOrder[] = {"EditContaInicial", "EditContaFinal",   "EditNomeDoGrupo",
                            "EditSinalDoGrupo", "EditSaldoDoGrupo", "EditOrdemDoGrupo",
                            "EditAcumulado"};
  // The tab key goes to the next widget in the focus chain that takes focus from it.
  auto nextTabStop = [](QWidget* w) {
    do
      w = w->nextInFocusChain();
    while (!(w->focusPolicy() & Qt::TabFocus));
    return w;
  };
  for (int i = 0; i + 1 < 7; ++i)
    EXPECT_EQ(nextTabStop(t.box(tabOrder[i])), t.box(tabOrder[i + 1])) << tabOrder[i];
  EXPECT_NE(nextTabStop(t.box("EditAcumulado")), period);
}

TEST(DemResulPage, EliminarAsksFirst) {
  DemResulPageTest t;
  ASSERT_TRUE(t.d().findKey({"01"}));
  t.ui.confirmAnswers = {false};
  t.click("ButDEliminar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Confirma a exclusão do registro?"}));
  EXPECT_EQ(t.groups(), 3);
  t.ui.confirmAnswers = {true};
  t.click("ButDEliminar");
  EXPECT_EQ(t.groups(), 2);
  EXPECT_FALSE(t.d().findKey({"01"}));
  EXPECT_EQ(t.box("EditOrdemDoGrupo")->text(), "02");
}

TEST(DemResulPage, BuscarSearchesInTheChosenOrder) {
  DemResulPageTest t;
  t.ui.promptAnswers = {QString("02")};
  t.click("ButDBuscar");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Ordem do Grupo");
  EXPECT_EQ(t.box("EditNomeDoGrupo")->text(), "DESPESAS ADMINISTRATIVAS");
  EXPECT_EQ(t.ctx.searchText(SearchKind::DemResul), "02");
}

} // namespace
} // namespace esc::test
