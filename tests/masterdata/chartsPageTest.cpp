// The "Gráficos" page on the demo book's processed year, offscreen.
#include "charts/chartsPage.h"
#include "bookFixture.h"
#include "reports/dialogs/previewWindow.h"
#include "store/formats.h"

#include <QApplication>
#include <QBarSet>
#include <QChartView>
#include <QFile>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace esc::test {
namespace {

QByteArray head(const QString& path, int size) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.read(size) : QByteArray();
}

TEST(ChartsPage, DrawsTheYearOpensWhatIsClickedSavesAndFollowsTheBook) {
  PageBook book(true, 2024, true);
  ChartsPage page(book.ctx);
  const auto defaultOpen = page.openReport;
  QVector<std::pair<QString, report::ParamValues>> opened;
  page.openReport = [&](const QString& id, const report::ParamValues& v) {
    opened.push_back({id, v});
  };
  page.resize(784, 430);
  page.show(); // draws on show
  QApplication::processEvents();

  ASSERT_TRUE(page.LblGraficos->isHidden());
  const YearPanel& p = page.panel();
  ASSERT_EQ(p.year, "2024");
  EXPECT_EQ(page.resultChart().revenue->at(2), p.months[2].revenue);
  EXPECT_EQ(page.resultChart().accumulated->at(11).y(), p.months[11].accumulated);
  EXPECT_EQ(page.cashChart().lines.size(), 4); // the four pairs of 111, a line each
  ASSERT_EQ(page.expenseChart().amounts->count(), p.largestExpenses.size());
  // The largest expense is the top bar, the last one of the set.
  EXPECT_EQ(page.expenseChart().amounts->at(p.largestExpenses.size() - 1),
            p.largestExpenses[0].amount);
  const QString tip = charts::monthTip(p, 3);
  EXPECT_TRUE(tip.startsWith("março/2024\n")) << tip.toStdString();
  EXPECT_TRUE(tip.contains("Receitas: " + fmt::amount(p.months[2].revenue)));
  EXPECT_TRUE(fmt::amount(p.months[2].revenue).contains(','));
  page.grab().save("/tmp/chshots/chartsPage.png");

  emit page.resultChart().expenses->clicked(2);
  emit page.resultChart().accumulated->clicked(QPointF(10.2, 0));
  emit page.expenseChart().amounts->clicked(int(p.largestExpenses.size()) - 1);
  ASSERT_EQ(opened.size(), 3);
  EXPECT_EQ(opened[0].first, "balancete");
  EXPECT_EQ(opened[0].second,
            (report::ParamValues{
                {"EdBCon", "400000"}, {"EdBConAte", "499999"}, {"EdBPeriodo", "202403"}}));
  EXPECT_EQ(opened[1].second.value("EdBCon"), "300000");
  EXPECT_EQ(opened[1].second.value("EdBConAte"), "499999");
  EXPECT_EQ(opened[1].second.value("EdBPeriodo"), "202411");
  EXPECT_EQ(opened[2].first, "razao");
  EXPECT_EQ(opened[2].second.value("EdCon"), p.largestExpenses[0].code);
  EXPECT_EQ(opened[2].second.value("EdDataAte"), "31/12/2024");
  // The real preview takes those values: the ledger of the account.
  defaultOpen(opened[2].first, opened[2].second);
  auto previews = page.findChildren<report::PreviewWindow*>();
  ASSERT_EQ(previews.size(), 1);
  EXPECT_GT(previews[0]->pageCount(), 0);
  delete previews[0];

  QTemporaryDir out;
  page.askSavePath = [&](const QString&, const QString&, const QString&) {
    return out.filePath("ano");
  };
  page.ButGSalvarPdf->click();
  page.ButGSalvarImagem->click();
  EXPECT_EQ(head(out.filePath("ano.pdf"), 5), "%PDF-");
  EXPECT_EQ(head(out.filePath("ano.png"), 4), "\x89PNG");
  // Never among the book's files.
  page.askSavePath = [&](const QString&, const QString&, const QString&) {
    return book.path() + "/graficos.pdf";
  };
  page.ButGSalvarPdf->click();
  EXPECT_FALSE(QFile::exists(book.path() + "/graficos.pdf"));
  ASSERT_EQ(book.ui.texts("error").size(), 1);

  // Drawn again on show after the trial balance changed (as processing changes it).
  page.hide();
  book.db().exec("UPDATE balanco SET ValorCredito = ValorCredito + 1000 "
                 "WHERE CodCtaConCodCtaCor = '202401311111999'");
  const double january = p.months[0].revenue;
  page.show();
  EXPECT_EQ(page.panel().months[0].revenue, january + 1000);

  // A year without processed entries: a sentence, no charts.
  book.ctx.year = "2023";
  page.yearChanged();
  EXPECT_FALSE(page.LblGraficos->isHidden());
  EXPECT_TRUE(page.GrafResultado->isHidden());
  EXPECT_TRUE(page.LblGraficos->text().contains("2023"));
}

} // namespace
} // namespace esc::test
