#include "reports/dialogs/parameterDialog.h"
#include "reports/dialogs/previewWindow.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reports/dialogs/reportRun.h"
#include "reports/engine/registry.h"
#include "reportsTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;

// Pictures of the page, the dialog, the preview window and a PDF page of the trial balance,
// for a person to look at. Written only when ESCRIVON_SCREENSHOTS names a directory.
TEST(Screenshots, ReportsPageDialogAndPreview) {
  const QString dir = qEnvironmentVariable("ESCRIVON_SCREENSHOTS");
  if (dir.isEmpty()) GTEST_SKIP() << "set ESCRIVON_SCREENSHOTS=dir to write them";
  QDir().mkpath(dir);
  test::ReportBook book;
  RelatoriosPage page(book.ctx);
  page.resize(720, 480);
  page.show();
  QApplication::processEvents();
  page.grab().save(dir + "/relatorios-pagina.png");

  ParameterDialog* dialog = page.activate("ButRBContas");
  ASSERT_TRUE(dialog);
  QApplication::processEvents();
  dialog->grab().save(dir + "/relatorios-selbalan.png");

  const auto windows = run(book.ctx, *ReportRegistry::instance().byId("balancete"),
                           {{"SaldoZero", "1"}}, Output::Video);
  ASSERT_EQ(windows.size(), 1);
  windows[0]->showNormal(); // at its default size, as the user first sees it
  QApplication::processEvents();
  windows[0]->grab().save(dir + "/relatorios-visualizar.png");
  // The PDF's first page as the README shows it, when poppler's pdftoppm is at hand.
  QTemporaryDir pdf;
  windows[0]->savePdfTo(pdf.filePath("balancete.pdf"));
  if (!QStandardPaths::findExecutable("pdftoppm").isEmpty())
    QProcess::execute("pdftoppm",
                      {"-png", "-r", "90", "-f", "1", "-l", "1", "-singlefile",
                       pdf.filePath("balancete.pdf"), dir + "/relatorios-balancete-pdf"});
  delete windows[0];
  delete dialog;
}
