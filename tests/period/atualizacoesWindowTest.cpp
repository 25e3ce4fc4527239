// The year routines from the running main window: its selected year, its progress bar and the
// year selector that must offer a newly opened year.
#include "periodBooks.h"
#include "startedWindow.h"
#include "testsupport.h"
#include "ui/yearSelector.h"

#include <QDate>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;

namespace {

TEST(AtualizacoesWindow, OpeningTheNextYearShowsItInTheSelector) {
  const int year = QDate::currentDate().year(); // start-up selects the calendar year
  test::TempBook book(true, year);
  DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
  ScriptedUi ui;
  TDEscrivon dm(ui);
  TF_Escrivon w(dm);
  test::typePasswordOnStart(w);
  ASSERT_TRUE(w.startUp());
  const QString y = QString::number(year), next = QString::number(year + 1);
  ASSERT_EQ(w.DBLookupExercicio->year(), y);

  const int synthetic =
      dm.database().selectValue("SELECT count(*) FROM contas WHERE NivelDaConta < '6'").toInt();
  ui.confirmAnswers = {true};
  w.findChild<QPushButton*>("ButAtuSaldo")->click();
  w.findChild<QPushButton*>("ButAberExer")->click();
  EXPECT_EQ(
      ui.texts("message"),
      (QStringList{QStringLiteral("Foram atualizadas %1 contas sintéticas.").arg(12 * synthetic),
                   "Abertura do exercício de " + next + " concluída."}));
  QStringList offered;
  for (int i = 0; i < w.DBLookupExercicio->count(); ++i)
    offered << w.DBLookupExercicio->itemText(i);
  EXPECT_EQ(offered, (QStringList{y, next}));
  EXPECT_EQ(w.DBLookupExercicio->year(), y);
  EXPECT_EQ(dm.TbFechamen->field("Exercicio").asString(), next);
}

} // namespace
