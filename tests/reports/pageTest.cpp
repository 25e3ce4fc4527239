#include "reports/dialogs/parameterDialog.h"
#include "reports/dialogs/previewWindow.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reports/dialogs/reportRun.h"
#include "reports/engine/registry.h"
#include "reportsTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;

namespace {

// Closes the windows a test opened, so the next test starts with none.
struct WindowsGuard {
  ~WindowsGuard() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<PreviewWindow*>(w) || qobject_cast<ParameterDialog*>(w)) delete w;
    setPrinterFactory({});
  }
};

} // namespace

TEST(RelatoriosPage, TenButtonsInFiveGroupsNeverDisabled) {
  test::ReportBook book;
  RelatoriosPage page(book.ctx);
  EXPECT_EQ(page.objectName(), "FichaSoftwares");
  const QVector<QPair<QString, QStringList>> expected = {
      {"CONTAS", {"&Plano de Contas", "Listagens de &Contas"}},
      {"LANÇAMENTOS",
       {"Lista de &Lançamentos", "&Razão Contábil", "&Diário Contábil", "&Abertura/Encerramento"}},
      {"HISTÓRICOS", {"Listagens de &Históricos"}},
      {"BALANÇO", {"&Balancete de Contas", "Balanç&o Patrimonial"}},
      {"DEM. RESULTADO", {"Demonstração Resul&tado"}}};
  const auto boxes = page.findChildren<QGroupBox*>();
  ASSERT_EQ(boxes.size(), expected.size());
  for (int i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i]->title(), expected[i].first);
    QStringList captions;
    for (auto* b : boxes[i]->findChildren<QPushButton*>()) {
      captions << b->text();
      EXPECT_TRUE(b->isEnabled());
    }
    EXPECT_EQ(captions, expected[i].second);
  }
  auto* termos = page.findChild<QPushButton*>("ButRlTermos");
  ASSERT_TRUE(termos);
  EXPECT_EQ(termos->toolTip(), "Emite os termos de Abertura e Encerramento de Livros");
}

TEST(RelatoriosPage, ButtonsWithoutTheirReportSaySo) {
  WindowsGuard guard;
  test::ReportBook book;
  RelatoriosPage page(book.ctx);
  int missing = 0;
  for (auto* b : page.findChildren<QPushButton*>()) {
    if (ReportRegistry::instance().byButton(b->objectName())) continue;
    ++missing;
    book.ui.clear();
    b->click();
    EXPECT_EQ(book.ui.texts(), QStringList{"Relatório ainda não disponível."})
        << b->objectName().toStdString();
  }
  EXPECT_LE(missing, 9);
}

TEST(ParameterDialog, TrialBalanceFormRunsAndStaysOpen) {
  WindowsGuard guard;
  test::ReportBook book;
  RelatoriosPage page(book.ctx);
  ParameterDialog* dialog = page.activate("ButRBContas");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->objectName(), "F_SelBalan");
  EXPECT_EQ(dialog->windowTitle(), "Balancete Contábil");
  EXPECT_TRUE(dialog->isModal());
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
  bool heading = false;
  for (auto* l : dialog->findChildren<QLabel*>())
    heading |= l->text() == "Seleção de Parâmetros";
  EXPECT_TRUE(heading);
  const QVector<std::array<QString, 3>> buttons = {
      {"ButBVideo", "&Vídeo", "Emite a listagem em vídeo"},
      {"ButBImpressora", "&Impressora", "Emite a listagem diretamente para a Impressora"},
      {"ButCCancelar", "&Encerrar", "Cancela a emissão de listagens"}};
  for (const auto& [name, caption, hint] : buttons) {
    auto* b = dialog->findChild<QPushButton*>(name);
    ASSERT_TRUE(b) << name.toStdString();
    EXPECT_EQ(b->text(), caption);
    EXPECT_EQ(b->toolTip(), hint);
  }
  // Fields in tab order, all empty; the period holds six characters.
  QStringList names;
  for (auto* e : dialog->findChildren<QLineEdit*>()) {
    names << e->objectName();
    EXPECT_TRUE(e->text().isEmpty());
  }
  EXPECT_EQ(names, (QStringList{"EdBCon", "EdBConAte", "EdBCor", "EdBCorAte", "EdBNivel",
                                "EdBNivelAte", "EdBNatureza", "EdBPeriodo", "EdBPeriodoAte"}));
  EXPECT_EQ(dialog->findChild<QLineEdit*>("EdBPeriodo")->maxLength(), 6);
  auto* zero = dialog->findChild<QCheckBox*>("SaldoZero");
  ASSERT_TRUE(zero);
  EXPECT_EQ(zero->text(), "Listar contas com saldo zero");
  EXPECT_FALSE(zero->isChecked());

  // Two runs with different fields: two previews, and the dialog stays open.
  dialog->findChild<QLineEdit*>("EdBPeriodo")->setText("200401");
  dialog->findChild<QPushButton*>("ButBVideo")->click();
  zero->setChecked(true);
  dialog->findChild<QPushButton*>("ButBVideo")->click();
  EXPECT_TRUE(dialog->isVisible());
  const auto windows = test::openPreviews();
  ASSERT_EQ(windows.size(), 2);
  for (auto* w : windows) {
    EXPECT_EQ(w->parentWidget(), dialog) << "usable beside the modal dialog";
    EXPECT_TRUE(w->isWindow());
    EXPECT_EQ(w->windowTitle(), "Escrivon - Balancete de Contas");
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(w->isModal());
  }
  QList<int> counts{windows[0]->pageCount(), windows[1]->pageCount()};
  std::sort(counts.begin(), counts.end());
  EXPECT_EQ(counts, (QList<int>{1, 3})) << "2 rows alone; 56 rows with the zero balances";
  EXPECT_TRUE(book.ui.texts().isEmpty());

  // Escape closes it like "&Encerrar".
  QPointer<ParameterDialog> alive(dialog);
  QTest::keyClick(dialog, Qt::Key_Escape);
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(!alive || !alive->isVisible());
  // The previews stay open after the dialog.
  for (auto* w : test::openPreviews()) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_NE(w->parentWidget(), dialog);
  }
  EXPECT_EQ(test::openPreviews().size(), 2);
}

TEST(ParameterDialog, PrinterOutputIsOneJobNamedByTheTitle) {
  WindowsGuard guard;
  test::ReportBook book;
  RelatoriosPage page(book.ctx);
  ParameterDialog* dialog = page.activate("ButRBContas");
  ASSERT_TRUE(dialog);
  {
    test::PdfPrinters printers;
    dialog->findChild<QPushButton*>("ButBImpressora")->click();
    EXPECT_EQ(printers.titles, QStringList{"Escrivon - Balancete de Contas"});
    EXPECT_TRUE(test::openPreviews().isEmpty());
    const QString text = test::pdfText(printers.dir.filePath("job1.pdf"));
    EXPECT_TRUE(text.contains("1.334,07")) << text.toStdString();
    EXPECT_TRUE(text.contains("-160,00")) << text.toStdString();
  }
  // No printer at all: said, not silently nothing.
  setPrinterFactory([](const QString&) { return nullptr; });
  dialog->findChild<QPushButton*>("ButBImpressora")->click();
  EXPECT_EQ(book.ui.texts(), QStringList{"Nenhuma impressora disponível."});
  EXPECT_TRUE(dialog->isVisible());
}

TEST(ParameterDialog, AQueryTheStoreRejectsIsShownAsItsError) {
  WindowsGuard guard;
  test::ReportBook book;
  ReportEntry broken;
  broken.id = "quebrado";
  broken.build = [](BuildContext&, const ParamValues&) {
    auto d = std::make_shared<ReportDefinition>("T", "T", PageSetup::letter(Orientation::Portrait));
    d->queryName = "Qry";
    d->query.add("SELECT * FROM nenhuma");
    return Reports{d};
  };
  const auto windows = run(book.ctx, broken, {}, Output::Video);
  EXPECT_TRUE(windows.isEmpty());
  ASSERT_EQ(book.ui.texts("error").size(), 1);
  EXPECT_TRUE(book.ui.texts("error")[0].contains("nenhuma"));
  book.ui.clear();
  broken.build = [](BuildContext&, const ParamValues&) -> Reports {
    throw Refusal{invalidDataMessage};
  };
  run(book.ctx, broken, {}, Output::Printer);
  EXPECT_EQ(book.ui.texts(), QStringList{"Dados informados inválidos. Verifique."});
}

TEST(PreviewWindow, NavigatesZoomsAndSavesPdf) {
  WindowsGuard guard;
  test::ReportBook book;
  const ReportEntry* entry = ReportRegistry::instance().byId("balancete");
  ASSERT_TRUE(entry);
  const auto windows = run(book.ctx, *entry, {{"SaldoZero", "1"}}, Output::Video);
  ASSERT_EQ(windows.size(), 1);
  PreviewWindow* w = windows[0];
  ASSERT_EQ(w->pageCount(), 30);
  EXPECT_EQ(w->currentPage(), 0);
  EXPECT_EQ(w->zoom(), PreviewWindow::Zoom::PageWidth);
  // Fitted to the window as it is shown, not to the window before its layout.
  const QWidget* view = w->findChild<QWidget*>("VisaoPagina");
  const QWidget* room = w->findChild<QScrollArea*>("RolagemPagina")->viewport();
  EXPECT_GT(view->width(), room->width() * 9 / 10);
  auto click = [&](const char* name) {
    auto* b = w->findChild<QPushButton*>(name);
    ASSERT_TRUE(b) << name;
    b->click();
  };
  EXPECT_FALSE(w->findChild<QPushButton*>("ButAnterior")->isEnabled());
  click("ButUltima");
  EXPECT_EQ(w->currentPage(), 29);
  EXPECT_FALSE(w->findChild<QPushButton*>("ButProxima")->isEnabled());
  click("ButAnterior");
  EXPECT_EQ(w->currentPage(), 28);
  click("ButPrimeira");
  click("ButProxima");
  EXPECT_EQ(w->currentPage(), 1);
  EXPECT_EQ(w->findChild<QLabel*>("LabelPagina")->text(), "Página 2 de 30");
  click("ButPaginaInteira");
  EXPECT_EQ(w->zoom(), PreviewWindow::Zoom::WholePage);
  EXPECT_LE(view->height(), room->height());
  // At its default size, out of the maximized state, every button stays in reach.
  PreviewWindow plain(w->pages(), "t", book.ui);
  plain.show();
  for (const char* name : {"ButSalvarPdf", "ButFechar"}) {
    const QWidget* b = plain.findChild<QPushButton*>(name);
    EXPECT_TRUE(b->isVisible()) << name;
    EXPECT_LE(b->mapTo(&plain, QPoint(b->width(), 0)).x(), plain.width()) << name;
  }
  click("ButZoom100");
  EXPECT_EQ(w->zoom(), PreviewWindow::Zoom::Actual);
  QTemporaryDir dir;
  w->savePdfTo(dir.filePath("b.pdf"));
  const QString text = test::pdfText(dir.filePath("b.pdf"));
  EXPECT_EQ(text.count("Página: "), 30);
  EXPECT_TRUE(text.contains("Página: 30"));
  QPointer<PreviewWindow> alive(w);
  click("ButFechar");
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull()) << "the preview releases its report when closed";
}

// A file that cannot be written and a printer that fails are said, never passed over; a
// file of the book is never replaced by a report.
TEST(PreviewWindow, SaysWhenItCannotSaveOrPrint) {
  WindowsGuard guard;
  test::ReportBook book;
  const ReportEntry* entry = ReportRegistry::instance().byId("historicos");
  const auto windows = run(book.ctx, *entry, {}, Output::Video);
  ASSERT_EQ(windows.size(), 1);
  const QString chart = book.dir.filePath("CONTAS.db");
  const qint64 size = QFileInfo(chart).size();
  windows[0]->savePdfTo(chart);
  windows[0]->savePdfTo("/nonexistent/x.pdf");
  setPrinterFactory([](const QString&) { return std::make_unique<QPdfWriter>("/nonexistent/p"); });
  windows[0]->print();
  run(book.ctx, *entry, {}, Output::Printer);
  const QString failed = "Não foi possível imprimir o relatório Escrivon - Listagem de Históricos.";
  const QStringList errors = book.ui.texts("error");
  ASSERT_EQ(errors.size(), 4) << errors.join('\n').toStdString();
  EXPECT_TRUE(errors[0].startsWith("O relatório não pode ser gravado em " + chart +
                                   ": a pasta de dados do Escrivon"));
  EXPECT_TRUE(errors[1].startsWith("Não foi possível gravar o relatório em /nonexistent/x.pdf."));
  EXPECT_EQ(errors.mid(2), QStringList({failed, failed}));
  EXPECT_EQ(QFileInfo(chart).size(), size);
  EXPECT_TRUE(book.ui.texts("message").isEmpty());
}

// "&Impressora" sends each report of a run as its own job, in order, named by its title.
TEST(ParameterDialog, SeveralReportsOfOneRunAreSeveralJobs) {
  WindowsGuard guard;
  test::ReportBook book;
  ReportEntry two;
  two.id = "dois";
  two.build = [](BuildContext& bc, const ParamValues&) {
    Reports r;
    for (const char* title : {"Primeiro", "Segundo"}) {
      auto d = std::make_shared<ReportDefinition>("T", title, PageSetup::a4(Orientation::Portrait));
      d->fixedSources << recordOf(*bc.dm.TbCabecalh, "TbCabecalh");
      d->band(BandKind::Detail, 20).field(0, 0, "NomeDaOrganizacao");
      r << d;
    }
    return r;
  };
  test::PdfPrinters printers;
  run(book.ctx, two, {}, Output::Printer);
  EXPECT_EQ(printers.titles, (QStringList{"Primeiro", "Segundo"}));
  EXPECT_TRUE(test::pdfText(printers.dir.filePath("job2.pdf")).contains("ORGANIZAÇÃO EXEMPLO"));
  EXPECT_TRUE(book.ui.texts().isEmpty());
}

// Every registered report builds from its dialog's initial values and lays out on the demo
// book: its query runs and every column its definition names is one the query returns.
TEST(ReportRegistry, EveryReportRunsOnTheDemoBook) {
  test::ReportBook book;
  QStringList ids;
  for (const ReportEntry& e : ReportRegistry::instance().entries()) {
    ids << e.id;
    EXPECT_FALSE(e.button.isEmpty()) << e.id.toStdString();
    ASSERT_TRUE(e.build) << e.id.toStdString();
    for (Output out : {Output::Video, Output::Printer}) {
      BuildContext bc{*book.dm, out};
      const Reports reports = e.build(bc, withInitials(e.dialog, {}));
      ASSERT_FALSE(reports.isEmpty()) << e.id.toStdString();
      for (const auto& def : reports) {
        PageCollector pages;
        EXPECT_NO_THROW(layOut(*def, &book.dm->database(), pages)) << def->name.toStdString();
        EXPECT_GE(pages.pages.size(), 1) << def->name.toStdString();
      }
    }
  }
  EXPECT_TRUE(ids.contains("balancete"));
  EXPECT_EQ(ids.removeDuplicates(), 0);
}
