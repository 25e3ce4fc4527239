#include "booksTestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace esc;

using test::reportTool;
using test::runReportTool;

// The whole road: the tool runs the trial balance with a dialog's values on a book on disk
// and writes a PDF whose text reads back.
TEST(EscrivonReport, TrialBalanceToPdf) {
  ASSERT_TRUE(QFileInfo::exists(reportTool())) << "build escrivon-report first";
  QString dataDir;
  {
    test::ReportBook book; // writes the amounts, then closes the book
    dataDir = book.path();
    book.dir.setAutoRemove(false);
  }
  QTemporaryDir out;
  const QString pdf = out.filePath("balancete.pdf");
  const test::ToolResult r = runReportTool({"--data-dir", dataDir, "balancete", "--EdBPeriodo",
                                            "200401", "--EdBPeriodoAte", "200402", "-o", pdf});
  QDir(dataDir).removeRecursively();
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QString text = test::pdfText(pdf);
  EXPECT_TRUE(text.contains("Balancete Contábil"));
  EXPECT_TRUE(text.contains("ORGANIZAÇÃO EXEMPLO LTDA")) << text.toStdString();
  EXPECT_TRUE(text.contains("Período:")) << text.toStdString();
  EXPECT_TRUE(text.contains("01/2004"));
  EXPECT_EQ(text.count("1.334,07"), 2) << "January and February";
  EXPECT_TRUE(text.contains("-160,00 C")) << text.toStdString();
  EXPECT_TRUE(text.contains("2.348,13")) << "the summary's sum of the current balances";
  EXPECT_TRUE(text.contains("Página: 1"));
  EXPECT_TRUE(text.contains("Escrivon-ZNK"));
}

TEST(EscrivonReport, ListsReportsAndRefusesUnknownOptions) {
  ASSERT_TRUE(QFileInfo::exists(reportTool()));
  const test::ToolResult list = runReportTool({"--list"});
  EXPECT_EQ(list.code, 0);
  EXPECT_TRUE(list.out.contains("balancete"));
  EXPECT_TRUE(list.out.contains("--EdBPeriodoAte"));
  EXPECT_TRUE(list.out.contains("--SaldoZero"));
  test::TempBook book;
  const test::ToolResult bad = runReportTool(
      {"--data-dir", book.path(), "balancete", "--EdNada", "1", "-o", book.dir.filePath("x.pdf")});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(bad.err.contains("EdNada"));
}
