#include "masterdata/listsTab.h"
#include "bookFixture.h"
#include "masterdata/indicesPage.h"
#include "widgets.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace esc::test {
namespace {

QStringList titles(DBGrid* grid) {
  QStringList out;
  for (int c = 0; c < grid->model()->columnCount(); ++c)
    out << grid->model()->headerData(c, Qt::Horizontal).toString();
  return out;
}

QString cell(DBGrid* grid, int row, int column) {
  return grid->model()->index(row, column).data().toString();
}

struct ListsTabTest : PageBook {
  ListsTabTest() : tab(ctx) {
    tab.resize(720, 480);
    tab.show();
  }
  DBGrid* grid(const char* name) { return child<DBGrid>(&tab, name); }
  void click(const char* button) { child<QPushButton>(&tab, button)->click(); }
  QString text(const char* box) { return child<QLineEdit>(&tab, box)->text(); }
  ListsTab tab;
};

TEST(ListsTab, PagesShowTheirColumnsAndOnlyBalPatriIsEditable) {
  ListsTabTest t;
  QStringList captions;
  for (int i = 0; i < t.tab.count(); ++i)
    captions << t.tab.tabText(i);
  EXPECT_EQ(captions, QStringList({"Contas", "Históricos", "Lançamentos", "Balancete", "Dem. Res.",
                                   "Bal. Patr."}));
  EXPECT_EQ(t.tab.tabText(t.tab.currentIndex()), "Lançamentos");

  EXPECT_EQ(titles(t.grid("DBGrContas")),
            QStringList({"Conta", "Nome da Conta Contábil", "Conta Corrente",
                         "Nome da Conta Corrente Contábil", "D/C", "Nível", "Chave de Busca"}));
  EXPECT_EQ(titles(t.grid("DBGrLancamen")).mid(8, 3),
            QStringList({"Nome da Conta Contábil", "Chave de Busca", "Nome do Histórico"}));
  EXPECT_EQ(titles(t.grid("DBGrid2")).mid(7, 2), QStringList({"Nat.", "Nív."}));
  // Lookup columns show the looked-up value.
  EXPECT_EQ(cell(t.grid("DBGrLancamen"), 0, 10), "INTEGRALIZAÇÃO DE CAPITAL");

  const QString hint = "Esta tela é somente para leitura. Não se pode modificar os dados.";
  for (const char* name :
       {"DBGrContas", "DBGrHistoric", "DBGrLancamen", "DBGrBalanco", "DBGrid1"}) {
    EXPECT_EQ(t.grid(name)->toolTip(), hint) << name;
    EXPECT_TRUE(t.grid(name)->isReadOnly()) << name;
  }
  EXPECT_TRUE(t.grid("DBGrid2")->toolTip().isEmpty());
  EXPECT_FALSE(t.grid("DBGrid2")->isReadOnly());
}

TEST(ListsTab, AReadOnlyGridRefusesTyping) {
  ListsTabTest t;
  t.tab.setCurrentIndex(1);
  DBGrid* g = t.grid("DBGrHistoric");
  g->setFocus();
  g->setCurrentIndex(g->model()->index(2, 1));
  QTest::keyClicks(g, "XYZ");
  QTest::keyClick(g, Qt::Key_Return);
  EXPECT_EQ(t.dm->TbHistoric->state(), Table::State::Browse);
  EXPECT_EQ(t.dm->TbHistoric->field("NomeHistorico").asString(), "DEPÓSITO BANCÁRIO");
  EXPECT_FALSE(g->model()->setData(g->model()->index(2, 1), "XYZ"));
}

TEST(ListsTab, BalPatriSavesAnEditedRowWhenTheUserMovesOn) {
  PageBook book;
  Table& bp = *book.dm->TbBalPatri;
  for (const char* code : {"100000", "200000"}) {
    bp.insert();
    bp.setValue("CodigoContaContabil", code);
    bp.setValue("TipoSaldoAtual", "D");
    bp.post();
  }
  bp.first();
  ListsTab tab(book.ctx);
  tab.resize(720, 480);
  tab.show();
  tab.setCurrentIndex(5);
  auto* g = child<DBGrid>(&tab, "DBGrid2");
  g->setFocus();
  g->setCurrentIndex(g->model()->index(0, 6));
  QTest::keyClicks(g, "C");
  auto* editor = g->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "C");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents(); // the grid commits the cell after the key
  EXPECT_EQ(bp.state(), Table::State::Edit);

  // Closing now would have to ask about this table.
  book.ui.confirmAnswers = {false};
  EXPECT_EQ(book.dm->ConfirmaCancelaEdicao(book.dm->DsBalpatri, "de Bal. Patr.", "fechar"),
            TDEscrivon::Answer::No);
  EXPECT_EQ(book.ui.texts(), QStringList({"É necessário cancelar a edição (ou Inclusão) de Bal. "
                                          "Patr. antes de fechar. Deseja sair agora ?"}));

  QTest::keyClick(g, Qt::Key_Down);
  EXPECT_EQ(bp.state(), Table::State::Browse);
  EXPECT_EQ(bp.field("CodigoContaContabil").asString(), "200000");

  // On disk, as another connection reads it.
  ScriptedUi otherUi;
  TDEscrivon other(otherUi);
  other.connectDirectory(book.path());
  other.TbBalPatri->open();
  ASSERT_TRUE(other.TbBalPatri->findKey({"100000"}));
  EXPECT_EQ(other.TbBalPatri->field("TipoSaldoAtual").asString(), "C");
}

TEST(ListsTab, GridsBarsAndMaintenancePagesMoveOneCursorInTheChosenOrder) {
  ListsTabTest t;
  IndicesPage indices(t.ctx);
  Table& chart = *t.dm->TbContas;
  item(child<QGroupBox>(&indices, "IndicesContas"), "Nome Cta. Contábil")->click();
  DBGrid* g = t.grid("DBGrContas");
  EXPECT_EQ(cell(g, 0, 1), "ALUGUÉIS");

  t.tab.setCurrentIndex(0);
  g->setCurrentIndex(g->model()->index(4, 1));
  EXPECT_EQ(chart.recNo(), 5);
  EXPECT_EQ(chart.field("NomeContaContabil").asString(), cell(g, 4, 1));
  t.click("ButCEdNext");
  EXPECT_EQ(g->currentIndex().row(), 5);
  t.tab.refreshCounters();
  EXPECT_EQ(t.text("EdCEdRecNo"), "6");
  EXPECT_EQ(t.text("EdCEdTotRec"), QString::number(chart.recordCount()));

  // Each list bar skips its own table by its own amount.
  Table& entries = *t.dm->TbLancamen;
  entries.first();
  const QVariant historic = t.dm->TbHistoric->field("CodigoHistorico").value();
  child<QLineEdit>(&t.tab, "MaskLSaltoEd")->setText("2");
  t.click("ButLEdFF");
  EXPECT_EQ(entries.recNo(), 3);
  EXPECT_EQ(t.dm->TbHistoric->field("CodigoHistorico").value(), historic);
  t.click("ButLEdRW");
  EXPECT_EQ(entries.recNo(), 1);
  EXPECT_TRUE(t.ui.said.empty());
}

TEST(ListsTab, BalanceteSearchFindsTheNearestKey) {
  ListsTabTest t;
  t.ui.promptAnswers = {QString("200403")};
  t.click("ButBBuscaLote");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Ano + Mês + Códigos Contas");
  EXPECT_EQ(t.dm->TbBalanco->field("Periodo").asString(), "200403");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Balanco), "200403");
  EXPECT_EQ(cell(t.grid("DBGrBalanco"), t.grid("DBGrBalanco")->currentIndex().row(), 0), "200403");
}

TEST(ListsTab, BalanceteSearchRunsOnTabbingOntoItButOnceOnAClick) {
  ListsTabTest t;
  t.tab.setCurrentIndex(3);
  QApplication::setActiveWindow(&t.tab);
  auto* search = child<QPushButton>(&t.tab, "ButBBuscaLote");
  auto* skip = child<QLineEdit>(&t.tab, "MaskBSaltoEd");
  skip->setFocus();
  // A four-digit year in the key order lands on January's first row.
  t.ui.promptAnswers = {QString("2004")};
  QTest::keyClick(skip, Qt::Key_Tab);
  EXPECT_TRUE(search->hasFocus());
  EXPECT_EQ(t.ui.texts("prompt"), QStringList({"Pesquisar Ano + Mês + Códigos Contas"}));
  EXPECT_EQ(t.ui.lastPromptLabel, "Digite Ano + Mês + Códigos Contas (ou parte)");
  EXPECT_EQ(t.dm->TbBalanco->field("CodCtaConCodCtaCor").asString(), "200401100000999");

  // Focus from elsewhere (a mouse press, a dialog closing) is no search; a click is one.
  skip->setFocus();
  search->setFocus(Qt::MouseFocusReason);
  search->setFocus(Qt::ActiveWindowFocusReason);
  EXPECT_EQ(t.ui.texts("prompt").size(), 1);
  t.ui.promptAnswers = {QString("200406")};
  QTest::mouseClick(search, Qt::LeftButton);
  EXPECT_EQ(t.ui.texts("prompt").size(), 2);
  EXPECT_EQ(t.ui.lastPromptDefault, "2004");
  EXPECT_EQ(t.dm->TbBalanco->field("Periodo").asString(), "200406");
}

TEST(ListsTab, BalanceteSearchNamesTheChosenOrderAndFollowsTheActiveOne) {
  ListsTabTest t;
  IndicesPage indices(t.ctx);
  Table& bal = *t.dm->TbBalanco;
  item(child<QGroupBox>(&indices, "IndicesBalanco"), "Código da Conta Contábil")->click();
  // The first row of the first account at or after a three-digit prefix, whatever its period.
  t.ui.promptAnswers = {QString("211")};
  t.click("ButBBuscaLote");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Código da Conta Contábil");
  EXPECT_EQ(bal.field("CodCtaConCodCtaCor").asString(), "200401211000999");

  // A period operation puts the table in its key order and leaves the group's choice.
  bal.setOrder("");
  t.ui.promptAnswers = {QString("200405")};
  t.click("ButBBuscaLote");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Código da Conta Contábil");
  EXPECT_EQ(bal.field("CodCtaConCodCtaCor").asString(), "200405100000999");

  // Cancel keeps the remembered text; an empty text goes to the first row, one beyond every
  // key to the last.
  t.ui.promptAnswers = {std::nullopt};
  t.click("ButBBuscaLote");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Balanco), "200405");
  EXPECT_EQ(bal.field("Periodo").asString(), "200405");
  t.ui.promptAnswers = {QString("")};
  t.click("ButBBuscaLote");
  EXPECT_EQ(bal.recNo(), 1);
  t.ui.promptAnswers = {QString("9")};
  t.click("ButBBuscaLote");
  EXPECT_EQ(bal.recNo(), bal.recordCount());
  EXPECT_EQ(t.ctx.searchText(SearchKind::Balanco), "9");
  EXPECT_TRUE(t.ui.texts("message").isEmpty());
}

} // namespace
} // namespace esc::test
