#include "journalPages.h"

namespace esc::test {
namespace {

const QDate jan5(2004, 1, 5);

// Types one entry of the document being typed, through the pickers and boxes.
void typeEntry(JournalPages& t, const char* account, const char* current, const char* dc,
               const char* amount) {
  t.pick("DbLKCtaCon", account);
  t.pick("DBLkCorrente", current);
  t.pick("DBLkCodHis", "0001");
  t.type("DBEdit8", "nf 123");
  t.type("DBEdit10", dc);
  t.type("DBEdit9", amount);
}

TEST(DocumentosPage, ATypedDocumentOfThreeEntriesShowsItsTotalsInGeneralForm) {
  JournalPages t;
  t.addEntry("00041", jan5, "111121", "0001", "D", 7.0); // another document, left out
  t.click("ButIncluiLote");
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00042");
  EXPECT_TRUE(t.box("EditDataLancto")->isEnabled());
  EXPECT_FALSE(t.find<QPushButton>("ButProcessar")->isEnabled());
  EXPECT_EQ(t.docs->focusWidget(), t.combo("DbLKCtaCon"));
  ASSERT_EQ(t.journal().state(), Table::State::Insert);
  t.box("EditDataLancto")->setText("10/02/04");
  typeEntry(t, "111121", "0001", "d", "100,10");
  t.click("ButGravarLote");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_FALSE(t.box("EditDataLancto")->isEnabled());
  EXPECT_EQ(t.box("MskTotDeb")->text(), "100,1");
  EXPECT_EQ(t.box("MskTotCred")->text(), "0");

  t.click("ButIncluiLote");
  // The box keeps the document's date for its next entry.
  EXPECT_EQ(t.journal().field("DataDaContabilizacao").asDate(), QDate(2004, 2, 10));
  typeEntry(t, "411114", "999", "D", "200,20");
  t.click("ButGravarLote");
  t.click("ButIncluiLote");
  typeEntry(t, "291111", "999", "c", "300,30");
  t.click("ButGravarLote");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_EQ(t.box("MskTotDeb")->text(), "300,3");
  EXPECT_EQ(t.box("MskTotCred")->text(), "300,3");

  // The filter stays on the document, and the journal is left on its last entry in the
  // journal's primary order, which Incluir chose.
  EXPECT_TRUE(t.journal().filtered());
  EXPECT_EQ(t.journal().order(), "");
  EXPECT_EQ(t.journal().recordCount(), 3);
  EXPECT_EQ(t.journal().field("CodigoContaContabil").asString(), "411114");
  const auto rows = t.dm->database().select(
      "SELECT AnoContasMesDia, CodCtaConCodCtaCor, Situacao, HistoricoComplementar, "
      "TipoDeLancamento, DataDaContabilizacao FROM lancamen WHERE NumeroDocumento = '00042' "
      "ORDER BY rowid");
  ASSERT_EQ(rows.size(), 3);
  EXPECT_EQ(rows[0], (QVariantList{"20041111210001" + QString(10, ' ') + "0210", "1111210001", "N",
                                   "NF 123", "D", "2004-02-10"}));
  EXPECT_EQ(rows[2][0].toString(), "2004291111999" + QString(11, ' ') + "0210");
  EXPECT_EQ(t.model()->rowCount(), 3);

  // While an entry is typed a click on another row does not save it unchecked.
  t.click("ButIncluiLote");
  auto* grid = t.find<DBGrid>("DBGrLanctos");
  grid->resize(600, 300);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualRect(t.model()->index(0, 0)).center());
  EXPECT_EQ(t.journal().state(), Table::State::Insert);
  t.click("ButCancelaLote");
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualRect(t.model()->index(0, 0)).center());
  EXPECT_EQ(t.journal().field("CodigoContaContabil").asString(), "111121");
  EXPECT_EQ(t.count(), 4);
  EXPECT_EQ(t.model()->data(t.model()->index(1, 5)).toString(), "300,30");
  EXPECT_EQ(t.model()->headerData(0, Qt::Horizontal).toString(), "Conta");
  EXPECT_EQ(t.model()->headerData(4, Qt::Horizontal).toString(), "Histórico Complementar");
}

TEST(DocumentosPage, GravarShowsEveryFailedCheckAndSavesNothing) {
  JournalPages t;
  t.click("ButIncluiLote");
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00001");
  t.box("EditDataLancto")->setText("05/01/04");
  t.pick("DBLkCodHis", "0007");
  t.type("DBEdit10", "D");
  t.type("DBEdit8", "");
  // An account code of five digits and no amount.
  t.journal().setValue("CodigoContaContabil", "11112");
  t.journal().setValue("CodigoContaCorrente", "0001");
  t.click("ButGravarLote");
  EXPECT_EQ(t.ui.texts(), QStringList({"Código da conta contábil tem de ter 6 dígitos.",
                                       "Valor do lançamento tem de ter maior que zero.",
                                       "Conta corrente não cadastrada para a conta contábil.",
                                       "Conta corrente não cadastrada para a conta contábil."}));
  EXPECT_EQ(t.journal().state(), Table::State::Insert);
  EXPECT_EQ(t.count(), 0);

  // Both codes wrong: the pickers' pair and the entry's own pair are each refused.
  t.ui.clear();
  t.journal().setValue("CodigoContaContabil", "411114");
  t.journal().setValue("CodigoContaCorrente", "0002");
  t.type("DBEdit9", "10");
  t.click("ButGravarLote");
  EXPECT_EQ(t.ui.texts(), QStringList({"Conta corrente não cadastrada para a conta contábil.",
                                       "Conta corrente não cadastrada para a conta contábil."}));
  EXPECT_EQ(t.count(), 0);

  t.ui.clear();
  t.pick("DBLkCorrente", "999");
  t.click("ButGravarLote");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_EQ(t.count(), 1);
}

TEST(DocumentosPage, GravarSavesTheDateNumberAndAmountTheBoxesShow) {
  JournalPages t;
  t.box("EditNumDocto")->setText("45");
  t.click("ButIncluiLote");
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00045");
  t.box("EditDataLancto")->setText("20/01/2004"); // typed in full over the proposed date
  typeEntry(t, "111121", "0001", "D", "10.50");
  t.click("ButGravarLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"'10.50' não é um valor válido."});
  EXPECT_EQ(t.box("DBEdit9")->text(), "10.50");
  EXPECT_EQ(t.count(), 0);

  t.ui.clear();
  t.type("DBEdit9", "10,50");
  t.click("ButGravarLote");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  const qint64 id = t.lastId();
  EXPECT_EQ(t.stored(id, "DataDaContabilizacao").toString(), "2004-01-20");
  EXPECT_EQ(t.stored(id, "AnoContasMesDia").toString().right(4), "0120");
  EXPECT_EQ(t.stored(id, "NumeroDocumento").toString(), "00045");
  EXPECT_EQ(t.stored(id, "ValorLancamento").toDouble(), 10.5);

  // An amount stored before amounts were bounded does not overflow the totals.
  t.addEntry("00045", jan5, "291111", "999", "C", 1e17);
  t.click("ButFiltraDoctos");
  t.box("EditNumDocto")->setText("00045");
  t.click("ButFiltraDoctos");
  EXPECT_EQ(t.box("MskTotCred")->text(), "100000000000000000");
}

TEST(DocumentosPage, APickerChoosesOnlyTheAccountTypedInFullHoweverSlowlyTyped) {
  JournalPages t;
  const int usual = QApplication::keyboardInputInterval();
  // Fast typing, then each key on its own as if typed a second apart.
  for (const int interval : {usual, 0}) {
    QApplication::setKeyboardInputInterval(interval);
    t.ui.clear();
    t.click("ButIncluiLote");
    typeEntry(t, "111121", "0001", "D", "5");
    QComboBox* account = t.combo("DbLKCtaCon");
    QTest::keyClicks(account, "411112"); // no such account; 411114 is one
    EXPECT_EQ(account->currentIndex(), -1) << interval;
    EXPECT_EQ(account->placeholderText(), "411112");
    EXPECT_EQ(t.journal().field("CodigoContaContabil").asString(), "411112");
    t.click("ButGravarLote");
    EXPECT_EQ(t.ui.texts(), QStringList({"Conta corrente não cadastrada para a conta contábil.",
                                         "Conta corrente não cadastrada para a conta contábil."}));
    EXPECT_EQ(t.count(), 0);

    // Corrected to an account's code in full, that account is chosen.
    QTest::keyClick(account, Qt::Key_Backspace);
    QTest::keyClick(account, '4');
    EXPECT_EQ(account->currentText(), "411114");
    EXPECT_EQ(t.journal().field("CodigoContaContabil").asString(), "411114");
    t.click("ButCancelaLote");
  }
  QApplication::setKeyboardInputInterval(usual);
}

TEST(DocumentosPage, ADateBoxThatIsNotADateStopsGravarAndKeepsTheEntry) {
  JournalPages t;
  t.click("ButIncluiLote");
  typeEntry(t, "111121", "0002", "C", "12,34");
  for (const char* bad : {"31/02/26", "00/00/00"}) {
    t.ui.clear();
    t.box("EditDataLancto")->setText(bad);
    t.click("ButGravarLote");
    EXPECT_EQ(t.ui.texts(), QStringList{QString("'") + bad + "' não é uma data válida."});
    EXPECT_EQ(t.journal().state(), Table::State::Insert);
    EXPECT_TRUE(t.box("EditDataLancto")->isEnabled());
    EXPECT_EQ(t.box("DBEdit9")->text(), "12,34");
    EXPECT_EQ(t.count(), 0);
  }
  // An emptied box takes the entry's date back, so the entry is saved on it.
  t.ui.clear();
  t.box("EditDataLancto")->setText("");
  t.journal().setValue("DataDaContabilizacao", QDate(2004, 4, 30));
  t.click("ButGravarLote");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_EQ(t.box("EditDataLancto")->text(), "30/04/04");
  EXPECT_EQ(t.stored(t.lastId(), "AnoContasMesDia").toString().right(4), "0430");
}

TEST(DocumentosPage, IncluirNumbersDocumentsAndRefusesAProcessedOne) {
  JournalPages t;
  t.addEntry("00041", jan5, "111121", "0001", "D", 1.0, "P");
  t.addEntry("00041", jan5, "291111", "999", "C", 1.0, "P");
  t.addEntry("00007", jan5, "291111", "999", "C", 1.0);

  // A click in the empty document box shows the highest number, not the next one.
  QTest::mouseClick(t.box("EditNumDocto"), Qt::LeftButton);
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00041");
  EXPECT_EQ(t.journal().order(), "");
  t.click("ButIncluiLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"Documento 00041 já foi processado. Não pode ser alterado."});
  EXPECT_EQ(t.journal().state(), Table::State::Browse);
  EXPECT_EQ(t.journal().recordCount(), 2);

  // Without a selected year nothing happens at all.
  t.ui.clear();
  t.ctx.year = "";
  t.click("ButFiltraDoctos");
  t.click("ButIncluiLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"Não foi selecionado exercício o financeiro para o qual o "
                                      "sistema estará atuando."});
  EXPECT_EQ(t.box("EditNumDocto")->text(), "");
  t.ctx.year = "2004";

  // A typed number adds to that document; an empty box makes the next one.
  t.ui.clear();
  t.box("EditNumDocto")->setText("00007");
  t.click("ButIncluiLote");
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(t.journal().state(), Table::State::Insert);
  t.click("ButCancelaLote");
  EXPECT_TRUE(t.find<QPushButton>("ButProcessar")->isEnabled());
  EXPECT_FALSE(t.box("EditDataLancto")->isEnabled());
  t.click("ButFiltraDoctos");
  t.click("ButIncluiLote");
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00042");
  EXPECT_EQ(t.journal().state(), Table::State::Insert);
}

TEST(DocumentosPage, DocumentNumbersThatCannotBeUsedAreSaidAndNothingStarts) {
  JournalPages t;
  // A highest number that is not a whole number.
  t.addEntry("12A45", jan5, "111121", "0001", "D", 1.0);
  t.click("ButIncluiLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"'12A45' não é um número de documento válido."});
  EXPECT_EQ(t.journal().state(), Table::State::Browse);
  EXPECT_FALSE(t.journal().filtered());

  // A number with a blank in it cannot choose a document.
  for (const char* typed : {"12 34", " 1234"}) {
    t.ui.clear();
    t.box("EditNumDocto")->setText(typed);
    t.click("ButIncluiLote");
    t.click("ButFiltraDoctos");
    const QString said = QString("'") + typed + "' não é um número de documento válido.";
    EXPECT_EQ(t.ui.texts(), QStringList({said, said}));
    EXPECT_FALSE(t.journal().filtered());
    EXPECT_EQ(t.journal().state(), Table::State::Browse);
  }
  EXPECT_EQ(t.count(), 1);

  // The sixth digit would not fit: 99999 is the last document.
  t.dm->database().exec("UPDATE lancamen SET NumeroDocumento = '99999'");
  t.journal().refresh();
  t.ui.clear();
  t.box("EditNumDocto")->setText("");
  t.click("ButIncluiLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"'100000' não é um número de documento válido."});
}

TEST(DocumentosPage, FiltrarChoosesADocumentAndShowsItsTotals) {
  JournalPages t;
  // On an empty journal view an empty box chooses the first document.
  t.click("ButFiltraDoctos");
  EXPECT_EQ(t.box("EditNumDocto")->text(), "00001");
  EXPECT_EQ(t.journal().filter(), "NumeroDocumento=00001");
  EXPECT_TRUE(t.journal().filtered());
  EXPECT_FALSE(t.box("EditNumDocto")->isEnabled());
  EXPECT_TRUE(t.find<QPushButton>("ButProcessar")->isEnabled());
  EXPECT_EQ(t.box("MskTotDeb")->text(), "0");
  t.click("ButFiltraDoctos");
  EXPECT_FALSE(t.journal().filtered());
  EXPECT_EQ(t.box("EditNumDocto")->text(), "");
  EXPECT_EQ(t.box("MskTotDeb")->text(), "");
  EXPECT_TRUE(t.box("EditNumDocto")->isEnabled());
  EXPECT_FALSE(t.find<QPushButton>("ButProcessar")->isEnabled());

  const qint64 first = t.addEntry("00003", QDate(2004, 7, 9), "111121", "0001", "D", 0.1);
  t.addEntry("00003", QDate(2004, 7, 9), "111121", "0002", "D", 0.2);
  t.addEntry("00003", QDate(2004, 7, 9), "291111", "999", "C", 100.0);
  t.addEntry("00002", jan5, "291111", "999", "C", 5.0);
  t.journal().last();
  t.box("EditNumDocto")->setText("00003");
  t.click("ButFiltraDoctos");
  EXPECT_EQ(t.journal().recordCount(), 3);
  EXPECT_EQ(t.journal().bookmark().rowId, first);
  EXPECT_EQ(t.box("EditDataLancto")->text(), "09/07/2004");
  EXPECT_EQ(t.box("MskTotDeb")->text(), "0,3");
  EXPECT_EQ(t.box("MskTotCred")->text(), "100");
}

TEST(DocumentosPage, LeavingTheDcOrAmountBoxWithABadValueKeepsTheFocusThere) {
  JournalPages t;
  // Browsing, nothing is checked: the boxes can be passed through.
  t.focusOut(t.box("DBEdit10"));
  t.focusOut(t.box("DBEdit9"));
  EXPECT_TRUE(t.ui.said.empty());

  t.click("ButIncluiLote");
  t.type("DBEdit10", "x");
  t.leave("DBEdit10", "DBEdit9");
  EXPECT_EQ(t.ui.texts(), QStringList{"Tipo do lançamento só pode ser D ou C."});
  EXPECT_EQ(t.docs->focusWidget(), t.box("DBEdit10"));
  t.type("DBEdit10", "c");
  for (const char* amount : {"0", "-5", ""}) {
    t.ui.clear();
    t.type("DBEdit9", amount);
    t.leave("DBEdit9", "DBEdit8");
    EXPECT_EQ(t.ui.texts(), QStringList{"Valor do lançamento não pode ser menor ou igual a zero."})
        << amount;
    EXPECT_EQ(t.docs->focusWidget(), t.box("DBEdit9"));
  }
  // Text that is no amount at all is said by the box, once.
  t.ui.clear();
  t.type("DBEdit9", "abc");
  t.leave("DBEdit9", "DBEdit8");
  EXPECT_EQ(t.ui.texts(), QStringList{"'abc' não é um valor válido."});
  t.ui.clear();
  t.type("DBEdit9", "0,01");
  t.focusOut(t.box("DBEdit9"));
  EXPECT_TRUE(t.ui.said.empty());
}

TEST(DocumentosPage, TheGuardsActOnASavedEntryFromThisPageToo) {
  JournalPages t;
  const qint64 id = t.addEntry("00005", jan5, "111121", "0001", "D", 50.0);
  t.addEntry("00006", jan5, "111121", "0001", "D", 50.0, "P");
  t.box("EditNumDocto")->setText("00005");
  t.click("ButFiltraDoctos");
  const QString fixed = "Este campo não pode ser alterado. Operação cancelada.";

  t.type("DBEdit8", "texto novo");
  t.key("DBEdit9", '5');
  EXPECT_EQ(t.ui.texts(), QStringList{fixed});
  EXPECT_EQ(t.journal().state(), Table::State::Browse);
  EXPECT_EQ(t.box("DBEdit9")->text(), "50,00");
  EXPECT_EQ(t.box("DBEdit8")->text().trimmed(), "COMPL");
  for (const auto& [picker, key] :
       {std::pair{"DBLkCorrente", "0002"}, std::pair{"DbLKCtaCon", "411114"},
        std::pair{"DBLkHistoric", "0007"}}) {
    t.ui.clear();
    t.pick(picker, key);
    EXPECT_EQ(t.ui.texts(), QStringList{fixed}) << picker;
  }
  EXPECT_EQ(t.stored(id, "CodCtaConCodCtaCor").toString(), "1111210001");

  // A saved entry's D/C and text may be corrected here; the entry keeps its document.
  t.ui.clear();
  t.type("DBEdit10", "C");
  t.click("ButGravarLote");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join('|').toStdString();
  EXPECT_EQ(t.stored(id, "TipoDeLancamento").toString(), "C");
  EXPECT_EQ(t.stored(id, "NumeroDocumento").toString(), "00005");
  EXPECT_EQ(t.box("MskTotCred")->text(), "50");

  // A processed entry is not saved from here either.
  t.click("ButFiltraDoctos");
  t.box("EditNumDocto")->setText("00006");
  t.click("ButFiltraDoctos");
  t.ui.clear();
  t.type("DBEdit10", "C");
  t.click("ButGravarLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"Lançamento já foi processado. Não pode ser alterado. "
                                      "Cancele a operação."});
}

TEST(DocumentosPage, TheCurrentAccountPickerListsTheChosenAccountOnly) {
  JournalPages t;
  t.click("ButIncluiLote");
  t.pick("DbLKCtaCon", "111121");
  Table& chart = *t.dm->TbContas;
  t.focusIn(t.combo("DBLkCorrente"));
  EXPECT_EQ(chart.filter(), "CodigoContaContabil=111121");
  EXPECT_EQ(t.combo("DBLkCorrente")->count(), 2);
  EXPECT_EQ(t.combo("DBLkCorrente")->itemText(1), "0002 - AG 9876-5");
  // Dropping the list down is not leaving the picker.
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
  QApplication::sendEvent(t.combo("DBLkCorrente"), &popup);
  EXPECT_TRUE(chart.filtered());
  t.focusOut(t.combo("DBLkCorrente"));
  EXPECT_FALSE(chart.filtered());
}

} // namespace
} // namespace esc::test
