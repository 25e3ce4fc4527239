// A pending edit belongs to the page it began on.
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

// Another page's order, filter, move, insert or delete would store (or drop) what was typed
// without the owner's checks: each is refused naming the owner and changes nothing. The
// owner's own order change still stores it, as leaving the edit state always did.
TEST(StorePendingEdit, OnlyTheOwningPageLeavesTheEditByMovingTheTable) {
  OpenBook book;
  Table& chart = *book.dm->TbContas;
  QStringList page = {"Cadastros", "Contas"};
  chart.pageInUse = [&] { return page; };
  const int rows = chart.recordCount();
  const QString order = chart.order();
  chart.insert();
  chart.setValue("CodigoContaContabil", "111199");
  chart.setValue("NomeContaContabil", "CAIXA NOVO");
  chart.setValue("CodigoContaCorrente", "999");
  chart.setValue("TipoDeSaldo", "D");
  chart.setValue("NivelDaConta", "6");

  page = {"Cadastros", "Lançamentos"};
  const std::vector<std::function<void()>> others = {
      [&] { chart.setOrder("SI_NomCtaCon"); },
      [&] { chart.setOrder(order); }, // even the order in force: the operation stops up front
      [&] { chart.setFilter("CodigoContaContabil=111121"); },
      [&] { chart.setFiltered(true); },
      [&] { chart.first(); },
      [&] { chart.findKey({"1111210001"}); },
      [&] { chart.insert(); },
      [&] { chart.remove(); }};
  for (const auto& request : others) {
    try {
      request();
      ADD_FAILURE() << "not refused";
    } catch (const StoreError& e) {
      EXPECT_EQ(e.message(), "Há um registro em edição em Contas. Grave-o ou cancele-o antes.");
    }
  }
  chart.setFiltered(false); // already off: nothing changes, nothing to refuse
  EXPECT_EQ(chart.state(), Table::State::Insert);
  EXPECT_EQ(chart.field("CodigoContaContabil").asString(), "111199");
  EXPECT_EQ(chart.order(), order);
  EXPECT_TRUE(chart.filter().isEmpty());
  EXPECT_EQ(book.dm->database().selectValue("SELECT count(*) FROM contas").toInt(), rows);

  page = {"Cadastros", "Contas"};
  chart.setOrder("SI_NomCtaCon");
  EXPECT_EQ(chart.state(), Table::State::Browse);
  EXPECT_EQ(book.dm->database().selectValue("SELECT count(*) FROM contas").toInt(), rows + 1);
}
