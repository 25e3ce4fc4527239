#include "masterdata/historicosPage.h"
#include "bookFixture.h"
#include "masterdata/indicesPage.h"
#include "widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace esc::test {
namespace {

struct HistoricosPageTest : PageBook {
  HistoricosPageTest() : page(ctx) {}
  QLineEdit* code() { return child<QLineEdit>(&page, "EditCodigoDoHistorico"); }
  QLineEdit* name() { return child<QLineEdit>(&page, "EditNomeDoHistorico"); }
  void click(const char* button) { child<QPushButton>(&page, button)->click(); }
  void goTo(const QString& code) { ASSERT_TRUE(dm->TbHistoric->findKey({code})); }
  int count() { return dm->TbHistoric->recordCount(); }
  Table& h() { return *dm->TbHistoric; }
  HistoricosPage page;
};

TEST(HistoricosPage, GravarReportsBothFaultsAndSavesNothing) {
  HistoricosPageTest t;
  t.click("ButHInserir");
  EXPECT_EQ(t.h().state(), Table::State::Insert);
  EXPECT_EQ(t.page.focusWidget(), t.code());
  retype(t.code(), "123");
  t.click("ButHGravar");
  EXPECT_EQ(t.ui.texts("message"), QStringList({"Código do historico tem de ter 4 dígitos.",
                                                "Nome do histórico não pode ficar vazio."}));
  EXPECT_EQ(t.h().state(), Table::State::Insert);
  EXPECT_EQ(t.code()->text().trimmed(), "123");

  t.ui.clear();
  retype(t.code(), "0010");
  t.click("ButHGravar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Nome do histórico não pode ficar vazio."}));
  EXPECT_EQ(t.count(), 8);
}

TEST(HistoricosPage, ARepeatedCodeIsRefusedOnceAndTheTypedRowStays) {
  HistoricosPageTest t;
  t.click("ButHInserir");
  retype(t.code(), "0003");
  retype(t.name(), "juros pagos");
  EXPECT_EQ(t.name()->text(), "JUROS PAGOS");
  t.click("ButHGravar");
  EXPECT_EQ(t.ui.texts(),
            QStringList({"Código de histórico já cadastrado. Não pode ser repetido."}));
  EXPECT_EQ(t.ui.said.front().kind, "error");
  EXPECT_EQ(t.h().state(), Table::State::Insert);
  EXPECT_EQ(t.name()->text(), "JUROS PAGOS");

  retype(t.code(), "0009");
  t.click("ButHGravar");
  EXPECT_EQ(t.h().state(), Table::State::Browse);
  EXPECT_EQ(t.count(), 9);
  t.goTo("0009");
  EXPECT_EQ(t.h().field("NomeHistorico").asString(), "JUROS PAGOS");

  // Cancelar drops a new row without a trace.
  t.click("ButHInserir");
  retype(t.code(), "0011");
  t.click("ButHCancelar");
  EXPECT_EQ(t.h().state(), Table::State::Browse);
  EXPECT_EQ(t.count(), 9);
  EXPECT_EQ(t.code()->text(), "0009");
}

TEST(HistoricosPage, DuplicarCopiesTheRowAndNeedsANewCode) {
  HistoricosPageTest t;
  t.goTo("0004");
  t.click("ButHDuplicar");
  EXPECT_EQ(t.h().state(), Table::State::Insert);
  EXPECT_EQ(t.code()->text(), "0004");
  EXPECT_EQ(t.name()->text(), "SALÁRIOS DO MÊS");
  t.click("ButHGravar");
  EXPECT_EQ(t.ui.texts(),
            QStringList({"Código de histórico já cadastrado. Não pode ser repetido."}));
  retype(t.code(), "0014");
  t.click("ButHGravar");
  EXPECT_EQ(t.count(), 9);
  EXPECT_TRUE(t.h().findKey({"0014"}));
  EXPECT_EQ(t.h().field("NomeHistorico").asString(), "SALÁRIOS DO MÊS");
}

TEST(HistoricosPage, ASavedRowKeepsItsCode) {
  HistoricosPageTest t;
  t.goTo("0002");
  retype(t.name(), "RECEBIMENTO DE CLIENTES");
  EXPECT_EQ(t.h().state(), Table::State::Edit);
  t.click("ButHGravar");
  EXPECT_TRUE(t.ui.said.empty());
  t.goTo("0002");
  EXPECT_EQ(t.h().field("NomeHistorico").asString(), "RECEBIMENTO DE CLIENTES");

  // A change of the name is lost with the code: the row goes back to what is saved.
  retype(t.name(), "OUTRO NOME");
  t.code()->setFocus();
  t.code()->setCursorPosition(3);
  QTest::keyClicks(t.code(), "9");
  EXPECT_EQ(t.ui.texts(), QStringList({"Este campo não pode ser alterado. Operação cancelada."}));
  EXPECT_EQ(t.h().state(), Table::State::Browse);
  EXPECT_EQ(t.code()->text(), "0002");
  EXPECT_EQ(t.name()->text(), "RECEBIMENTO DE CLIENTES");
  EXPECT_TRUE(t.h().findKey({"0002"}));
  EXPECT_FALSE(t.h().findKey({"0009"}));

  // A new row's code is free to type.
  t.ui.clear();
  t.click("ButHInserir");
  retype(t.code(), "0020");
  retype(t.code(), "0021");
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(t.h().state(), Table::State::Insert);
}

TEST(HistoricosPage, EliminarRefusesAUsedDescriptionAndAlwaysRestoresTheEntryOrder) {
  HistoricosPageTest t;
  IndicesPage indices(t.ctx);
  item(child<QGroupBox>(&indices, "IndicesLanctos"), "Data da Contabilização")->click();
  Table& entries = *t.dm->TbLancamen;
  entries.last();

  t.goTo("0006");
  t.click("ButHEliminar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Histórico já foi utilizado. Não pode ser excluído."}));
  EXPECT_EQ(t.count(), 8);
  EXPECT_EQ(entries.order(), "SI_AnoContasMesDia");
  // The entry the check found is the current one, and the entry search offers its key.
  EXPECT_EQ(entries.field("CodigoHistorico").asString(), "0006");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Lancamentos), entries.field("AnoContasMesDia").asString());
  // The order group still shows what the user chose last.
  EXPECT_TRUE(
      item(child<QGroupBox>(&indices, "IndicesLanctos"), "Data da Contabilização")->isChecked());

  // Not used: asks first; No keeps it, Yes removes it.
  t.ui.clear();
  entries.setOrder("SI_NumeroDocumento");
  t.goTo("0001");
  t.ui.confirmAnswers = {false};
  t.click("ButHEliminar");
  EXPECT_EQ(t.ui.texts("confirm"), QStringList({"Confirma a exclusão do registro?"}));
  EXPECT_EQ(t.count(), 8);
  EXPECT_EQ(entries.order(), "SI_AnoContasMesDia");

  entries.setOrder("SI_NumeroDocumento");
  t.ui.confirmAnswers = {true};
  t.click("ButHEliminar");
  EXPECT_EQ(t.count(), 7);
  EXPECT_FALSE(t.h().findKey({"0001"}));
  EXPECT_EQ(entries.order(), "SI_AnoContasMesDia");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Lancamentos), entries.field("AnoContasMesDia").asString());
}

TEST(HistoricosPage, EliminarDeletesNothingWhenTheEntriesCannotBeChecked) {
  HistoricosPageTest t;
  // An entry left half-typed with a required field empty cannot be saved, so the check
  // cannot run: the description stays.
  Table& entries = *t.dm->TbLancamen;
  entries.insert();
  entries.setValue("CodigoHistorico", "0001");
  t.goTo("0001");
  t.ui.confirmAnswers = {true};
  t.click("ButHEliminar");
  EXPECT_EQ(t.count(), 8);
  ASSERT_EQ(t.ui.texts("error").size(), 1);
  EXPECT_TRUE(t.ui.texts("confirm").isEmpty());
}

TEST(HistoricosPage, BuscarSearchesInTheChosenOrderAndRemembersTheAnswer) {
  HistoricosPageTest t;
  IndicesPage indices(t.ctx);
  item(child<QGroupBox>(&indices, "IndicesHistoric"), "Nome do Histórico")->click();
  t.ui.promptAnswers = {QString("PRE")};
  t.click("ButHBuscar");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Nome do Histórico");
  EXPECT_EQ(t.code()->text(), "0008");
  EXPECT_EQ(t.name()->text(), "PRESTAÇÃO DE SERVIÇOS");

  // While a row is being typed the search asks first; No leaves the row alone.
  t.click("ButHInserir");
  retype(t.code(), "0030");
  t.ui.clear();
  t.ui.confirmAnswers = {false};
  t.click("ButHBuscar");
  EXPECT_EQ(t.ui.texts(),
            QStringList({"É necessário cancelar a edição (ou Inclusão) Históricos antes de "
                         "Localizar. Deseja sair agora ?"}));
  EXPECT_EQ(t.h().state(), Table::State::Insert);
  t.ui.confirmAnswers = {true};
  t.ui.promptAnswers = {std::nullopt};
  t.click("ButHBuscar");
  EXPECT_EQ(t.ui.lastPromptDefault, "PRE");
  EXPECT_EQ(t.h().state(), Table::State::Browse);
}

} // namespace
} // namespace esc::test
