#include "reports/engine/layout.h"
#include "reports/definitions/tf_Balanco.h"
#include "reportsTestSupport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace esc::report;
using esc::test::findItem;

namespace {

const QStringList balancoColumns = {"CodigoContaContabil",
                                    "CodigoContaCorrente",
                                    "Periodo",
                                    "SaldoAnterior",
                                    "TipoSaldoAnterior",
                                    "ValorDebito",
                                    "ValorCredito",
                                    "SaldoAtual",
                                    "TipoSaldoAtual",
                                    "NomeDaOrganizacao",
                                    "CNPJDaOrganizacao",
                                    "NomeDoContador",
                                    "CargoDoContador",
                                    "ResponsavelOrganizacao",
                                    "CargoDoResponsavel",
                                    "nomecontacontabil",
                                    "nomecontacorrente"};

QVariantList balancoRow(int i, const QString& period, double previous, double debit,
                        double credit) {
  const double current = previous + debit - credit;
  return {QString("%1").arg(111110 + i),
          "999",
          period,
          previous,
          previous < 0 ? "C" : "D",
          debit,
          credit,
          current,
          current < 0 ? "C" : "D",
          "ORGANIZAÇÃO TESTE",
          "11.222.333/0001-81",
          "JOÃO CONTADOR",
          "CONTADOR CRC 123",
          "MARIA RESPONSÁVEL",
          "DIRETORA",
          QString("CONTA %1").arg(i),
          ""};
}

QVector<Page> layBalanco(const QVector<QVariantList>& rows) {
  auto def = makeBalanco();
  PageCollector pages;
  RunOptions opt;
  opt.now = QDateTime(QDate(2004, 3, 9), QTime(14, 5));
  layOut(*def, balancoColumns, rows, pages, opt);
  return pages.pages;
}

QVector<PageItem> itemsOf(const Page& p, BandKind band) {
  QVector<PageItem> r;
  for (const PageItem& it : p.items)
    if (it.band == band && it.kind == PageItem::Kind::Text) r << it;
  return r;
}

constexpr double left = 12.7, top = 12.7;
constexpr double footerTop = 215.9 - 20.32 - 6.9; // Letter landscape, footer 6.9 mm

} // namespace

TEST(LayoutBalanco, DetailPlacesTextsAndAmountsAtTheirEdges) {
  const auto pages = layBalanco({balancoRow(1, "200301", -150, 1234.567, 0.5)});
  ASSERT_EQ(pages.size(), 1);
  const Page& p = pages[0];
  const double detailTop = top + 25.7;
  const PageItem* code = findItem(p, "111111", BandKind::Detail);
  ASSERT_TRUE(code);
  EXPECT_NEAR(code->x, left + 0.0, 1e-9);
  EXPECT_NEAR(code->y, detailTop + 0.8, 1e-9);
  const PageItem* previous = findItem(p, "-150,00", BandKind::Detail);
  ASSERT_TRUE(previous);
  EXPECT_EQ(previous->align, Align::Right);
  EXPECT_NEAR(previous->right(), left + 156.1, 1e-9);
  EXPECT_GT(previous->width, 5.0);
  const PageItem* debit = findItem(p, "1.234,57", BandKind::Detail);
  ASSERT_TRUE(debit);
  EXPECT_NEAR(debit->right(), left + 188.7, 1e-9);
  const PageItem* current = findItem(p, "1.084,07", BandKind::Detail);
  ASSERT_TRUE(current);
  EXPECT_NEAR(current->right(), left + 240.7, 1e-9);
  // Letters after the amounts, at their left edges: -150,00 C
  QStringList letters;
  for (const PageItem& it : itemsOf(p, BandKind::Detail))
    if (it.text == "C" || it.text == "D") letters << QString::number(it.x - left, 'f', 1);
  EXPECT_EQ(letters, (QStringList{"159.0", "242.6"}));
  const PageItem* name = findItem(p, "CONTA 1", BandKind::Detail);
  ASSERT_TRUE(name);
  EXPECT_NEAR(name->x, left + 12.7, 1e-9);
  // The heading: organization, period of the row, captions, rule.
  const PageItem* org = findItem(p, "ORGANIZAÇÃO TESTE", BandKind::ColumnHeader);
  ASSERT_TRUE(org);
  EXPECT_EQ(org->font, (Font{14, true}));
  EXPECT_NEAR(org->x, left + 2.1, 1e-9);
  const PageItem* period = findItem(p, "01/2003", BandKind::ColumnHeader);
  ASSERT_TRUE(period);
  EXPECT_NEAR(period->x, left + 193.9, 1e-9);
  EXPECT_NEAR(period->y, top + 12.7, 1e-9);
  const PageItem* title = findItem(p, "Balancete Contábil", BandKind::ColumnHeader);
  ASSERT_TRUE(title);
  EXPECT_EQ(title->font, (Font{18, true}));
  int rules = 0;
  for (const PageItem& it : p.items)
    if (it.kind == PageItem::Kind::Rule && it.band == BandKind::ColumnHeader) {
      ++rules;
      EXPECT_NEAR(it.x, left + 1.1, 1e-9);
      EXPECT_NEAR(it.y, top + 23.5, 1e-9);
      EXPECT_NEAR(it.width, 246.9, 1e-9);
      EXPECT_NEAR(it.height, 0.5, 1e-9);
    }
  EXPECT_EQ(rules, 1);
}

TEST(LayoutBalanco, PagesBreakBeforeABandThatDoesNotFitAndRepeatTheHeader) {
  QVector<QVariantList> rows;
  for (int i = 0; i < 50; ++i)
    rows << balancoRow(i, i < 30 ? "200301" : "200302", 10, 1, 0);
  const auto pages = layBalanco(rows);
  // 150.28 mm between the heading and the footer hold 23 detail lines of 6.3 mm.
  ASSERT_EQ(pages.size(), 3);
  QStringList periods, firstCodes;
  for (const Page& p : pages) {
    int details = 0;
    double lowest = 0;
    for (const PageItem& it : p.items)
      if (it.band == BandKind::Detail && it.text.contains(QRegularExpression("^1111\\d\\d$"))) {
        ++details;
        lowest = std::max(lowest, it.y - 0.8 + 6.3);
      }
    EXPECT_LE(lowest, footerTop + 1e-9);
    EXPECT_EQ(details, p.number < 3 ? 23 : 4);
    EXPECT_TRUE(findItem(p, "Saldo Anterior", BandKind::ColumnHeader)) << p.number;
    EXPECT_TRUE(findItem(p, "ORGANIZAÇÃO TESTE", BandKind::ColumnHeader)) << p.number;
    // The heading's period is that of the page's first row.
    for (const PageItem& it : itemsOf(p, BandKind::ColumnHeader))
      if (it.text.contains('/') && it.text.size() == 7) periods << it.text;
    const auto detail = itemsOf(p, BandKind::Detail);
    firstCodes << detail.first().text;
    const PageItem* footer = findItem(p, QString("Página: %1").arg(p.number), BandKind::PageFooter);
    ASSERT_TRUE(footer) << p.number;
    EXPECT_NEAR(footer->y, footerTop + 1.3, 1e-9);
    EXPECT_TRUE(findItem(p, "Hora: 14:05", BandKind::PageFooter));
    EXPECT_TRUE(findItem(p, "Data: 09/03/2004", BandKind::PageFooter));
    EXPECT_TRUE(findItem(p, "Escrivon-ZNK", BandKind::PageFooter));
  }
  // Page 2 starts with row 23 (still January), page 3 with row 46 (February).
  EXPECT_EQ(periods, (QStringList{"01/2003", "01/2003", "02/2003"}));
  EXPECT_EQ(firstCodes, (QStringList{"111110", "111133", "111156"}));
  EXPECT_EQ(itemsOf(pages[0], BandKind::Summary).size(), 0);
  EXPECT_EQ(itemsOf(pages[2], BandKind::Summary).size(), 8);
}

TEST(LayoutBalanco, SummaryAddsTheSignedValuesAndMovesToANewPageWhenFull) {
  QVector<QVariantList> rows;
  for (int i = 0; i < 23; ++i)
    rows << balancoRow(i, "200301", i % 2 ? -100.25 : 50, 10, 2.5);
  const auto pages = layBalanco(rows);
  // 23 lines fill the first page: the summary goes to a second page, under its heading.
  ASSERT_EQ(pages.size(), 2);
  EXPECT_TRUE(itemsOf(pages[0], BandKind::Summary).isEmpty());
  const Page& p = pages[1];
  EXPECT_TRUE(itemsOf(p, BandKind::Detail).isEmpty());
  EXPECT_TRUE(findItem(p, "Balancete Contábil", BandKind::ColumnHeader));
  // 12 rows of 50 and 11 of -100,25: 600 - 1102,75
  const PageItem* previous = findItem(p, "-502,75", BandKind::Summary);
  ASSERT_TRUE(previous);
  EXPECT_NEAR(previous->right(), left + 156.7, 1e-9);
  EXPECT_EQ(previous->font, (Font{8, true}));
  EXPECT_NEAR(previous->y, top + 25.7 + 2.1, 1e-9);
  const PageItem* debit = findItem(p, "230,00", BandKind::Summary);
  ASSERT_TRUE(debit);
  EXPECT_NEAR(debit->right(), left + 188.4, 1e-9);
  const PageItem* credit = findItem(p, "57,50", BandKind::Summary);
  ASSERT_TRUE(credit);
  EXPECT_NEAR(credit->right(), left + 216.2, 1e-9);
  const PageItem* current = findItem(p, "-330,25", BandKind::Summary);
  ASSERT_TRUE(current);
  EXPECT_NEAR(current->right(), left + 241.1, 1e-9);
  // The signature blocks, centred, from the last row.
  const PageItem* accountant = findItem(p, "JOÃO CONTADOR", BandKind::Summary);
  const PageItem* role = findItem(p, "CONTADOR CRC 123", BandKind::Summary);
  const PageItem* responsible = findItem(p, "MARIA RESPONSÁVEL", BandKind::Summary);
  ASSERT_TRUE(accountant && role && responsible);
  EXPECT_NEAR(accountant->x + accountant->width / 2, left + 26.0, 1e-9);
  EXPECT_NEAR(role->x + role->width / 2, left + 26.0, 1e-9);
  EXPECT_NEAR(responsible->x + responsible->width / 2, left + 88.0, 1e-9);
  EXPECT_NEAR(accountant->y, top + 25.7 + 11.6, 1e-9);
  EXPECT_NEAR(role->y, top + 25.7 + 14.8, 1e-9);
  EXPECT_TRUE(findItem(p, "Página: 2", BandKind::PageFooter));
}

TEST(LayoutBalanco, NoRowStillGivesAPageWithItsFooterAndZeroTotals) {
  const auto pages = layBalanco({});
  ASSERT_EQ(pages.size(), 1);
  EXPECT_TRUE(findItem(pages[0], "Página: 1", BandKind::PageFooter));
  EXPECT_TRUE(findItem(pages[0], "Saldo Atual", BandKind::ColumnHeader));
  EXPECT_EQ(itemsOf(pages[0], BandKind::Summary).size(), 4); // four 0,00, no names
  EXPECT_TRUE(findItem(pages[0], "0,00", BandKind::Summary));
  EXPECT_TRUE(findItem(pages[0], "/", BandKind::ColumnHeader));
}

// A small definition with groups: header with the group's first row, footer with its last,
// the header not repeated on a continuation page; "Página:" without the blank.
TEST(Layout, GroupsAndPagePrefixWithoutBlank) {
  ReportDefinition d("T", "Teste", PageSetup::letter(Orientation::Portrait));
  d.queryName = "Qry";
  d.groupExpression = Expression("Qry.A + Qry.B");
  d.band(BandKind::ColumnHeader, 10).expression(0, 0, "'H' + Qry.N");
  d.band(BandKind::GroupHeader, 5).expression(0, 0, "'GH' + N");
  d.band(BandKind::Detail, 50).field(0, 0, "N");
  d.band(BandKind::GroupFooter, 5).expression(0, 0, "'GF' + N");
  d.band(BandKind::Summary, 5).expression(0, 0, "'S' + N");
  d.standardPageFooter(6.3, "Página:", "Escrivon - ZNK", 160.9, 181.0);
  const QStringList cols{"A", "B", "N"};
  QVector<QVariantList> rows;
  // Groups "1"+"0" (rows 1-5), "10"+"" would join to the same text as "1"+"0": one run.
  rows << QVariantList{"1", "0", "r1"} << QVariantList{"1", "0", "r2"}
       << QVariantList{"10", "", "r3"} << QVariantList{"1", "0", "r4"}
       << QVariantList{"1", "0", "r5"} << QVariantList{"2", "0", "r6"};
  PageCollector pages;
  const auto stats = layOut(d, cols, rows, pages);
  EXPECT_EQ(stats.rows, 6);
  QStringList seq;
  for (const Page& p : pages.pages)
    for (const PageItem& it : p.items)
      if (it.kind == PageItem::Kind::Text && !it.text.startsWith("Hora") &&
          !it.text.startsWith("Data") && !it.text.startsWith("Escrivon"))
        seq << it.text;
  // Body: 279.4 - 12.7 - 20.32 - 6.3 - 10 = 230.08 mm: four 50 mm details and the bands.
  EXPECT_EQ(seq.join(' '), "Hr1 GHr1 r1 r2 r3 r4 Página:1 "
                           "Hr5 r5 GFr5 GHr6 r6 GFr6 Sr6 Página:2");
  EXPECT_EQ(pages.pages.size(), 2);
}

TEST(Layout, FixedWidthShowsWhatFitsAndNoQueryPrintsTheDetailOnce) {
  ReportDefinition d("T", "", PageSetup::a4(Orientation::Portrait));
  d.page.bottom = 12.7;
  d.fixedSources << FixedSource{"TbCabecalh",
                                {"PaginaInicial", "PaginaFinal", "Nome"},
                                {qint64(2), qint64(101), "UM NOME BEM COMPRIDO DEMAIS"}};
  Band& b = d.band(BandKind::Detail, 135.7);
  b.expression(34.7, 57.1, "TbCabecalh.PaginaFinal+1-TbCabecalh.PaginaInicial")
      .centredIn(34.7, 8.7)
      .size(10);
  b.field(0, 0, "Nome").fixedWidth(20);
  b.field(0, 10, "Nome").rightEdge(100).fixedWidth(20);
  PageCollector pages;
  layOut(d, nullptr, pages);
  ASSERT_EQ(pages.pages.size(), 1);
  const Page& p = pages.pages[0];
  ASSERT_EQ(p.items.size(), 3);
  EXPECT_EQ(p.items[0].text, "100");
  EXPECT_NEAR(p.items[0].x + p.items[0].width / 2, 12.7 + 34.7 + 8.7 / 2, 1e-9);
  const PageItem& clipped = p.items[1];
  EXPECT_TRUE(QString("UM NOME BEM COMPRIDO DEMAIS").startsWith(clipped.text));
  EXPECT_LT(clipped.text.size(), 27);
  EXPECT_LE(clipped.width, 20.0);
  EXPECT_GT(textWidth(clipped.text + "X", Font{}), 20.0 - 1e-9);
  EXPECT_NEAR(p.items[2].right(), 12.7 + 100, 1e-9);
}
