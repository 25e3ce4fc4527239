#include "demobook.h"
#include "reportsTestSupport.h"

#include "reports/engine/registry.h"

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

// The charts of a year without a display: one A4 landscape page under the organization's name.
TEST(EscrivonReport, ChartsOfAYearToPdf) {
  ASSERT_TRUE(QFileInfo::exists(reportTool()));
  QTemporaryDir dir, out;
  InitOptions o;
  o.directory = dir.path();
  o.year = 2023;
  o.demo = o.demoYear = true;
  createDataDirectory(o);
  const QString pdf = out.filePath("graficos.pdf");
  const test::ToolResult r =
      runReportTool({"--data-dir", dir.path(), "grafico", "--ano", "2023", "-o", pdf});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QString text = test::pdfText(pdf);
  EXPECT_EQ(text.count('\f'), 1) << "one page";
  EXPECT_TRUE(text.contains("ORGANIZAÇÃO EXEMPLO LTDA")) << text.toStdString();
  EXPECT_TRUE(text.contains("Receitas, despesas e resultado de 2023"));
  EXPECT_TRUE(text.contains("SALÁRIOS E ORDENADOS"));
  EXPECT_EQ(runReportTool({"--data-dir", dir.path(), "grafico", "-o", pdf}).code, 2);
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

// Every option of every dialog has a readable name; given by it, the report is the one its
// widget names give; what the dialog would refuse ends with status 2 and the dialog's words.
TEST(EscrivonReport, ReadableOptionNamesGiveTheSameReport) {
  for (const report::ReportEntry& e : report::ReportRegistry::instance().entries())
    if (e.dialog)
      for (const auto& [name, alias] : e.dialog->aliases()) {
        EXPECT_FALSE(alias.isEmpty()) << e.id.toStdString() << " --" << name.toStdString();
        EXPECT_EQ(e.dialog->nameOf(alias), name) << e.id.toStdString();
      }

  QString dataDir;
  {
    test::ReportBook book; // writes the amounts, then closes the book
    dataDir = book.path();
    book.dir.setAutoRemove(false);
  }
  QTemporaryDir out;
  const auto run = [&](const QString& report, const QStringList& options) {
    const QString pdf = out.filePath(QString::number(qHash(options.join(' '))) + ".pdf");
    const test::ToolResult r = runReportTool(QStringList{"--data-dir", dataDir, report} + options +
                                             QStringList{"-o", pdf});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    return test::pdfText(pdf);
  };
  const QString byWidgets =
      run("balancete", {"--EdBPeriodo", "200401", "--EdBPeriodoAte", "200402", "--EdBCon", "100000",
                        "--EdBConAte", "399999", "--SaldoZero", "1"});
  EXPECT_TRUE(byWidgets.contains("1.334,07"));
  EXPECT_EQ(run("balancete", {"--periodo", "200401", "--ate", "200402", "--conta-de", "100000",
                              "--conta-ate", "399999", "--saldo-zero", "1"}),
            byWidgets);
  EXPECT_EQ(run("contas", {"--ordem", "5"}), run("contas", {"--OrdemContas", "5"}));

  const auto refused = [&](const QStringList& options) {
    return runReportTool(QStringList{"--data-dir", dataDir} + options +
                         QStringList{"-o", out.filePath("x.pdf")});
  };
  test::ToolResult r = refused({"razao", "--data-de", "31/02/2004"});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("Dados informados inválidos. Verifique.")) << r.err.toStdString();
  EXPECT_EQ(refused({"balancete", "--periodo", "2004011"}).code, 2);
  EXPECT_EQ(refused({"balancete", "--saldo-zero", "sim"}).code, 2);
  EXPECT_EQ(refused({"contas", "--ordem", "9"}).code, 2);
  EXPECT_FALSE(QFileInfo::exists(out.filePath("x.pdf")));
  QDir(dataDir).removeRecursively();
}

// A target among the book's files, or any database, is refused before anything is written;
// a target that cannot be written is an error, never a success.
TEST(EscrivonReport, NeverReplacesABookOrDatabaseFileAndFailsWhenItCannotWrite) {
  ASSERT_TRUE(QFileInfo::exists(reportTool()));
  test::TempBook book;
  QTemporaryDir out;
  const QString chart = book.dir.filePath("CONTAS.db");
  QFile::link(chart, out.filePath("contas.pdf"));
  QFile::copy(chart, out.filePath("livro-antigo.pdf"));
  auto bytes = [](const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  const QByteArray before = bytes(chart);
  struct Case {
    QString target;
    int code;
    QString said;
  };
  for (const Case& c : QVector<Case>{
           {chart, 2, "a pasta de dados do Escrivon"},
           {out.filePath("contas.pdf"), 2, "a pasta de dados do Escrivon"},
           {out.filePath("livro-antigo.pdf"), 2, "o arquivo é um banco de dados SQLite"},
           {"/nonexistent/x.pdf", 1, "Não foi possível gravar o relatório em /nonexistent/x.pdf"},
       }) {
    const test::ToolResult r =
        runReportTool({"--data-dir", book.path(), "historicos", "-o", c.target});
    EXPECT_EQ(r.code, c.code) << c.target.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("página(s)")) << r.err.toStdString();
  }
  EXPECT_EQ(bytes(chart), before);
  EXPECT_EQ(bytes(out.filePath("livro-antigo.pdf")), before);
}
