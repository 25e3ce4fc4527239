#include "reports/definitions/tf_BalPatri.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reportsTestSupport.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;
using test::bandTexts;
using test::findItem;

namespace {

constexpr double left = 12.7, top = 12.7;

// A balance-sheet table as the update leaves it: an account of level 1 with one chart row,
// one with three current accounts, one with two, and one the chart does not know.
void fillBalanceSheet(test::LedgerBook& book) {
  auto& db = book.dm->database();
  db.exec("INSERT INTO contas VALUES ('1111210003', '111121', 'BANCO DO BRASIL', '0003', "
          "'AG 9 CC 3', 'D', '6')");
  const char* sql = "INSERT INTO balpatri (CodigoContaContabil, Ordem, TipoSaldoAnterior, "
                    "SaldoAnterior, ValorCredito, ValorDebito, SaldoAtual, TipoSaldoAtual, "
                    "NaturezaDaConta, NivelDaConta, Periodo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                    "?, '2004')";
  db.exec(sql, {"211111", 3, "C", 400.0, 60.0, 10.0, 450.0, "C", "C", "6"});
  db.exec(sql, {"100000", 1, "D", 1000.0, 200.0, 500.0, 1300.0, "D", "D", "1"});
  db.exec(sql, {"111121", 2, "D", 300.0, 50.0, 100.0, 350.0, "D", "D", "6"});
  db.exec(sql, {"555555", 4, "D", 99999.0, 0.0, 0.0, 99999.0, "D", "D", "6"});
}

} // namespace

TEST(BalPatriLayout, EachRowOnceWithItsNameTotalsAndSignatures) {
  test::LedgerBook book;
  fillBalanceSheet(book);
  auto def = makeBalPatri();
  EXPECT_EQ(def->title, "Escrivon - Balanço Patrimonial");
  PageCollector pages;
  layOut(*def, &book.dm->database(), pages);
  ASSERT_EQ(pages.pages.size(), 1);
  const Page& p = pages.pages[0];
  EXPECT_EQ(p.setup.size(), QSizeF(215.9, 279.4));

  QStringList codes;
  for (const PageItem& it : p.items)
    if (it.band == BandKind::Detail && std::abs(it.x - left) < 1e-6) codes << it.text;
  EXPECT_EQ(codes, (QStringList{"100000", "111121", "211111"}))
      << "in code order, once each; the code the chart lacks is left out";
  EXPECT_TRUE(findItem(p, "BANCO DO BRASIL", BandKind::Detail));
  const PageItem* previous = findItem(p, "1.000,00", BandKind::Detail);
  ASSERT_TRUE(previous);
  EXPECT_NEAR(previous->right(), left + 88.3, 1e-6);
  EXPECT_NEAR(previous->y, top + 25.7 + 0.8, 1e-6);
  const PageItem* current = findItem(p, "450,00", BandKind::Detail);
  ASSERT_TRUE(current);
  EXPECT_NEAR(current->right(), left + 173.0, 1e-6);

  // The plain sums of the printed rows, each counted once.
  const QVector<std::pair<QString, double>> totals = {
      {"1.700,00", 88.9}, {"610,00", 120.7}, {"310,00", 148.5}, {"2.100,00", 173.3}};
  const double summaryTop = top + 25.7 + 3 * 6.3;
  for (const auto& [text, edge] : totals) {
    const PageItem* it = findItem(p, text, BandKind::Summary);
    ASSERT_TRUE(it) << text.toStdString();
    EXPECT_NEAR(it->right(), left + edge, 1e-6);
    EXPECT_NEAR(it->y, summaryTop + 2.1, 1e-6);
    EXPECT_EQ(it->font, (Font{8, true}));
  }
  auto centre = [](const PageItem* it) { return it->x + it->width / 2; };
  const PageItem* accountant = findItem(p, "JOSÉ DA SILVA", BandKind::Summary);
  ASSERT_TRUE(accountant);
  EXPECT_NEAR(centre(accountant), left + 26.0, 1e-6);
  EXPECT_NEAR(accountant->y, summaryTop + 11.6, 1e-6);
  const PageItem* role = findItem(p, "DIRETORA PRESIDENTE", BandKind::Summary);
  ASSERT_TRUE(role);
  EXPECT_NEAR(centre(role), left + 88.0, 1e-6);
  EXPECT_NEAR(role->y, summaryTop + 14.8, 1e-6);

  const PageItem* year = findItem(p, "2004", BandKind::ColumnHeader);
  ASSERT_TRUE(year);
  EXPECT_NEAR(year->x, left + 170.7, 1e-6);
  const PageItem* cnpj = findItem(p, "11.222.333/0001-81", BandKind::ColumnHeader);
  ASSERT_TRUE(cnpj);
  EXPECT_EQ(cnpj->font, (Font{10, false}));
  EXPECT_NEAR(cnpj->y, top + 10.6, 1e-6);
  const PageItem* title = findItem(p, "Balanço Patrimonial", BandKind::ColumnHeader);
  ASSERT_TRUE(title);
  EXPECT_NEAR(title->x, left + 65.6, 1e-6);
  EXPECT_NEAR(title->y, top + 10.6, 1e-6);
  const PageItem* signature = findItem(p, "Escrivon-ZNK", BandKind::PageFooter);
  ASSERT_TRUE(signature);
  EXPECT_NEAR(signature->x, left + 159.5, 1e-6);
}

TEST(BalPatriLayout, EscrivonReportWritesTheBalanceSheet) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool()));
  test::LedgerBook book;
  fillBalanceSheet(book);
  QTemporaryDir out;
  const QString pdf = out.filePath("balanco.pdf");
  const auto r = test::runReportTool({"--data-dir", book.path(), "balpatrimonial", "-o", pdf});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QString text = test::pdfText(pdf);
  for (const char* s : {"Balanço Patrimonial", "ORGANIZAÇÃO EXEMPLO LTDA", "Exercício", "2004",
                        "FORNECEDORES NACIONAIS", "1.700,00", "2.100,00", "JOSÉ DA SILVA",
                        "CONTADOR CRC 1SP123456/O-7", "Página: 1", "Escrivon-ZNK"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
  EXPECT_FALSE(text.contains("99.999,00"));
}

// The two statements have no dialog: their buttons preview them at once.
TEST(BalPatriLayout, StatementButtonsPreviewAtOnce) {
  test::LedgerBook book;
  fillBalanceSheet(book);
  RelatoriosPage page(book.ctx);
  for (const auto& [button, title] :
       {std::pair{"ButRBalPatri", "Escrivon - Balanço Patrimonial"},
        std::pair{"ButRDemRes", "Escrivon - Demonstração de Reultado"}}) {
    EXPECT_EQ(page.activate(button), nullptr);
    const auto previews = test::openPreviews();
    ASSERT_EQ(previews.size(), 1) << button;
    EXPECT_EQ(previews[0]->windowTitle(), QString::fromUtf8(title));
    EXPECT_EQ(previews[0]->pageCount(), 1);
    delete previews[0];
  }
  EXPECT_TRUE(book.ui.texts().isEmpty());
}
