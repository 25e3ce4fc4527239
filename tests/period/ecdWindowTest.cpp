// The ECD from the "Atualizações" page and the data it needs, typed in its dialog.
#include "book/taxIds.h"
#include "journal/documentProcessing.h"
#include "period/balanceSheetUpdate.h"
#include "period/incomeStatementUpdate.h"
#include "period/pages/atualizacoesPage.h"
#include "period/pages/spedDataDialog.h"
#include "period/spedData.h"
#include "period/syntheticUpdate.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace esc;

namespace {

TEST(EcdWindow, TheButtonWritesTheYearWhereThePromptSays) {
  test::OpenBook book(true, 2024, true);
  Database& db = book.dm->database();
  NoProgress quiet;
  ASSERT_TRUE(DocumentProcessing(db, "2024").run({"00001", "00002"}, quiet).isDone());
  ASSERT_TRUE(syntheticUpdate(db, "2024", quiet).isDone());
  ASSERT_TRUE(updateIncomeStatement(db, "202412", quiet).isDone());
  ASSERT_TRUE(updateBalanceSheet(db, "2024", quiet).isDone());
  ScriptedUi& ui = book.ui;
  SimpleContext ctx(*book.dm, ui);
  ctx.year = "2024";
  AtualizacoesPage page(ctx);
  QTemporaryDir out;
  const QString path = out.filePath("ecd.txt");

  // Cancel writes nothing; the default is the file's usual name in the home directory.
  ui.promptAnswers = {std::nullopt, path};
  page.ButExportaEcd->click();
  const QString cnpj =
      book::digitsOf(db.selectValue("SELECT CNPJDaOrganizacao FROM cabecalh LIMIT 1").toString());
  ASSERT_EQ(cnpj.size(), 14);
  EXPECT_EQ(ui.lastPromptDefault, QDir::home().filePath("ECD_" + cnpj + "_2024.txt"));
  EXPECT_TRUE(ui.texts("message").isEmpty());

  page.ButExportaEcd->click();
  ASSERT_EQ(ui.texts("message").size(), 1);
  EXPECT_TRUE(ui.texts("message")[0].startsWith("ECD de 2024 gravada: "))
      << ui.texts("message")[0].toStdString();
  EXPECT_TRUE(QFile(path).size() > 0);
  EXPECT_FALSE(ui.positions.empty());
  EXPECT_EQ(ui.position, 0);

  // A missing value is named and the SPED data are asked for: given up, nothing is written;
  // saved, the export runs again to the same file.
  SpedData d = loadSpedData(db);
  const QString municipality = d.municipalityName;
  d.municipalityName.clear();
  ASSERT_TRUE(saveSpedData(db, d).isDone());
  const QString second = out.filePath("ecd2.txt");
  bool typed = false;
  page.askSpedData = [&] {
    if (!typed) return false;
    d.municipalityName = municipality;
    return saveSpedData(db, d).isDone();
  };
  ui.clear();
  ui.promptAnswers = {second};
  EXPECT_FALSE(page.exportaEcd());
  ASSERT_EQ(ui.texts("message").size(), 1);
  EXPECT_TRUE(ui.texts("message")[0].contains("nome do município"))
      << ui.texts("message")[0].toStdString();
  EXPECT_FALSE(QFile::exists(second));

  typed = true;
  ui.clear();
  ui.promptAnswers = {second};
  EXPECT_TRUE(page.exportaEcd());
  ASSERT_EQ(ui.texts("message").size(), 2);
  EXPECT_TRUE(ui.texts("message")[1].startsWith("ECD de 2024 gravada: "));
  EXPECT_TRUE(QFile::exists(second));
}

TEST(EcdWindow, TheDialogKeepsWhatIsTypedAndRefusesABadCpf) {
  test::OpenBook book(true, 2024);
  Database& db = book.dm->database();
  ScriptedUi& ui = book.ui;
  SimpleContext ctx(*book.dm, ui);
  const SpedData before = loadSpedData(db);
  ASSERT_FALSE(before.signatories.isEmpty());
  ASSERT_NE(before.uf, "RJ");

  SpedDataDialog dialog(ctx);
  ASSERT_EQ(dialog.signatories->rowCount(), before.signatories.size());
  ASSERT_GT(dialog.natures->rowCount(), 0);
  dialog.resize(1000, 700);
  dialog.grab().save("/tmp/spedDialog.png");
  dialog.uf->setText("rj");
  dialog.natures->item(0, 2)->setText("09");
  ASSERT_GT(dialog.referentials->rowCount(), 1);
  const QString pair = dialog.referentials->item(0, 0)->text();
  const QString emptied = dialog.referentials->item(1, 0)->text();
  dialog.referentials->item(0, 2)->setText("1.01.01.01.01");
  dialog.referentials->item(1, 2)->setText("");
  dialog.registrations->setRowCount(1);
  dialog.registrations->setItem(0, 0, new QTableWidgetItem("01"));
  dialog.registrations->setItem(0, 1, new QTableWidgetItem("Z1234567"));
  EXPECT_TRUE(dialog.save());
  SpedData after = loadSpedData(db);
  EXPECT_EQ(after.uf, "RJ");
  EXPECT_EQ(after.natureOf(dialog.natures->item(0, 0)->text()), "09");
  EXPECT_EQ(after.referentialCodes.value(pair), "1.01.01.01.01");
  EXPECT_FALSE(after.referentialCodes.contains(emptied));
  EXPECT_EQ(after.referentialCodes.size(), before.referentialCodes.size() - 1);
  ASSERT_EQ(after.otherRegistrations.size(), 1);
  EXPECT_EQ(after.otherRegistrations[0].number, "Z1234567");
  EXPECT_EQ(after.signatories.size(), before.signatories.size());

  SpedDataDialog again(ctx);
  again.uf->setText("SP");
  again.signatories->item(0, SpedDataDialog::Cpf)->setText("123.456.789-00");
  ui.clear();
  EXPECT_FALSE(again.save());
  EXPECT_EQ(ui.texts("message"), QStringList{"CPF/CNPJ 12345678900 do signatário " +
                                             before.signatories[0].name + " inválido."});
  EXPECT_EQ(loadSpedData(db).uf, "RJ");
}

} // namespace
