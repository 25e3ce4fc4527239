#include "journalPages.h"

namespace esc::test {
namespace {

const QDate jan5(2004, 1, 5);

TEST(LancamentosPage, GravarChecksInOrderAndKeysTheEntryUnderTheSelectedYear) {
  JournalPages t;
  const qint64 first = t.addEntry("00001", jan5, "111121", "0001", "D", 100.0);
  t.goTo(first);
  t.click("ButLDuplicar");
  ASSERT_EQ(t.journal().state(), Table::State::Insert);

  // Each fault is refused with its own message; the new entry stays as typed.
  auto refused = [&](const QString& text) {
    t.ui.clear();
    t.click("ButLGravar");
    EXPECT_EQ(t.ui.texts(), QStringList{text});
    EXPECT_EQ(t.journal().state(), Table::State::Insert);
  };
  t.ctx.year = " ";
  refused("Não foi selecionado exercício o financeiro para o qual o sistema estará atuando.");
  t.ctx.year = "2004";
  t.type("EditCodCtaCon", "41111");
  refused("Código da conta contábil tem de ter 6 dígitos.");
  t.type("EditCodCtaCon", "411114");
  t.type("EditCodCtaCor", "99");
  refused("Código da conta contábil tem de ter pelo menos 3 dígitos.");
  t.type("EditCodCtaCor", "999");
  t.type("EditCodHist", "7");
  refused("Código do histórico tem de ter 4 dígitos.");
  t.type("EditCodHist", "0009");
  t.type("EditDC", "x");
  EXPECT_EQ(t.box("EditDC")->text(), "X");
  refused("Tipo de lançamento só pode ser D (Débito) ou C (Crédito).");
  t.type("EditDC", "c");
  t.type("EditData", "1003");
  refused("Data de lançamento tem de ter 8 caracteres.");
  t.type("EditData", "100303"); // a date of another year than the one selected
  t.type("EditDocumento", "");
  refused("Número do documento tem de ter 5 caracteres.");
  t.journal().setValue("NumeroDocumento", "1 234"); // as a box with blanks between digits holds it
  refused("'1 234' não é um número de documento válido.");
  t.type("EditDocumento", "7"); // completed to 00007
  for (const char* amount : {"0", "-5"}) {
    t.type("EditValor", amount);
    refused("Valor do lançamento tem de ter maior que zero.");
  }
  t.type("EditValor", "10.50");
  refused("'10.50' não é um valor válido.");
  t.type("EditValor", "1.234,5678");
  t.type("EditCodCtaCon", "111000");
  refused("Conta especificada é sintética. Não pode receber lançamentos.");
  t.type("EditCodCtaCon", "411113"); // no such account: passes the synthetic check
  refused("Conta corrente não cadastrada para a conta contábil.");
  t.type("EditCodCtaCon", "411114");
  refused("Histórico não cadastrado.");
  t.type("EditCodHist", "0007");
  EXPECT_EQ(t.count(), 1);

  t.ui.clear();
  t.click("ButLGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_EQ(t.journal().state(), Table::State::Browse);
  ASSERT_EQ(t.count(), 2);
  const qint64 id = t.lastId();
  // The selected year keys the entry, whatever the year of its date; eleven blanks pad "999".
  EXPECT_EQ(t.stored(id, "AnoContasMesDia").toString(),
            "2004411114999" + QString(11, ' ') + "0310");
  EXPECT_EQ(t.stored(id, "DataDaContabilizacao").toString(), "2003-03-10");
  EXPECT_EQ(t.stored(id, "CodCtaConCodCtaCor").toString(), "411114999");
  EXPECT_EQ(t.stored(id, "Situacao").toString(), "N");
  EXPECT_EQ(t.stored(id, "TipoDeLancamento").toString(), "C");
  EXPECT_EQ(t.stored(id, "NumeroDocumento").toString(), "00007");
  // Typed with its thousands separator, kept to the last digit: nothing rounds an amount.
  EXPECT_EQ(t.stored(id, "ValorLancamento").toDouble(), 1234.5678);
}

TEST(LancamentosPage, ADateThatIsNotADateIsSaidAndStaysTyped) {
  JournalPages t;
  t.goTo(t.addEntry("00001", jan5, "111121", "0001", "D", 100.0));
  t.click("ButLDuplicar");
  for (const char* typed : {"310226", "000000"}) {
    t.ui.clear();
    t.type("EditData", typed);
    const QString shown = t.box("EditData")->text();
    // Leaving the box keeps what was typed instead of putting the old date back.
    t.focusOut(t.box("EditData"));
    EXPECT_EQ(t.ui.texts(), QStringList{"'" + shown + "' não é uma data válida."});
    EXPECT_EQ(t.box("EditData")->text(), shown);
    EXPECT_EQ(t.lanc->focusWidget(), t.box("EditData"));
    t.ui.clear();
    t.click("ButLGravar");
    EXPECT_EQ(t.ui.texts(), QStringList{"'" + shown + "' não é uma data válida."});
    EXPECT_EQ(t.journal().state(), Table::State::Insert);
    EXPECT_EQ(t.count(), 1);
  }
  // Cancelar is always reachable from a refused box.
  t.window.show();
  QApplication::setActiveWindow(&t.window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&t.window));
  t.box("EditData")->setFocus();
  t.ui.clear();
  t.find<QPushButton>("ButLCancelar")->setEnabled(true); // as the refresh does while editing
  t.find<QPushButton>("ButLCancelar")->setFocus(Qt::MouseFocusReason);
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(QApplication::focusWidget(), t.find<QPushButton>("ButLCancelar"));
  // Any other box is refused the focus while the date is wrong.
  t.box("EditValor")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(t.ui.texts().size(), 0);
  t.box("EditData")->setFocus();
  t.box("EditValor")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(t.ui.texts().size(), 1);
  EXPECT_EQ(QApplication::focusWidget(), t.box("EditData"));
}

TEST(LancamentosPage, ASavedEntryKeepsItsCodesAndAmountFromAnyBoxOrPicker) {
  JournalPages t;
  const qint64 id = t.addEntry("00001", jan5, "111121", "0001", "D", 100.0);
  t.goTo(id);
  const QString fixed = "Este campo não pode ser alterado. Operação cancelada.";

  // The complementary text may change; the amount's first keystroke discards the whole edit.
  t.type("EditHistComp", "outro texto");
  EXPECT_EQ(t.journal().state(), Table::State::Edit);
  t.key("EditValor", '1');
  EXPECT_EQ(t.ui.texts(), QStringList{fixed});
  EXPECT_EQ(t.journal().state(), Table::State::Browse);
  EXPECT_EQ(t.box("EditValor")->text(), "100,00");
  EXPECT_EQ(t.box("EditHistComp")->text().trimmed(), "COMPL");

  for (const char* name : {"EditCodCtaCon", "EditCodCtaCor", "EditCodHist"}) {
    t.ui.clear();
    t.key(name, '9');
    EXPECT_EQ(t.ui.texts(), QStringList{fixed}) << name;
    EXPECT_EQ(t.journal().state(), Table::State::Browse) << name;
  }
  EXPECT_EQ(t.box("EditCodCtaCor")->text().trimmed(), "0001");

  // A picker meets the same guard, and shows the saved entry again.
  t.ui.clear();
  t.pick("DBLkCodHist", "0007");
  EXPECT_EQ(t.ui.texts(), QStringList{fixed});
  EXPECT_EQ(t.combo("DBLkCodHist")->currentText(), "0001");
  t.ui.clear();
  t.pick("DBLkCtaConCtaCor", "999");
  EXPECT_EQ(t.ui.texts(), QStringList{fixed});
  EXPECT_EQ(t.stored(id, "CodigoContaCorrente").toString(), "0001");

  // A new entry is typed freely.
  t.ui.clear();
  t.click("ButLDuplicar");
  t.pick("DBLkCodHist", "0007");
  t.key("EditValor", '1');
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(t.journal().field("CodigoHistorico").asString(), "0007");
}

TEST(LancamentosPage, AProcessedEntryKeepsItsDateAndDocumentAndIsNeitherSavedNorDeleted) {
  JournalPages t;
  const qint64 done = t.addEntry("00003", jan5, "111121", "0001", "D", 100.0, "P");
  const qint64 open = t.addEntry("00003", jan5, "291111", "999", "C", 100.0, "N");
  const QString processed = "Este campo não pode ser alterado. Documento já processado.";
  t.goTo(done);
  for (const char* name : {"EditData", "EditDocumento"}) {
    t.ui.clear();
    t.type("EditHistComp", "novo");
    t.key(name, '1');
    EXPECT_EQ(t.ui.texts(), QStringList{processed}) << name;
    EXPECT_EQ(t.journal().state(), Table::State::Browse);
  }
  EXPECT_EQ(t.box("EditData")->text(), "05/01/04");

  // Only the D/C letter changed: Gravar still refuses a processed entry.
  t.ui.clear();
  t.type("EditDC", "C");
  t.click("ButLGravar");
  EXPECT_EQ(t.ui.texts(), QStringList{"Lançamento já foi processado. Não pode ser alterado. "
                                      "Cancele a operação."});
  t.click("ButLCancelar");
  EXPECT_EQ(t.stored(done, "TipoDeLancamento").toString(), "D");

  // An unprocessed entry's date may change; it is keyed again on saving.
  t.goTo(open);
  t.ui.clear();
  t.type("EditData", "070104");
  t.click("ButLGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_EQ(t.stored(open, "AnoContasMesDia").toString().right(4), "0107");

  t.goTo(done);
  t.ui.confirmAnswers = {true};
  t.click("ButLEliminar");
  EXPECT_EQ(t.ui.texts().last(), "Lançamento já foi processado. Só pode ser estornado.");
  EXPECT_EQ(t.count(), 2);
  // Only the entry's own status counts: its unprocessed companion goes after a Yes.
  t.goTo(open);
  t.ui.clear();
  t.ui.confirmAnswers = {false, true};
  t.click("ButLEliminar");
  EXPECT_EQ(t.count(), 2);
  t.click("ButLEliminar");
  EXPECT_EQ(t.ui.texts(),
            QStringList({"Confirma a exclusão do registro?", "Confirma a exclusão do registro?"}));
  // Enter alone never deletes.
  EXPECT_TRUE(t.ui.said[0].defaultNo && t.ui.said[1].defaultNo);
  EXPECT_EQ(t.count(), 1);
}

TEST(LancamentosPage, DuplicarCopiesTheEightValuesAndNothingElse) {
  JournalPages t;
  const qint64 id = t.addEntry("00004", jan5, "111121", "0002", "C", 12.345, "P", "0007");
  t.dm->database().exec("UPDATE lancamen SET SaldoAtual = 5, TipoSaldoAtual = 'C'");
  t.journal().refresh();
  t.goTo(id);
  t.click("ButLDuplicar");
  Table& j = t.journal();
  ASSERT_EQ(j.state(), Table::State::Insert);
  EXPECT_EQ(j.field("CodigoContaContabil").asString(), "111121");
  EXPECT_EQ(j.field("CodigoContaCorrente").asString(), "0002");
  EXPECT_EQ(j.field("DataDaContabilizacao").asDate(), jan5);
  EXPECT_EQ(j.field("TipoDeLancamento").asString(), "C");
  EXPECT_EQ(j.field("HistoricoComplementar").asString(), "COMPL");
  EXPECT_EQ(j.field("NumeroDocumento").asString(), "00004");
  EXPECT_EQ(j.field("CodigoHistorico").asString(), "0007");
  EXPECT_EQ(j.field("ValorLancamento").asFloat(), 12.345);
  for (const char* f : {"Situacao", "TipoSaldoAtual", "AnoContasMesDia", "CodCtaConCodCtaCor"})
    EXPECT_TRUE(j.field(f).isNull()) << f;
  EXPECT_TRUE(j.field("SaldoAtual").isNull());
  EXPECT_EQ(t.combo("DBLkNomCtaCon")->currentText(), "BANCO DO BRASIL");
  EXPECT_EQ(t.combo("DBLkCtaConCtaCor")->currentText(), "1111210002");
  t.click("ButLGravar");
  EXPECT_EQ(t.count(), 2);
  EXPECT_EQ(t.stored(t.lastId(), "Situacao").toString(), "N");
}

TEST(LancamentosPage, BuscarInTheDateOrderWantsADateOfEightCharacters) {
  JournalPages t;
  t.addEntry("00001", jan5, "111121", "0001", "D", 1.0);
  const qint64 march = t.addEntry("00002", QDate(2004, 3, 15), "111121", "0001", "D", 2.0);
  t.addEntry("00003", QDate(2004, 6, 1), "111121", "0001", "D", 3.0);
  t.journal().setOrder("SI_DataDaContabilizacao");
  t.ctx.setOrderItem(SearchKind::Lancamentos, "Data da Contabilização");
  t.journal().first();

  t.ui.promptAnswers = {QString("15/03/2004")};
  t.click("ButLBuscar");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Data da Contabilização");
  EXPECT_EQ(t.ui.lastPromptLabel, "Digite Data da Contabilização (ou parte)");
  EXPECT_EQ(t.ui.texts("message"),
            QStringList{"Formato de dados para pesquisa invalido. Não é uma data."});
  EXPECT_EQ(t.journal().field("NumeroDocumento").asString(), "00001");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Lancamentos), "15/03/2004");

  t.ui.clear();
  t.ui.promptAnswers = {QString(" 10/03/04 ")};
  t.click("ButLBuscar");
  EXPECT_TRUE(t.ui.texts("message").isEmpty());
  EXPECT_EQ(t.journal().bookmark().rowId, march);

  // An entry being typed is given up only with the user's Yes.
  t.click("ButLDuplicar");
  t.ui.clear();
  t.ui.confirmAnswers = {false};
  t.click("ButLBuscar");
  EXPECT_EQ(t.ui.texts(), QStringList{"É necessário cancelar a edição (ou Inclusão) Lançamentos "
                                      "antes de Localizar. Deseja sair agora ?"});
  EXPECT_TRUE(t.ui.said[0].defaultNo); // Enter alone keeps the entry
  EXPECT_EQ(t.journal().state(), Table::State::Insert);
}

TEST(LancamentosPage, FiltrarSwitchesTheDocumentFilterOfTheDocumentosPage) {
  JournalPages t;
  t.addEntry("00001", jan5, "111121", "0001", "D", 1.0);
  t.addEntry("00002", jan5, "291111", "999", "C", 1.0);
  // Before any document was chosen the view counts as filtered and still shows everything.
  t.click("ButLFiltrar");
  EXPECT_TRUE(t.journal().filtered());
  EXPECT_EQ(t.journal().recordCount(), 2);
  EXPECT_EQ(t.box("EditNumDocto")->text(), t.journal().field("NumeroDocumento").asString());
  t.click("ButLFiltrar");
  EXPECT_FALSE(t.journal().filtered());
  EXPECT_EQ(t.box("EditNumDocto")->text(), "");

  // With a document chosen on "Documentos", the filter comes back on that document.
  t.box("EditNumDocto")->setText("00002");
  t.click("ButFiltraDoctos");
  t.click("ButLFiltrar");
  EXPECT_FALSE(t.journal().filtered());
  t.click("ButLFiltrar");
  EXPECT_EQ(t.journal().recordCount(), 1);
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00002");
}

TEST(LancamentosPage, CurrentAccountPickersListOnlyTheChosenAccount) {
  JournalPages t;
  t.goTo(t.addEntry("00001", jan5, "111121", "0001", "D", 1.0));
  Table& chart = *t.dm->TbContas;
  for (const char* name : {"DBLkCodCtaCor", "DBLkCtaConCtaCor"}) {
    QComboBox* c = t.combo(name);
    t.focusIn(c);
    EXPECT_TRUE(chart.filtered()) << name;
    EXPECT_EQ(chart.filter(), "CodigoContaContabil=111121");
    EXPECT_EQ(c->count(), 2) << name;
    t.focusOut(c);
    EXPECT_FALSE(chart.filtered()) << name;
    // The whole chart again the next time the list drops down.
    c->showPopup();
    EXPECT_EQ(c->count(), 5) << name;
    c->hidePopup();
  }
  // Without an account code nothing is restricted.
  t.click("ButLDuplicar");
  t.type("EditCodCtaCon", "");
  t.focusIn(t.combo("DBLkCodCtaCor"));
  EXPECT_FALSE(chart.filtered());
}

} // namespace
} // namespace esc::test
