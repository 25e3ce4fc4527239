#include "reports/definitions/bookTerms.h"
#include "reports/definitions/tf_Diario.h"
#include "reports/dialogs/parameterDialog.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reports/dialogs/tf_SelTermo.h"
#include "reportsTestSupport.h"
#include "ui/dbEdit.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;
using test::bandTexts;
using test::findItem;

namespace {

constexpr double left = 12.7, top = 12.7;

// Closes the windows a test opened.
struct WindowsGuard {
  ~WindowsGuard() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<PreviewWindow*>(w) || qobject_cast<TF_SelTermo*>(w)) delete w;
  }
};

TF_SelTermo* openDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<TF_SelTermo*>(w); d && d->isVisible()) return d;
  return nullptr;
}

void type(TF_SelTermo* d, const QString& field, const QString& text) {
  auto* e = d->findChild<DBEdit*>("DBEdit" + field);
  ASSERT_TRUE(e) << field.toStdString();
  e->selectAll();
  QTest::keyClicks(e, text);
}

QVariant stored(test::LedgerBook& book, const QString& column) {
  Statement st = book.dm->database().prepare("SELECT " + column + " FROM cabecalh");
  return st.step() ? st.value(0) : QVariant();
}

FixedSource bookData(const QVariant& first, const QVariant& last) {
  FixedSource s;
  s.name = "TbCabecalh";
  s.columns = {"NomeDaOrganizacao",
               "CNPJDaOrganizacao",
               "EnderecoDaOrganizacao",
               "NomeDoContador",
               "CargoDoContador",
               "ResponsavelOrganizacao",
               "CargoDoResponsavel",
               "PaginaInicial",
               "PaginaFinal",
               "Livro",
               "Registro",
               "LocalData"};
  s.values = {"ORGANIZAÇÃO TESTE",
              "11.222.333/0001-81",
              "RUA UM, 1",
              "JOÃO CONTADOR",
              "CONTADOR CRC 123",
              "MARIA RESPONSÁVEL",
              "DIRETORA",
              first,
              last,
              3,
              "JUCESP 3520012345-6 EM 02/01/2004",
              "SÃO PAULO, 2 DE JANEIRO DE 2004"};
  return s;
}

QString pdfPageSizes(const QString& pdf) {
  QProcess p;
  p.start("pdfinfo", {"-f", "1", "-l", "99", pdf});
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// Both terms: one A4 page each, every piece at its place, the number of sheets computed.
TEST(TermosLayout, SheetCountFirstAndLastSheetAndTheTwoHeadings) {
  for (const bool opening : {true, false}) {
    const FixedSource source = bookData(2, 101);
    auto def = opening ? makeTerAber(source) : makeTerFech(source);
    EXPECT_TRUE(def->title.isEmpty());
    PageCollector pages;
    layOut(*def, nullptr, pages);
    ASSERT_EQ(pages.pages.size(), 1);
    const Page& p = pages.pages[0];
    EXPECT_EQ(p.setup.size(), QSizeF(210, 297));
    EXPECT_DOUBLE_EQ(p.setup.bottom, 12.7);
    const PageItem* heading =
        findItem(p, opening ? "Termo de Abertura" : "Termo de Encerramento", BandKind::Detail);
    ASSERT_TRUE(heading);
    EXPECT_NEAR(heading->x, left + 63.5, 1e-6);
    EXPECT_NEAR(heading->y, top + 40.2, 1e-6);
    EXPECT_EQ(heading->font, (Font{14, true}));

    auto centre = [](const PageItem* it) { return it->x + it->width / 2; };
    const PageItem* sheets = findItem(p, "100", BandKind::Detail);
    ASSERT_TRUE(sheets);
    EXPECT_NEAR(centre(sheets), left + 34.7 + 8.7 / 2, 1e-6);
    EXPECT_NEAR(sheets->y, top + 57.1, 1e-6);
    EXPECT_EQ(sheets->font, (Font{10, false}));
    const PageItem* first = findItem(p, "2", BandKind::Detail);
    ASSERT_TRUE(first);
    EXPECT_NEAR(centre(first), left + 103.7 + 8.2 / 2, 1e-6);
    const PageItem* last = findItem(p, "101", BandKind::Detail);
    ASSERT_TRUE(last);
    EXPECT_NEAR(centre(last), left + 116.9 + 8.7 / 2, 1e-6);
    const PageItem* book = findItem(p, "3", BandKind::Detail);
    ASSERT_TRUE(book);
    EXPECT_NEAR(centre(book), left + 42.3 + 7.4 / 2, 1e-6);

    // Pieces of a line stand at fixed places, whatever the values' lengths.
    const QVector<std::tuple<QString, double, double>> placed = {
        {"Contém este livro", 6.3, 57.1},
        {"folhas numeradas eletronicamente de", 44.5, 57.1},
        {"e que", 126.2, 57.1},
        {"servirá de livro número", 6.3, 63.5},
        {"da firma", 50.3, 63.5},
        {"estabelecida à", 6.3, 69.8},
        {"RUA UM, 1", 29.6, 69.8},
        {",inscrita no CNPJ sob o número", 86.8, 69.8},
        {",registrada e com seus atos constitutivos devidamente registrados na", 38.1, 76.2},
        {"JUCESP 3520012345-6 EM 02/01/2004", 6.3, 82.5},
        {"SÃO PAULO, 2 DE JANEIRO DE 2004", 59.3, 91.0}};
    for (const auto& [text, x, y] : placed) {
      const PageItem* it = findItem(p, text, BandKind::Detail);
      ASSERT_TRUE(it) << text.toStdString();
      EXPECT_NEAR(it->x, left + x, 1e-6) << text.toStdString();
      EXPECT_NEAR(it->y, top + y, 1e-6) << text.toStdString();
    }
    const PageItem* accountant = findItem(p, "JOÃO CONTADOR", BandKind::Detail);
    ASSERT_TRUE(accountant);
    EXPECT_NEAR(centre(accountant), left + 39.0, 1e-6);
    EXPECT_NEAR(accountant->y, top + 120.7, 1e-6);
    const PageItem* role = findItem(p, "DIRETORA", BandKind::Detail);
    ASSERT_TRUE(role);
    EXPECT_NEAR(centre(role), left + 123.0, 1e-6);
    EXPECT_NEAR(role->y, top + 126.7, 1e-6);
    EXPECT_EQ(bandTexts(p, BandKind::Detail).count("ORGANIZAÇÃO TESTE"), 2);
    EXPECT_TRUE(bandTexts(p, BandKind::PageFooter).isEmpty());
  }
  // Sheet numbers in any order print as they stand.
  auto reversed = makeTerAber(bookData(50, 10));
  PageCollector pages;
  layOut(*reversed, nullptr, pages);
  EXPECT_TRUE(findItem(pages.pages[0], "-39", BandKind::Detail));
}

TEST(DiarioLayout, EveryEntryOfEveryYearInDateOrderWithoutGroupsOrTotals) {
  test::LedgerBook book; // the demo's four entries of January 2004, not processed
  book.entry(2003, "111111", "999", "2003-12-31", "D", 10, 10, "D", "P", "00009", "0003");
  book.entry(2004, "112111", "0002", "2004-01-10", "C", 1234.5, -1234.5, "C", "P", "00010");
  book.entry(2004, "999998", "999", "2004-01-11", "C", 1, 1, "C", "P", "00011"); // no account
  auto def = makeDiario();
  EXPECT_EQ(def->title, "Escrivon - Diário Contábil");
  PageCollector pages;
  layOut(*def, &book.dm->database(), pages);
  ASSERT_EQ(pages.pages.size(), 1);
  const Page& p = pages.pages[0];
  EXPECT_EQ(p.setup.size(), QSizeF(279.4, 215.9));
  QStringList dates;
  for (const PageItem& it : p.items)
    if (it.band == BandKind::Detail && std::abs(it.x - (left + 110.9)) < 1e-6) dates << it.text;
  EXPECT_EQ(dates, (QStringList{"31/12/2003", "05/01/2004", "05/01/2004", "10/01/2004",
                                "20/01/2004", "20/01/2004"}));
  const PageItem* value = findItem(p, "1.234,50", BandKind::Detail);
  ASSERT_TRUE(value);
  EXPECT_NEAR(value->right(), left + 246.6, 1e-6);
  const PageItem* current = findItem(p, "ÉPOCA SERVIÇOS S/A", BandKind::Detail);
  ASSERT_TRUE(current);
  EXPECT_NEAR(current->x, left + 78.3, 1e-6);
  EXPECT_TRUE(findItem(p, "DEPÓSITO BANCÁRIO", BandKind::Detail));
  const PageItem* title = findItem(p, "Diário Contábil", BandKind::ColumnHeader);
  ASSERT_TRUE(title);
  EXPECT_NEAR(title->x, left + 105.8, 1e-6);
  EXPECT_NEAR(title->y, top + 8.5, 1e-6);
  const PageItem* signature = findItem(p, "Escrivon-ZNK", BandKind::PageFooter);
  ASSERT_TRUE(signature);
  EXPECT_NEAR(signature->x, left + 228.9, 1e-6);
  EXPECT_TRUE(findItem(p, "Página: 1", BandKind::PageFooter));
  for (const PageItem& it : p.items)
    EXPECT_TRUE(it.band == BandKind::ColumnHeader || it.band == BandKind::Detail ||
                it.band == BandKind::PageFooter);
}

// The dialog edits the organization record in place; its two outputs save it first.
TEST(SelTermo, BoundToTheOrganizationRecordAndItsThreeButtons) {
  WindowsGuard guard;
  test::LedgerBook book;
  RelatoriosPage page(book.ctx);
  for (const char* button : {"ButRlTermos", "ButRLDiario"}) {
    EXPECT_EQ(page.activate(button), nullptr);
    TF_SelTermo* d = openDialog();
    ASSERT_TRUE(d) << button;
    EXPECT_EQ(d->objectName(), "F_SelTermo");
    EXPECT_EQ(d->windowTitle(), "Termos de Abertura/Encerramento");
    EXPECT_TRUE(d->isModal());
    EXPECT_EQ(d->minimumSize(), d->maximumSize());
    delete d;
  }
  page.activate("ButRLDiario");
  TF_SelTermo* d = openDialog();
  ASSERT_TRUE(d);
  QStringList labels;
  for (auto* l : d->findChildren<QLabel*>())
    labels << l->text();
  EXPECT_EQ(
      labels,
      (QStringList{"Seleção de Parâmetros", "Números das Folhas: De", "até", "Números do Livro:",
                   "Sigla Junta, número do livro, folha e data de registro:", "Local e data:"}));
  const QVector<std::array<QString, 3>> buttons = {
      {"ButVideo", "&Vídeo",
       "Visualiza e imprime o livro Diário, sem os termos de abertura e encerramento"},
      {"ButImpressora", "&Impressora",
       "Imprime o Termo de Abertura, livro Diário e Termo de Encerramento"},
      {"ButEncerrar", "&Encerrar", "Cancela a emissão de listagens"}};
  for (const auto& [name, caption, hint] : buttons) {
    auto* b = d->findChild<QPushButton*>(name);
    ASSERT_TRUE(b) << name.toStdString();
    EXPECT_EQ(b->text(), caption);
    EXPECT_EQ(b->toolTip(), hint);
  }
  // The boxes show the stored record.
  EXPECT_EQ(d->findChild<DBEdit*>("DBEditPaginaFinal")->text(), "100");
  EXPECT_EQ(d->findChild<DBEdit*>("DBEditRegistro")->text(), "JUCESP 3520012345-6");

  Table& cabecalh = *book.dm->TbCabecalh;
  type(d, "PaginaInicial", "2");
  EXPECT_EQ(cabecalh.state(), Table::State::Edit);
  type(d, "PaginaFinal", "101");
  type(d, "Livro", "7");
  type(d, "Registro", "JUCESP 99");
  {
    test::PdfPrinters printers;
    d->findChild<QPushButton*>("ButImpressora")->click();
    EXPECT_EQ(printers.titles, (QStringList{"", "Escrivon - Diário Contábil", ""}));
    EXPECT_EQ(cabecalh.state(), Table::State::Browse);
    EXPECT_EQ(stored(book, "Livro").toInt(), 7);
    const QString opening = test::pdfText(printers.job(1));
    EXPECT_TRUE(opening.contains("Termo de Abertura")) << opening.toStdString();
    EXPECT_TRUE(opening.contains("JUCESP 99"));
    EXPECT_TRUE(opening.contains(QRegularExpression("Contém este livro\\s+100\\s+folhas")))
        << opening.toStdString();
    EXPECT_TRUE(test::pdfText(printers.job(2)).contains("Diário Contábil"));
    const QString closing = test::pdfText(printers.job(3));
    EXPECT_TRUE(closing.contains("Termo de Encerramento"));
    EXPECT_TRUE(closing.contains(QRegularExpression("de\\s+2\\s+a\\s+101\\s+e que")))
        << closing.toStdString();
  }
  EXPECT_TRUE(test::openPreviews().isEmpty());

  // The screen shows the journal alone, after saving an edit begun on the organization page.
  cabecalh.edit();
  cabecalh.setValue("LocalData", "RIO DE JANEIRO");
  d->findChild<QPushButton*>("ButVideo")->click();
  EXPECT_EQ(stored(book, "LocalData").toString(), "RIO DE JANEIRO");
  const auto previews = test::openPreviews();
  ASSERT_EQ(previews.size(), 1);
  EXPECT_EQ(previews[0]->windowTitle(), "Escrivon - Diário Contábil");
  EXPECT_EQ(previews[0]->parentWidget(), d) << "usable beside the modal dialog";
  EXPECT_TRUE(d->isVisible());
  QPointer<PreviewWindow> preview(previews[0]);
  EXPECT_TRUE(book.ui.texts().isEmpty());

  // "&Encerrar" leaves what was typed pending in the record's edit mode.
  type(d, "Livro", "8");
  d->findChild<QPushButton*>("ButEncerrar")->click();
  EXPECT_FALSE(d->isVisible());
  ASSERT_TRUE(preview) << "the preview outlives the dialog";
  EXPECT_EQ(preview->parentWidget(), &page);
  EXPECT_EQ(cabecalh.state(), Table::State::Edit);
  EXPECT_EQ(cabecalh.field("Livro").asInteger(), 8);
  EXPECT_EQ(stored(book, "Livro").toInt(), 7);
  cabecalh.cancel();
}

// escrivon-report: the journal alone, the terms alone, and the book as it is filed.
TEST(SelTermo, EscrivonReportWritesTheJournalTheTermsAndTheWholeBook) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool()));
  test::LedgerBook book;
  book.dm->database().exec("UPDATE cabecalh SET PaginaInicial = 2, PaginaFinal = 101");
  QTemporaryDir out;
  const QString journal = out.filePath("diario.pdf"), terms = out.filePath("termos.pdf"),
                whole = out.filePath("livro.pdf");
  auto r = test::runReportTool({"--data-dir", book.path(), "diario", "-o", journal});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QString journalText = test::pdfText(journal);
  EXPECT_TRUE(journalText.contains("Diário Contábil"));
  EXPECT_TRUE(journalText.contains("NF 1234 PAPELARIA"));
  EXPECT_TRUE(journalText.contains("50.000,00"));
  EXPECT_FALSE(journalText.contains("Termo de"));

  r = test::runReportTool({"--data-dir", book.path(), "termos", "-o", terms});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QStringList termPages = test::pdfPages(terms);
  ASSERT_EQ(termPages.size(), 2);
  EXPECT_TRUE(termPages[0].contains("Termo de Abertura"));
  EXPECT_TRUE(termPages[1].contains("Termo de Encerramento"));

  r = test::runReportTool({"--data-dir", book.path(), "diario", "--livro", "-o", whole});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QStringList pages = test::pdfPages(whole);
  ASSERT_EQ(pages.size(), 3);
  EXPECT_TRUE(pages[0].contains("Termo de Abertura"));
  EXPECT_TRUE(pages[0].contains(QRegularExpression("Contém este livro\\s+100\\s+folhas")))
      << pages[0].toStdString();
  EXPECT_TRUE(pages[1].contains("Diário Contábil"));
  EXPECT_TRUE(pages[1].contains("Página: 1"));
  EXPECT_TRUE(pages[2].contains("Termo de Encerramento"));
  // Each part on its own paper: the terms on A4, the journal on Letter turned sideways.
  const QString sizes = pdfPageSizes(whole);
  EXPECT_TRUE(sizes.contains(QRegularExpression("Page +1 size: +595(\\.\\d+)? x 84[12]")))
      << sizes.toStdString();
  EXPECT_TRUE(sizes.contains(QRegularExpression("Page +2 size: +792 x 612")))
      << sizes.toStdString();
  EXPECT_TRUE(sizes.contains(QRegularExpression("Page +3 size: +595(\\.\\d+)? x 84[12]")));

  r = test::runReportTool({"--data-dir", book.path(), "razao", "--livro", "-o", whole});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("--livro"));
  EXPECT_TRUE(test::runReportTool({"--list"}).out.contains("--livro"));
}
