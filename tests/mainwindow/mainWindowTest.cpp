#include "startedWindow.h"
#include "testsupport.h"
#include "ui/yearSelector.h"

#include <QApplication>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace esc;

namespace {

// A main window over a fresh book, started as the system starts, with the password
// typed into the real dialog.
struct Started {
  explicit Started(bool demo = true, int year = 2004, const QString& typed = "ESCRIVON")
      : book(demo, year) {
    DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
    dm = std::make_unique<TDEscrivon>(ui);
    w = std::make_unique<TF_Escrivon>(*dm);
    test::typePasswordOnStart(*w, typed);
    started = w->startUp();
  }
  template <class T> T* get(const char* name) { return w->findChild<T*>(name); }
  QString text(const char* name) { return get<QLineEdit>(name)->text(); }
  bool enabled(const char* name) { return get<QWidget>(name)->isEnabled(); }

  test::TempBook book;
  ScriptedUi ui;
  std::unique_ptr<TDEscrivon> dm;
  std::unique_ptr<TF_Escrivon> w;
  bool started = false;
};

} // namespace

TEST(StartUp, OpensTablesWithTheirOrdersAndRememberedTexts) {
  Started s;
  ASSERT_TRUE(s.started);
  for (Table* t : s.dm->tables())
    EXPECT_TRUE(t->isOpen()) << t->name().toStdString();
  EXPECT_EQ(s.dm->TbLancamen->order(), "SI_AnoContasMesDia");
  EXPECT_EQ(s.w->searchText(SearchKind::Contas), "100000");
  EXPECT_EQ(s.w->searchText(SearchKind::Historicos), "0001");
  EXPECT_EQ(s.w->searchText(SearchKind::DemResul), "01");
  EXPECT_EQ(s.w->searchText(SearchKind::Balanco), "200401100000999");
  EXPECT_EQ(s.w->searchText(SearchKind::Lancamentos),
            "2004111121" + QString("0001").leftJustified(14) + "0105");
  // A registered name keeps the directory it was registered with.
  EXPECT_EQ(DatabaseRegistry::directory("Escrivon"), s.book.path());
  EXPECT_EQ(s.w->cadastros->tabText(s.w->cadastros->currentIndex()), "Lançamentos");
  EXPECT_EQ(s.w->listas->tabText(s.w->listas->currentIndex()), "Lançamentos");
  EXPECT_EQ(s.w->manutencao->tabText(s.w->manutencao->currentIndex()), "Atualizações");
}

TEST(StartUp, YearSelectorEmptyWhenTheCurrentYearIsMissingAndChoosingMakesItCurrent) {
  Started s(true, 2004);
  EXPECT_EQ(s.w->selectedYear(), ""); // the clock says another year than the book's 2004
  s.w->DBLookupExercicio->setYear("2004");
  EXPECT_EQ(s.w->selectedYear(), "2004");
  EXPECT_EQ(s.dm->TbFechamen->field("Exercicio").asString(), "2004");
}

TEST(StartUp, SelectsTheCurrentCalendarYearWhenTheBookHasIt) {
  Started s(true, QDate::currentDate().year());
  EXPECT_EQ(s.w->selectedYear(), QString::number(QDate::currentDate().year()));
}

TEST(StartUp, AMissingTableShowsTheStoreErrorAndEndsTheSystem) {
  test::TempBook book;
  QFile::remove(book.path() + "/HISTORIC.db");
  DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
  ScriptedUi ui;
  TDEscrivon dm(ui);
  TF_Escrivon w(dm);
  bool asked = false;
  w.runPasswordDialog = [&](TF_Senha&) {
    asked = true;
    return int(QDialog::Accepted);
  };
  EXPECT_FALSE(w.startUp());
  EXPECT_TRUE(w.ended());
  EXPECT_FALSE(asked); // never usable without the password
  ASSERT_EQ(ui.texts("error").size(), 1u);
  EXPECT_TRUE(ui.texts("error")[0].contains("HISTORIC.db"));
  EXPECT_FALSE(QFile::exists(book.path() + "/HISTORIC.db")); // nothing created
}

TEST(Password, AcceptsAnyLetterCaseAndRefusesTrailingSpaceOrMissingCharacter) {
  // The demo book's password is ESCRIVON.
  EXPECT_TRUE(Started(true, 2004, "eScRiVoN").started);
  for (const QString& typed : {QString("ESCRIVON "), QString("ESCRIVO")}) {
    Started s(true, 2004, typed);
    EXPECT_FALSE(s.started);
    EXPECT_TRUE(s.w->ended());
    EXPECT_EQ(s.ui.texts(), QStringList{"Senha de entrada incorreta. Acesso não permitido"});
    EXPECT_FALSE(s.dm->TbContas->isOpen()); // the close hook closed the tables
  }
}

TEST(Password, DecodesEightGroupsAndRefusesAMalformedStoredPassword) {
  EXPECT_EQ(decodePassword("065066067068049050051052"), QString("ABCD1234"));
  EXPECT_EQ(decodePassword(""), std::nullopt);
  EXPECT_EQ(decodePassword("06506606706804905005105X"), std::nullopt);
  EXPECT_EQ(decodePassword("065066067068049050051999"), std::nullopt);
  EXPECT_TRUE(passwordMatches("abcd1234", "ABCD1234"));
  EXPECT_FALSE(passwordMatches("abcd1234 ", "ABCD1234"));

  test::TempBook book;
  {
    ScriptedUi ui;
    TDEscrivon dm(ui);
    dm.connectDirectory(book.path());
    dm.TbCabecalh->open();
    dm.TbCabecalh->edit();
    dm.TbCabecalh->setValue("SenhaDeEntrada", "12");
    dm.TbCabecalh->post();
  }
  DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
  ScriptedUi ui;
  TDEscrivon dm(ui);
  TF_Escrivon w(dm);
  w.runPasswordDialog = [](TF_Senha& d) {
    d.ButSenhaOk->click();
    return d.result();
  };
  EXPECT_FALSE(w.startUp());
  EXPECT_EQ(ui.texts(), QStringList{"Senha de entrada armazenada inválida. Acesso não permitido"});
}

TEST(Password, CancelarEndsTheSystem) {
  test::TempBook book;
  DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
  ScriptedUi ui;
  TDEscrivon dm(ui);
  TF_Escrivon w(dm);
  w.runPasswordDialog = [](TF_Senha& d) {
    d.ButSenhaCancel->click();
    return d.result();
  };
  EXPECT_FALSE(w.startUp());
  EXPECT_TRUE(w.ended());
  EXPECT_TRUE(ui.texts().isEmpty());
}

TEST(CloseHook, NoKeepsTheWindowWithTheEditAndYesDiscardsAndCloses) {
  Started s;
  Table* contas = s.dm->TbContas;
  contas->edit();
  contas->setValue("NomeContaContabil", "ATIVO TOTAL");
  s.ui.confirmAnswers = {false};
  EXPECT_FALSE(s.w->close());
  EXPECT_FALSE(s.w->ended());
  EXPECT_EQ(s.ui.texts("confirm"),
            QStringList{"É necessário cancelar a edição (ou Inclusão) de Contas antes de fechar. "
                        "Deseja sair agora ?"});
  EXPECT_EQ(contas->state(), Table::State::Edit);
  EXPECT_EQ(contas->field("NomeContaContabil").asString(), "ATIVO TOTAL");

  s.ui.clear();
  s.ui.confirmAnswers = {true};
  EXPECT_TRUE(s.w->close());
  EXPECT_TRUE(s.w->ended());
  EXPECT_FALSE(contas->isOpen());
  // The discarded edit never reached the file.
  ScriptedUi ui;
  TDEscrivon again(ui);
  again.connectDirectory(s.book.path());
  again.TbContas->open();
  EXPECT_EQ(again.TbContas->field("NomeContaContabil").asString(), "ATIVO");
}

TEST(CloseHook, AsksEachEditedTableInOrder) {
  Started s;
  s.dm->TbDemResul->edit();
  s.dm->TbDemResul->setValue("NomeDoGrupo", "X");
  s.dm->TbLancamen->edit();
  s.dm->TbLancamen->setValue("HistoricoComplementar", "Y");
  s.ui.confirmAnswers = {true, false};
  EXPECT_FALSE(s.w->close());
  const QStringList asked = s.ui.texts("confirm");
  ASSERT_EQ(asked.size(), 2);
  EXPECT_TRUE(asked[0].contains(" de Dem. Res. antes de fechar."));
  EXPECT_TRUE(asked[1].contains(" de Lançamentos antes de fechar."));
  EXPECT_EQ(s.dm->TbDemResul->state(), Table::State::Browse); // Yes discarded it
  EXPECT_EQ(s.dm->TbLancamen->state(), Table::State::Edit);
}

TEST(Refresh, CountersAndTheDeleteRuleOfAnEmptyChart) {
  Started s(false); // no demo: the chart is empty
  s.w->refresh();
  EXPECT_EQ(s.text("EdCRecNo"), "0");
  EXPECT_EQ(s.text("EdCTotRec"), "0");
  EXPECT_EQ(s.text("EdCEdTotRec"), "0");
  EXPECT_FALSE(s.enabled("ButCEliminar"));
  EXPECT_TRUE(s.enabled("ButCInserir"));
  EXPECT_TRUE(s.enabled("ButCFirst"));
  EXPECT_FALSE(s.enabled("ButCGravar"));
}

TEST(Refresh, EditingSwitchesTheGroupAndSavingRestoresIt) {
  Started s;
  s.w->refresh();
  EXPECT_EQ(s.text("EdCTotRec"), "56");
  EXPECT_EQ(s.text("EdCRecNo"), "1");
  EXPECT_EQ(s.text("EdBEdTotRec"), "672");
  EXPECT_TRUE(s.enabled("ButCEliminar"));
  s.dm->TbContas->edit();
  s.dm->TbContas->setValue("NomeContaContabil", "ATIVO TOTAL");
  s.w->refresh();
  EXPECT_TRUE(s.enabled("ButCGravar"));
  EXPECT_TRUE(s.enabled("ButCCancelar"));
  for (const char* n : {"ButCInserir", "ButCEliminar", "ButCDuplicar", "ButCBuscar", "ButCFirst",
                        "ButCRW", "ButCPrior", "ButCNext", "ButCFF", "ButCLast"})
    EXPECT_FALSE(s.enabled(n)) << n;
  EXPECT_TRUE(s.enabled("ButCEdNext")); // the list page's bar is never switched
  s.dm->TbContas->post();
  s.w->refresh();
  EXPECT_FALSE(s.enabled("ButCGravar"));
  EXPECT_TRUE(s.enabled("ButCInserir"));
}

TEST(Refresh, ABusyBookKeepsTheCountersAndTheTickGoesOn) {
  Started s;
  s.w->refresh();
  s.dm->TbContas->next();
  s.dm->TbContas->edit();
  // A write by SQL makes the cached counts stale, so the next tick reads them again.
  s.dm->database().exec("UPDATE contas SET NivelDaConta = NivelDaConta WHERE rowid = 1");
  // Another program holds the chart's file while it writes: reads wait, then fail.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(QDir(s.book.path()).filePath("CONTAS.db").toUtf8().constData(), &other),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_NO_THROW(s.w->refresh());
  EXPECT_EQ(s.text("EdCRecNo"), "1");
  EXPECT_TRUE(s.enabled("ButCGravar")); // the buttons still follow the tables
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  s.w->refresh();
  EXPECT_EQ(s.text("EdCRecNo"), "2");
  s.dm->TbContas->cancel();
}

TEST(Refresh, DocumentFilterCaptionsAndProcessButton) {
  Started s;
  Table* l = s.dm->TbLancamen;
  s.w->refresh();
  EXPECT_EQ(s.get<QPushButton>("ButFiltraDoctos")->text(), "&Filtrar");
  EXPECT_FALSE(s.enabled("ButProcessar"));
  EXPECT_EQ(s.text("EditDataLancto"), "05/01/2004"); // the current entry's date
  l->setFilter("NumeroDocumento=00002");
  l->setFiltered(true);
  s.w->refresh();
  EXPECT_EQ(s.get<QPushButton>("ButFiltraDoctos")->text(), "Des&filtrar");
  EXPECT_EQ(s.get<QPushButton>("ButLFiltrar")->text(), "Des&filtrar");
  EXPECT_FALSE(s.enabled("EditNumDocto"));
  EXPECT_TRUE(s.enabled("ButProcessar"));
  EXPECT_EQ(s.text("EdLTotRec"), "2");
  l->edit();
  l->setValue("HistoricoComplementar", "X");
  s.w->refresh();
  EXPECT_FALSE(s.enabled("ButProcessar"));
  EXPECT_FALSE(s.enabled("ButIncluiLote"));
  EXPECT_TRUE(s.enabled("ButGravarLote"));
  EXPECT_FALSE(s.enabled("ButLEliminar"));
  l->cancel();
  l->setFiltered(false);
  s.w->refresh();
  EXPECT_EQ(s.get<QPushButton>("ButLFiltrar")->text(), "&Filtrar");
  EXPECT_TRUE(s.enabled("EditNumDocto"));
}

TEST(Refresh, StatusLineShowsClockAndLockKeys) {
  Started s;
  LockKeys keys;
  keys.caps = true;
  s.w->lockKeys = [&] { return std::optional<LockKeys>(keys); };
  s.w->refresh();
  EXPECT_EQ(s.w->panels[5]->text(), "Caps");
  EXPECT_EQ(s.w->panels[3]->text(), "");
  EXPECT_EQ(s.w->panels[0]->text().size(), 8);
  EXPECT_EQ(s.w->panels[1]->text(), QDate::currentDate().toString("dd/MM/yy"));
  keys.caps = false;
  keys.num = true;
  s.w->refresh();
  EXPECT_EQ(s.w->panels[5]->text(), "");
  EXPECT_EQ(s.w->panels[3]->text(), "Num");
}

TEST(Navigation, SkipBoxesBelongToTheirOwnBar) {
  Started s;
  Table* c = s.dm->TbContas;
  c->first();
  c->moveBy(8); // record 9
  s.get<QLineEdit>("MaskCSalto")->setText("3");
  s.get<QPushButton>("ButCFF")->click();
  EXPECT_EQ(c->recNo(), 12);
  c->last();
  const int total = c->recordCount();
  c->moveBy(-1);
  s.get<QPushButton>("ButCFF")->click(); // more than remain: stops on the last
  EXPECT_EQ(c->recNo(), total);
  // Skip back with a negative amount moves forwards.
  c->first();
  s.get<QLineEdit>("MaskCSalto")->setText("-2");
  s.get<QPushButton>("ButCRW")->click();
  EXPECT_EQ(c->recNo(), 3);
  // The list page's bar uses its own box, which is empty.
  s.get<QPushButton>("ButCEdFW")->click();
  EXPECT_EQ(s.ui.texts(), QStringList{"Valor do Salto inválido. Tente novamente."});
  EXPECT_EQ(c->recNo(), 3);
  // Moving on the list page moves the maintenance page's record.
  s.get<QPushButton>("ButCEdNext")->click();
  EXPECT_EQ(c->recNo(), 4);
  s.w->refresh();
  EXPECT_EQ(s.text("EdCRecNo"), "4");
  EXPECT_EQ(s.text("EdCEdRecNo"), "4");
}

TEST(Navigation, SkipOnEntriesLeavesOtherTablesAlone) {
  Started s;
  Table* l = s.dm->TbLancamen;
  l->last();
  s.dm->TbHistoric->first();
  s.get<QLineEdit>("MaskLSaltoEd")->setText("2");
  s.get<QLineEdit>("MaskLSalto")->setText("x");
  s.get<QPushButton>("ButLEdRW")->click();
  EXPECT_EQ(l->recNo(), 2);
  EXPECT_EQ(s.dm->TbHistoric->recNo(), 1);
  s.get<QPushButton>("ButLFF")->click(); // uses MaskLSalto, not the list page's box
  EXPECT_EQ(s.ui.texts(), QStringList{"Valor do Salto inválido. Tente novamente."});
  EXPECT_EQ(l->recNo(), 2);
}

// A record half typed on one page is that page's: an operation of another page that would
// change its table's order (and so store it without its checks) refuses and stores nothing.
TEST(PendingEdit, AnotherPagesOperationRefusesAndStoresNothing) {
  Started s;
  s.w->DBLookupExercicio->setYear("2004");
  auto show = [](QTabWidget* tabs, const QString& caption) {
    for (int i = 0; i < tabs->count(); ++i)
      if (tabs->tabText(i) == caption) tabs->setCurrentIndex(i);
  };
  auto click = [&](const char* name) {
    s.w->refresh();
    s.get<QPushButton>(name)->click();
  };
  auto count = [&](const QString& table) {
    return s.dm->database().selectValue("SELECT count(*) FROM " + table).toInt();
  };
  const int entries = count("lancamen"), accounts = count("contas");
  Table* journal = s.dm->TbLancamen;
  Table* chart = s.dm->TbContas;

  // A copy of an entry holds every required field, but not the key Gravar builds.
  show(s.w->cadastros, "Lançamentos");
  click("ButLDuplicar");
  ASSERT_EQ(journal->state(), Table::State::Insert);
  show(s.w->cadastros, "Contas");
  ASSERT_TRUE(chart->locate("CodigoContaContabil", "111121"));
  click("ButCEliminar"); // would look for the account's entries in another journal order
  EXPECT_EQ(s.ui.texts(), QStringList{"Há um registro em edição em Lançamentos. "
                                      "Grave-o ou cancele-o antes."});
  EXPECT_EQ(journal->state(), Table::State::Insert);
  EXPECT_EQ(journal->order(), "SI_AnoContasMesDia");
  EXPECT_EQ(count("lancamen"), entries);
  EXPECT_EQ(count("contas"), accounts);
  journal->cancel();

  // An account typed in full but not saved has neither its pair key nor its twelve rows.
  s.ui.clear();
  click("ButCInserir");
  const std::pair<const char*, const char*> typed[] = {{"CodigoContaContabil", "111199"},
                                                       {"NomeContaContabil", "CAIXA NOVO"},
                                                       {"CodigoContaCorrente", "999"},
                                                       {"TipoDeSaldo", "D"},
                                                       {"NivelDaConta", "6"}};
  for (const auto& [field, value] : typed)
    chart->setValue(field, value);
  show(s.w->FichaPrincipal, "Manutenção");
  show(s.w->manutencao, "Atualizações");
  click("ButAtuSaldo");
  EXPECT_EQ(s.ui.texts(),
            QStringList{"Há um registro em edição em Contas. Grave-o ou cancele-o antes."});
  EXPECT_EQ(chart->state(), Table::State::Insert);
  EXPECT_EQ(count("contas"), accounts);
}

TEST(Search, PromptsWithTheOrderItemAndRemembersTheAnswer) {
  Started s;
  Table* c = s.dm->TbContas;
  s.ui.promptAnswers = {QString("2111")};
  s.get<QPushButton>("ButCBuscar")->click();
  EXPECT_EQ(s.ui.lastPromptTitle, "Pesquisar Cód. Cta. Contábil");
  EXPECT_EQ(s.ui.lastPromptLabel, "Digite Cód. Cta. Contábil (ou parte)");
  EXPECT_EQ(s.ui.lastPromptDefault, "100000");
  EXPECT_EQ(c->field("CodigoContaContabil").asString(), "211100"); // first key >= "2111"
  s.ui.promptAnswers = {std::nullopt};
  s.get<QPushButton>("ButCBuscar")->click();
  EXPECT_EQ(s.ui.lastPromptDefault, "2111");
  EXPECT_EQ(c->field("CodigoContaContabil").asString(), "211100"); // Cancel: nothing moves
  s.ui.promptAnswers = {QString("999")};
  s.get<QPushButton>("ButCBuscar")->click();
  EXPECT_EQ(c->recNo(), c->recordCount());      // beyond every key: the last record
  EXPECT_TRUE(s.ui.texts("confirm").isEmpty()); // nothing was being edited
}

TEST(Search, AnEditInProgressIsConfirmedFirst) {
  Started s;
  Table* d = s.dm->TbDemResul;
  d->edit();
  d->setValue("NomeDoGrupo", "Z");
  s.ui.confirmAnswers = {false};
  s.get<QPushButton>("ButDBuscar")->click();
  EXPECT_EQ(s.ui.texts(), QStringList{"É necessário cancelar a edição (ou Inclusão) Dem. Res. "
                                      "antes de Localizar. Deseja sair agora ?"});
  EXPECT_EQ(d->state(), Table::State::Edit);
  s.ui.clear();
  s.ui.confirmAnswers = {true};
  s.ui.promptAnswers = {QString("03")};
  s.get<QPushButton>("ButDBuscar")->click();
  EXPECT_EQ(d->state(), Table::State::Browse);
  EXPECT_EQ(d->field("OrdemDoGrupo").asString(), "03");
  EXPECT_EQ(s.w->searchText(SearchKind::DemResul), "03");
}

TEST(Organizacao, TheSpedDataButtonOpensTheDialog) {
  Started s;
  ASSERT_TRUE(s.started);
  QString opened;
  QTimer::singleShot(0, [&] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      opened = dialog->metaObject()->className();
      static_cast<QDialog*>(dialog)->reject();
    }
  });
  s.get<QPushButton>("ButCadOrgSped")->click();
  EXPECT_EQ(opened, "esc::SpedDataDialog");
}
