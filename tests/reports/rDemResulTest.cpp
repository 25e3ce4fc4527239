#include "reports/definitions/tf_RDemResul.h"
#include "reportsTestSupport.h"
#include "store/formats.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;
using test::bandTexts;
using test::findItem;

namespace {

constexpr double left = 12.7, top = 12.7;

const QStringList demColumns = {
    "OrdemDoGrupo", "ContaInicial", "ContaFinal", "NomeDoGrupo",       "SinalDoGrupo",
    "SaldoDoGrupo", "AnoEMes",      "Acumulado",  "NomeDaOrganizacao", "CNPJDaOrganizacao"};

QVariantList group(const QString& order, const QString& name, const QString& sign, double value,
                   double accumulated, const QString& period = "200403") {
  return {order,
          "",
          "",
          name,
          sign,
          value,
          period,
          accumulated,
          "ORGANIZAÇÃO TESTE",
          "11.222.333/0001-81"};
}

Page layDem(const QVector<QVariantList>& rows) {
  auto def = makeRDemResul();
  PageCollector pages;
  layOut(*def, demColumns, rows, pages);
  return pages.pages.value(0);
}

// The texts of the detail items whose left edge, or right edge, is at `x`.
QStringList column(const Page& p, double x, bool rightEdge = false) {
  QStringList r;
  for (const PageItem& it : p.items)
    if (it.band == BandKind::Detail && std::abs((rightEdge ? it.right() : it.x) - x) < 1e-6)
      r << it.text;
  return r;
}

} // namespace

TEST(RDemResulLayout, BlanksForZeroSignsForLossesAndThePeriodOfTheRows) {
  const Page p = layDem({group("01", "RECEITA OPERACIONAL BRUTA", "+", 1500.5, 2500),
                         group("02", "DESPESAS ADMINISTRATIVAS", "-", 0, -10),
                         group("03", "RESULTADO DO EXERCÍCIO", "=", -300, 1234567.891)});
  EXPECT_EQ(p.setup.size(), QSizeF(210, 297));
  EXPECT_EQ(p.title, "Escrivon - Demonstração de Reultado");
  EXPECT_EQ(column(p, left + 2.1), (QStringList{"+", "-", "="})) << "the sign always prints";
  // "Valor" is left-aligned, "Saldo" lines up on its last digit; a zero prints as a blank, a
  // loss with its sign.
  EXPECT_EQ(column(p, left + 89.4), (QStringList{"1.500,50", " ", "-300,00"}));
  EXPECT_EQ(column(p, left + 137.9, true), (QStringList{"2.500,00", "-10,00", "1.234.567,89"}));
  const PageItem* name = findItem(p, "DESPESAS ADMINISTRATIVAS", BandKind::Detail);
  ASSERT_TRUE(name);
  EXPECT_NEAR(name->x, left + 16.9, 1e-6);
  EXPECT_NEAR(name->y, top + 34.1 + 6.3 + 2.1, 1e-6);
  EXPECT_EQ(name->font, (Font{10, false}));

  const PageItem* period = findItem(p, "03/2004", BandKind::ColumnHeader);
  ASSERT_TRUE(period);
  EXPECT_NEAR(period->x, left + 116.4, 1e-6);
  EXPECT_NEAR(period->y, top + 19.6, 1e-6);
  EXPECT_EQ(period->font, (Font{12, true}));
  bool thickRule = false;
  for (const PageItem& it : p.items)
    thickRule |= it.kind == PageItem::Kind::Rule && it.band == BandKind::ColumnHeader &&
                 std::abs(it.height - 1.1) < 1e-9 && std::abs(it.width - 136.3) < 1e-9 &&
                 std::abs(it.y - (top + 33.1)) < 1e-9;
  EXPECT_TRUE(thickRule);
  const PageItem* number = findItem(p, "Página: 1", BandKind::PageFooter);
  ASSERT_TRUE(number);
  EXPECT_EQ(number->font, (Font{10, false}));
  EXPECT_EQ(findItem(p, "Data: " + fmt::date(QDate::currentDate()), BandKind::PageFooter)->font,
            (Font{8, false}));
  const PageItem* signature = findItem(p, "Escrivon - ZNK", BandKind::PageFooter);
  ASSERT_TRUE(signature);
  EXPECT_NEAR(signature->x, left + 116.9, 1e-6);

  // Before any update the period is empty: a lone slash.
  const Page empty = layDem({group("01", "RECEITA", "+", 0, 0, "")});
  EXPECT_TRUE(findItem(empty, "/", BandKind::ColumnHeader));
}

// The stored groups in their order, through escrivon-report.
TEST(RDemResulLayout, EscrivonReportPrintsTheGroupsInTheirOrder) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool()));
  test::LedgerBook book;
  auto& db = book.dm->database();
  db.exec("UPDATE demresul SET AnoEMes = '200406', SaldoDoGrupo = 4321.5, Acumulado = 9876.25 "
          "WHERE OrdemDoGrupo = '01'");
  db.exec("UPDATE demresul SET AnoEMes = '200406', SaldoDoGrupo = -5, Acumulado = 0 "
          "WHERE OrdemDoGrupo <> '01'");
  db.exec("INSERT INTO demresul (OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, "
          "SinalDoGrupo, SaldoDoGrupo, AnoEMes, Acumulado) "
          "VALUES ('00', '', '', 'GRUPO DIGITADO POR ÚLTIMO', '+', 1, '200406', 1)");
  QTemporaryDir out;
  const QString pdf = out.filePath("dre.pdf");
  const auto r = test::runReportTool({"--data-dir", book.path(), "demresultado", "-o", pdf});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QString text = test::pdfText(pdf);
  EXPECT_TRUE(text.contains("Demonstração de Resultado"));
  EXPECT_TRUE(text.contains(QRegularExpression("Período:\\s+06/2004"))) << text.toStdString();
  EXPECT_TRUE(text.contains("4.321,50"));
  EXPECT_TRUE(text.contains("9.876,25"));
  EXPECT_TRUE(text.contains("-5,00")) << "a loss keeps its sign";
  const int first = text.indexOf("GRUPO DIGITADO POR ÚLTIMO");
  const int second = text.indexOf("RECEITA OPERACIONAL BRUTA");
  const int third = text.indexOf("DESPESAS ADMINISTRATIVAS");
  EXPECT_TRUE(first >= 0 && first < second && second < third) << text.toStdString();
  EXPECT_TRUE(text.contains("Escrivon - ZNK"));
}
