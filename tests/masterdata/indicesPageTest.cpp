#include "masterdata/indicesPage.h"
#include "bookFixture.h"
#include "ui/search.h"
#include "widgets.h"

namespace esc::test {
namespace {

struct IndicesPageTest : PageBook {
  IndicesPageTest() : page(ctx) {}
  QGroupBox* group(const char* name) { return child<QGroupBox>(&page, name); }
  void choose(const char* groupName, const QString& text) { item(group(groupName), text)->click(); }
  IndicesPage page;
};

TEST(IndicesPage, ChoosingAccountNameOrdersTheChartAndNamesItsSearch) {
  IndicesPageTest t;
  t.dm->TbContas->last();
  t.choose("IndicesContas", "Nome Cta. Contábil");

  EXPECT_EQ(t.dm->TbContas->order(), "SI_NomCtaCon");
  const QString name = t.dm->TbContas->field("NomeContaContabil").asString();
  EXPECT_EQ(t.ctx.searchText(SearchKind::Contas), name);
  t.dm->TbContas->first();
  EXPECT_EQ(t.dm->TbContas->field("NomeContaContabil").asString(), "ALUGUÉIS");

  // The search is titled by the chosen item and offers the remembered name.
  t.ui.promptAnswers.push_back(std::nullopt);
  runSearch(t.ctx, SearchKind::Contas, t.dm->DsContas, "Contas");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Nome Cta. Contábil");
  EXPECT_EQ(t.ui.lastPromptLabel, "Digite Nome Cta. Contábil (ou parte)");
  EXPECT_EQ(t.ui.lastPromptDefault, name);
}

TEST(IndicesPage, EntryOrdersOfferTheCurrentEntrysValueInItsOwnForm) {
  IndicesPageTest t;
  Table& e = *t.dm->TbLancamen;

  t.choose("IndicesLanctos", "Códigos da Conta Contábil");
  EXPECT_EQ(e.order(), "SI_CodCtaCon");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Lancamentos),
            e.field("CodigoContaContabil").asString() + e.field("CodigoContaCorrente").asString());
  e.first(); // account code, then current account
  EXPECT_EQ(e.field("CodigoContaContabil").asString(), "111121");
  e.next();
  EXPECT_EQ(e.field("CodigoContaContabil").asString(), "211111");

  e.last();
  t.choose("IndicesLanctos", "Data da Contabilização");
  EXPECT_EQ(e.order(), "SI_DataDaContabilizacao");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Lancamentos), "20/01/2004");
  EXPECT_EQ(t.ctx.orderItem(SearchKind::Lancamentos), "Data da Contabilização");

  t.choose("IndicesBalanco", "Código da Conta Corrente");
  EXPECT_EQ(t.dm->TbBalanco->order(), "SI_CodCtaCor");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Balanco),
            t.dm->TbBalanco->field("CodigoContaCorrente").asString());

  t.choose("IndicesDemResul", "Conta Inicial");
  EXPECT_EQ(t.dm->TbDemResul->order(), "SI_CtaIniCtaFin");
  // Back to the primary order by choosing the first item.
  t.choose("IndicesDemResul", "Ordem do Grupo");
  EXPECT_EQ(t.dm->TbDemResul->order(), "");
  EXPECT_EQ(t.ctx.searchText(SearchKind::DemResul),
            t.dm->TbDemResul->field("OrdemDoGrupo").asString());
  EXPECT_TRUE(t.ui.said.empty());
}

TEST(IndicesPage, ChoosingTheShownItemAgainRestoresAnOrderAnotherOperationReplaced) {
  IndicesPageTest t;
  t.choose("IndicesHistoric", "Nome do Histórico");
  t.dm->TbHistoric->setOrder(""); // as another page would
  EXPECT_TRUE(item(t.group("IndicesHistoric"), "Nome do Histórico")->isChecked());
  t.choose("IndicesHistoric", "Nome do Histórico");
  EXPECT_EQ(t.dm->TbHistoric->order(), "SI_NomeHistorico");
}

TEST(IndicesPage, AChoiceThatCannotPostThePendingEditKeepsTheOldOrderAndItem) {
  IndicesPageTest t;
  Table& h = *t.dm->TbHistoric;
  h.insert();
  h.setValue("CodigoHistorico", "0001"); // already exists
  h.setValue("NomeHistorico", "REPETIDO");

  t.choose("IndicesHistoric", "Nome do Histórico");
  EXPECT_EQ(t.ui.texts(),
            QStringList({"Código de histórico já cadastrado. Não pode ser repetido."}));
  EXPECT_EQ(h.order(), "");
  EXPECT_EQ(h.state(), Table::State::Insert);
  EXPECT_TRUE(item(t.group("IndicesHistoric"), "Código do Histórico")->isChecked());
  EXPECT_EQ(t.ctx.orderItem(SearchKind::Historicos), "Código do Histórico");

  // A pending edit that can be saved is saved, then the order changes.
  h.setValue("CodigoHistorico", "0009");
  t.choose("IndicesHistoric", "Nome do Histórico");
  EXPECT_EQ(h.state(), Table::State::Browse);
  EXPECT_EQ(h.order(), "SI_NomeHistorico");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Historicos), "REPETIDO");
}

} // namespace
} // namespace esc::test
