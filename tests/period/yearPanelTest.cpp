// The figures behind the charts, against sums read straight from the trial balance.
#include "period/yearPanel.h"
#include "book/amounts.h"
#include "demobook.h"
#include "period/syntheticUpdate.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace esc::test {
namespace {

// Month by month, the panel's revenue, expenses, result and cash against the test's own sums of
// the analytic rows; December's accumulated result against the rolled-up result account; the
// largest expenses against a grouped query.
void expectPanelMatchesTrialBalance(Database& db, const QString& year) {
  const YearPanel p = loadYearPanel(db, year);
  ASSERT_TRUE(p.hasMovements);
  const auto months = db.select(
      "SELECT total(CASE WHEN CodigoContaContabil LIKE '3%' "
      "THEN ValorCredito - ValorDebito END), "
      "total(CASE WHEN CodigoContaContabil LIKE '4%' THEN ValorDebito - ValorCredito END), "
      "total(CASE WHEN CodigoContaContabil LIKE ? || '%' THEN "
      "CASE NaturezaDaConta WHEN 'C' THEN -SaldoAtual ELSE SaldoAtual END END) "
      "FROM balanco WHERE NivelDaConta = '6' AND substr(Periodo, 1, 4) = ? "
      "GROUP BY Periodo ORDER BY Periodo",
      {p.cashPrefix, year});
  ASSERT_EQ(months.size(), 12);
  double accumulated = 0;
  for (int m = 0; m < 12; ++m) {
    const double revenue = months[m][0].toDouble(), expenses = months[m][1].toDouble();
    accumulated += revenue - expenses;
    EXPECT_NEAR(p.months[m].revenue, revenue, 1e-6) << m;
    EXPECT_NEAR(p.months[m].expenses, expenses, 1e-6) << m;
    EXPECT_NEAR(p.months[m].result, revenue - expenses, 1e-6) << m;
    EXPECT_NEAR(p.months[m].accumulated, accumulated, 1e-6) << m;
    EXPECT_NEAR(p.months[m].cash, months[m][2].toDouble(), 1e-6) << m;
  }
  auto result = [&](const QString& month, const char* column) {
    return db
        .selectValue(QStringLiteral("SELECT %1 FROM balanco WHERE CodCtaConCodCtaCor = ?")
                         .arg(QLatin1String(column)),
                     {year + month + "299999999"})
        .toDouble();
  };
  EXPECT_EQ(p.months[11].accumulated,
            roundAmount(result("12", "SaldoAtual") - result("01", "SaldoAnterior")));
  EXPECT_NE(p.months[11].accumulated, 0);

  const auto top = db.select(
      "SELECT CodigoContaContabil, CodigoContaCorrente, total(ValorDebito - ValorCredito) AS a "
      "FROM balanco WHERE NivelDaConta = '6' AND CodigoContaContabil LIKE '4%' AND "
      "substr(Periodo, 1, 4) = ? GROUP BY 1, 2 HAVING round(a, 4) > 0 ORDER BY round(a, 4) DESC, "
      "1, 2 LIMIT 10",
      {year});
  ASSERT_EQ(p.largestExpenses.size(), top.size());
  for (int i = 0; i < top.size(); ++i) {
    EXPECT_EQ(p.largestExpenses[i].code + p.largestExpenses[i].current,
              top[i][0].toString() + top[i][1].toString());
    EXPECT_NEAR(p.largestExpenses[i].amount, top[i][2].toDouble(), 1e-6);
  }
}

TEST(YearPanel, DemoBookAgreesWithItsTrialBalanceAndTheCashPrefixIsKept) {
  OpenBook book(true, 2024, true);
  Database& db = book.dm->database();
  expectPanelMatchesTrialBalance(db, "2024");

  YearPanel p = loadYearPanel(db, "2024");
  EXPECT_EQ(p.cashPrefix, "111");
  ASSERT_EQ(p.cashAccounts.size(), 4);
  EXPECT_EQ(p.cashAccounts[1].name, "BANCO DO BRASIL - AG 1234-5 CC 67890-1");
  EXPECT_EQ(p.largestExpenses.first().name, "SALÁRIOS E ORDENADOS");
  EXPECT_FALSE(loadYearPanel(db, "2023").hasMovements);

  // The banks alone: kept in the book, read again by the next panel.
  ASSERT_TRUE(saveCashPrefix(db, "11112").isDone());
  EXPECT_EQ(cashPrefix(db), "11112");
  expectPanelMatchesTrialBalance(db, "2024");
  p = loadYearPanel(db, "2024");
  ASSERT_EQ(p.cashAccounts.size(), 3);
  EXPECT_EQ(p.cashAccounts[0].code, "111121");
  const auto refused = saveCashPrefix(db, "11a");
  EXPECT_TRUE(refused.isRefused());
  EXPECT_EQ(refused.message(),
            "Prefixo das contas do disponível inválido: informe de 1 a 6 dígitos.");
  EXPECT_EQ(cashPrefix(db), "11112");
}

TEST(YearPanel, GeneratedBookAgreesWithItsTrialBalanceAfterTheRollUp) {
  QTemporaryDir dir;
  GeneratedBookOptions o;
  o.init.directory = dir.path();
  o.init.year = 2005;
  o.documents = 120;
  o.accounts = 40;
  createGeneratedBook(o);
  OpenDirectory book(dir.path());
  NoProgress quiet;
  ASSERT_TRUE(syntheticUpdate(book.db(), "2005", quiet).isDone());
  expectPanelMatchesTrialBalance(book.db(), "2005");
}

} // namespace
} // namespace esc::test
