// Store errors met by the controls while they follow a table, and the user's input while an
// operation's transaction is open.
#include "testsupport.h"
#include "ui/application.h"
#include "ui/dbEdit.h"
#include "ui/dbGrid.h"
#include "ui/dbLookupCombo.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace esc;
using esc::test::OpenBook;

namespace {

Application& app() {
  return *dynamic_cast<Application*>(QCoreApplication::instance());
}

// The application's error path, for one test.
struct ErrorBoxes {
  explicit ErrorBoxes(Ui& ui) { app().setUi(&ui); }
  ~ErrorBoxes() { app().setUi(nullptr); }
};

} // namespace

TEST(StoreErrorsInSlots, ControlsThatCannotReadReportItAndThePostThatNotifiedThemStands) {
  OpenBook b;
  ErrorBoxes boxes(b.ui);
  Table& lanc = *b.dm->TbLancamen;
  lanc.first();
  // Controls that read the chart on every notification of the journal.
  DBEdit name(b.dm->DsLancamen, "NomeContaContabil");
  DBGrid grid;
  grid.setDataSource(b.dm->DsLancamen);
  grid.setColumns({{"ValorLancamento", {}, 0}, {"NomeContaContabil", {}, 0}});
  DBLookupCombo combo;
  combo.setDataSource(b.dm->DsLancamen);
  combo.setListTable(b.dm->TbContas);
  combo.setDataField("NomeContaContabil");
  grid.show();
  combo.show();
  int hookCalls = 0;
  lanc.onPostError = [&](const StoreError&) {
    ++hookCalls;
    return Table::PostErrorAction::Fail;
  };
  // The chart's file goes away under the store (a disk that stopped answering).
  b.dm->database().exec("DETACH DATABASE f_contas");

  const QVariant row = lanc.field("Ordem").value();
  lanc.edit();
  EXPECT_NO_THROW(lanc.field("HistoricoComplementar").setValue("CONFERIDO"));
  EXPECT_NO_THROW(lanc.post());
  EXPECT_EQ(hookCalls, 0); // the post did not fail
  EXPECT_EQ(lanc.state(), Table::State::Browse);
  EXPECT_EQ(b.dm->database().selectValue(
                "SELECT HistoricoComplementar FROM lancamen WHERE rowid = ?", {row}),
            QVariant("CONFERIDO"));
  EXPECT_NO_THROW(lanc.next());
  // The errors reach the user after the event, through the application's error box.
  EXPECT_TRUE(b.ui.texts("error").isEmpty());
  QCoreApplication::processEvents();
  ASSERT_FALSE(b.ui.texts("error").isEmpty());
  EXPECT_TRUE(b.ui.texts("error").first().contains("contas"))
      << b.ui.texts("error").first().toStdString();
}

TEST(StoreErrorsInSlots, AChangedListIsReadOnceWhenNextNeededNotOnEveryWrite) {
  OpenBook b;
  Table& lanc = *b.dm->TbLancamen;
  Table& contas = *b.dm->TbContas;
  lanc.first();
  DBLookupCombo combo;
  combo.setDataSource(b.dm->DsLancamen);
  combo.setListTable(&contas);
  combo.setDataField("NomeContaContabil");
  const int before = combo.count();
  // Hidden: many writes to the chart read nothing.
  for (int i = 0; i < 3; ++i) {
    contas.insert();
    contas.field("CodCtaConCodCtaCor").setValue(QString("41119%1999").arg(i));
    contas.field("CodigoContaContabil").setValue(QString("41119%1").arg(i));
    contas.field("NomeContaContabil").setValue(QString("NOVA %1").arg(i));
    contas.field("CodigoContaCorrente").setValue("999");
    contas.field("TipoDeSaldo").setValue("D");
    contas.field("NivelDaConta").setValue("6");
    contas.post();
  }
  EXPECT_EQ(combo.count(), before);
  combo.show(); // on screen: the list is read again, with the new accounts
  EXPECT_EQ(combo.count(), before + 3);
  EXPECT_GE(combo.findText("NOVA 2"), 0);
  EXPECT_EQ(combo.currentText(), lanc.field("NomeContaContabil").asString());
}

TEST(InputDuringAnOperation, OnlyTheOperationsBoxTakesClicksWhileItsTransactionIsOpen) {
  OpenBook b;
  QWidget window;
  auto* start = new QPushButton("&Processar", &window);
  int started = 0;
  QObject::connect(start, &QPushButton::clicked, [&] { ++started; });
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  {
    Transaction tx(b.dm->database());
    // The operation asks the user something: its box runs an event loop of its own.
    QDialog box(&window);
    box.setModal(true);
    auto* answer = new QPushButton("&Sim", &box);
    new QVBoxLayout(&box);
    box.layout()->addWidget(answer);
    int answered = 0;
    QObject::connect(answer, &QPushButton::clicked, [&] { ++answered; });
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    ASSERT_EQ(QApplication::activeModalWidget(), &box);
    QTest::mouseClick(start, Qt::LeftButton);
    QTest::keyClick(start, Qt::Key_Space);
    EXPECT_EQ(started, 0);
    QTest::mouseClick(answer, Qt::LeftButton);
    EXPECT_EQ(answered, 1);
    box.hide();
    QTest::mouseClick(start, Qt::LeftButton); // no box: still the operation's time
    EXPECT_EQ(started, 0);
    tx.commit();
  }
  QTest::mouseClick(start, Qt::LeftButton);
  EXPECT_EQ(started, 1);
}
