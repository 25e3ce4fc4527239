// The standard-description listing (TF_Historic with TF_SelHist).
#include "listingsHelpers.h"
#include "reports/definitions/tf_Historic.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reportsTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <QStandardPaths>
#include <algorithm>

namespace esc::test {
namespace {

using namespace esc::test::listings;

TEST(Historic, LayoutPlacesHeaderCaptionsAndDetail) {
  auto def = makeHistoric();
  EXPECT_EQ(def->title, "Escrivon - Listagem de Históricos");
  EXPECT_EQ(def->page.orientation, Orientation::Portrait);
  EXPECT_DOUBLE_EQ(def->find(BandKind::ColumnHeader)->height, 27.0);
  EXPECT_DOUBLE_EQ(def->find(BandKind::Detail)->height, 6.3);
  EXPECT_DOUBLE_EQ(def->find(BandKind::PageFooter)->height, 6.3);

  const QStringList columns = {"CodigoHistorico", "NomeHistorico", "NomeDaOrganizacao",
                               "CNPJDaOrganizacao"};
  const auto pages =
      layOutRows(*def, columns,
                 {{"0001", "PAGAMENTO", "EMPRESA TESTE LTDA", "11.222.333/0001-81"},
                  {"0002", "RECEBIMENTO", "EMPRESA TESTE LTDA", "11.222.333/0001-81"}});
  ASSERT_EQ(pages.size(), 1);
  const Page& p = pages[0];
  auto at = [&](const QString& text, double x, double y, Font font) {
    SCOPED_TRACE(text.toStdString());
    const PageItem* it = findText(p, text);
    ASSERT_NE(it, nullptr);
    EXPECT_NEAR(it->x, margin + x, 1e-9);
    EXPECT_NEAR(it->y, margin + y, 1e-9);
    EXPECT_EQ(it->font, font);
  };
  at("EMPRESA TESTE LTDA", 2.1, 0.5, {14, true});
  at("CNPJ:", 2.1, 6.9, {14, true});
  at("11.222.333/0001-81", 18.8, 6.9, {14, true});
  at(" Listagem de Históricos", 17.5, 13.0, {18, true}); // with its leading blank
  at("Código", 2.1, 21.2, {10, true});
  at("Nome do Histórico", 27.5, 21.2, {10, true});
  at("0001", 2.1, 27.0 + 2.1, {10, false});
  at("PAGAMENTO", 27.5, 27.0 + 2.1, {10, false});
  at("RECEBIMENTO", 27.5, 27.0 + 6.3 + 2.1, {10, false});

  for (const PageItem& it : p.items)
    if (it.kind == PageItem::Kind::Rule) {
      EXPECT_NEAR(it.width, 106.1, 1e-9);
    }
  const PageItem* signature = findText(p, "Escrivon-ZNK");
  ASSERT_NE(signature, nullptr);
  EXPECT_NEAR(signature->x, margin + 88.9, 1e-9);
  EXPECT_NE(findText(p, "Página:1"), nullptr);
}

TEST(SelHist, QueryPiecesFromTheFields) {
  QueryText q;
  buildHistoricQuery(q, {{"EdHist", " 0002 "},
                         {"EdHistAte", "0005 "},
                         {"EdNomHist", "D'ÁGUA"},
                         {"OrdemHistoric", "&Nome do Histórico"}});
  EXPECT_EQ(q.displayText(),
            "SELECT * FROM cabecalh,historic WHERE cabecalh.cnpjdaorganizacao<>''\n"
            " AND historic.codigohistorico BETWEEN '0002'\n"
            " AND '0005 '\n"
            " AND historic.nomehistorico='D'ÁGUA'\n"
            " ORDER BY historic.nomehistorico");

  buildHistoricQuery(q, {{"EdHist", " "}, {"EdHistAte", ""}});
  EXPECT_EQ(q.displayText(),
            "SELECT * FROM cabecalh,historic WHERE cabecalh.cnpjdaorganizacao<>''\n"
            " AND historic.codigohistorico=' '\n"
            " ORDER BY historic.codigohistorico");
  buildHistoricQuery(q, {{"EdHistAte", "0005"}});
  EXPECT_EQ(q.displayText(),
            "SELECT * FROM cabecalh,historic WHERE cabecalh.cnpjdaorganizacao<>''\n"
            " ORDER BY historic.codigohistorico");
}

class HistoricOnBook : public ::testing::Test {
protected:
  OpenBook book;
  Database& db() { return book.dm->database(); }
  QStringList codes(const ParamValues& v = {}) {
    return detailColumn(runReport(*book.dm, "historicos", v), 2.1);
  }
};

TEST_F(HistoricOnBook, ListsAllInTheChosenOrderOrWhatTheFieldsSelect) {
  const int all = db().selectValue("SELECT COUNT(*) FROM historic").toInt();
  const QStringList byCode = codes();
  EXPECT_EQ(byCode.size(), all);
  EXPECT_TRUE(std::is_sorted(byCode.begin(), byCode.end()));

  const QStringList names = detailColumn(
      runReport(*book.dm, "historicos", {{"OrdemHistoric", "&Nome do Histórico"}}), 27.5);
  EXPECT_EQ(names.size(), all);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

  EXPECT_EQ(codes({{"EdHist", "0002"}, {"EdHistAte", "0004"}}),
            (QStringList{"0002", "0003", "0004"}));
  EXPECT_EQ(codes({{"EdHist", "0003"}}), QStringList{"0003"});
  EXPECT_EQ(codes({{"EdNomHist", "SALÁRIOS DO MÊS"}}), QStringList{"0004"});
  EXPECT_TRUE(codes({{"EdNomHist", "SALÁRIOS"}}).isEmpty()); // only the whole name
}

TEST_F(HistoricOnBook, AnOrganizationWithoutCnpjEmptiesTheListing) {
  db().exec("UPDATE cabecalh SET CNPJDaOrganizacao=''");
  const auto pages = runReport(*book.dm, "historicos");
  ASSERT_EQ(pages.size(), 1);
  EXPECT_TRUE(detailColumn(pages, 2.1).isEmpty());
  EXPECT_NE(findText(pages[0], "Escrivon-ZNK"), nullptr);
}

TEST_F(HistoricOnBook, PdfReadsBackItsText) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  const QString text = reportPdfText(*book.dm, "historicos");
  for (const char* s : {"Listagem de Históricos", "Nome do Histórico", "0004", "SALÁRIOS DO MÊS",
                        "Página:1", "Escrivon-ZNK"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
}

TEST(SelHistDialog, ButtonOpensTheDialogWhichPreviewsTheListing) {
  ListingWindowsGuard guard;
  ReportBook book;
  RelatoriosPage page(book.ctx);
  ParameterDialog* dialog = page.activate("ButRHistoric");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->objectName(), "F_SelHist");
  EXPECT_EQ(dialog->windowTitle(), "Listagens de Históricos");
  for (const char* b : {"ButRHVideo", "ButRHImpressora", "ButRHCancelar"})
    EXPECT_TRUE(dialog->findChild<QPushButton*>(b)) << b;
  dialog->findChild<QLineEdit*>("EdNomHist")->setText("SALÁRIOS DO MÊS");
  dialog->findChild<QRadioButton*>("OrdemHistoric1")->setChecked(true);
  EXPECT_EQ(dialog->values().value("OrdemHistoric"), "&Nome do Histórico");
  dialog->findChild<QPushButton*>("ButRHVideo")->click();
  const auto windows = openPreviews();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows[0]->windowTitle(), "Escrivon - Listagem de Históricos");
  EXPECT_EQ(windows[0]->pageCount(), 1);
}

} // namespace
} // namespace esc::test
