#include "yearPanel.h"

#include "book/amounts.h"
#include "book/keys.h"
#include "book/period.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace esc {

namespace {

// The book's settings, in the anchor file (schema main) beside the SPED data.
const char* const createSettings =
    "CREATE TABLE IF NOT EXISTS main.ajustes (nome TEXT PRIMARY KEY, valor TEXT NOT NULL)";
const QString cashPrefixSetting = QStringLiteral("prefixo_disponivel");

bool hasSettings(Database& db) {
  return db.selectValue("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND "
                        "name = 'ajustes'")
             .toInt() > 0;
}

bool validPrefix(const QString& prefix) {
  static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
  return digits.match(prefix).hasMatch();
}

// Debits and credits of one month's analytic rows of groups 3 and 4.
struct MonthSums {
  double revenueDebits = 0, revenueCredits = 0, expenseDebits = 0, expenseCredits = 0;
};

} // namespace

QString cashPrefix(Database& db) {
  if (!hasSettings(db)) return defaultCashPrefix;
  const QString stored =
      db.selectValue("SELECT valor FROM main.ajustes WHERE nome = ?", {cashPrefixSetting})
          .toString();
  return validPrefix(stored) ? stored : defaultCashPrefix;
}

OperationResult saveCashPrefix(Database& db, const QString& prefix) {
  const QString p = prefix.trimmed();
  if (!validPrefix(p))
    return OperationResult::refused(
        QStringLiteral("Prefixo das contas do disponível inválido: informe de 1 a 6 dígitos."));
  Transaction tx(db);
  db.exec(QString::fromLatin1(createSettings));
  db.exec("INSERT OR REPLACE INTO main.ajustes (nome, valor) VALUES (?, ?)",
          {cashPrefixSetting, p});
  tx.commit();
  return OperationResult::done(QStringLiteral("Prefixo do disponível gravado."));
}

QString panelAccountName(const QString& accountName, const QString& currentName) {
  const QString account = accountName.trimmed(), current = currentName.trimmed();
  if (current.isEmpty()) return account;
  return account.isEmpty() ? current : account + QStringLiteral(" - ") + current;
}

YearPanel loadYearPanel(Database& db, const QString& yearText) {
  YearPanel panel;
  panel.year = yearText.trimmed();
  panel.cashPrefix = cashPrefix(db);
  std::array<MonthSums, 12> sums{};
  QHash<QString, qsizetype> cashAt;    // pair -> index in panel.cashAccounts
  QHash<QString, qsizetype> expenseAt; // pair -> index in expenses
  QVector<PanelExpense> expenses;

  // The year's rows in key order (period, then pair): the order the synthetic update adds
  // them in, so the sums agree with the result account to the last place.
  Statement st = db.query(
      "SELECT Periodo, CodigoContaContabil, CodigoContaCorrente, NaturezaDaConta, ValorDebito, "
      "ValorCredito, SaldoAtual FROM balanco WHERE CodCtaConCodCtaCor >= ? AND "
      "CodCtaConCodCtaCor < ? AND NivelDaConta = '6' ORDER BY CodCtaConCodCtaCor",
      {panel.year, book::keyLimit(panel.year)});
  while (st.step()) {
    const QString period = st.text(0);
    if (book::periodYear(period) != panel.year) continue;
    const int m = book::periodMonth(period).toInt();
    if (m < 1 || m > 12) continue;
    const QString code = st.text(1), nature = st.text(3);
    const double debits = st.real(4), credits = st.real(5);
    if (debits != 0 || credits != 0) panel.hasMovements = true;
    const bool known = nature == QLatin1String("D") || nature == QLatin1String("C");
    if (known && code.startsWith('3')) {
      sums[m - 1].revenueDebits += debits;
      sums[m - 1].revenueCredits += credits;
    } else if (known && code.startsWith('4')) {
      sums[m - 1].expenseDebits += debits;
      sums[m - 1].expenseCredits += credits;
      const QString current = st.text(2), pair = book::accountPair(code, current);
      auto it = expenseAt.constFind(pair);
      if (it == expenseAt.constEnd()) {
        it = expenseAt.insert(pair, expenses.size());
        expenses.push_back({code, current, {}, 0});
      }
      expenses[*it].amount += debits - credits;
    }
    if (code.startsWith(panel.cashPrefix)) {
      const QString current = st.text(2), pair = book::accountPair(code, current);
      auto it = cashAt.constFind(pair);
      if (it == cashAt.constEnd()) {
        it = cashAt.insert(pair, panel.cashAccounts.size());
        panel.cashAccounts.push_back({code, current, {}, {}, {}});
      }
      // Cash is read on the debit side: an account of credit nature (an overdraft) lowers it.
      const double balance = st.real(6);
      panel.cashAccounts[*it].balances[m - 1] =
          roundAmount(nature == QLatin1String("C") ? -balance : balance);
    }
  }

  // Pairs first met in a later month (created during the year) sort after the others; the
  // chart's lines follow the chart's order.
  std::sort(panel.cashAccounts.begin(), panel.cashAccounts.end(),
            [](const PanelCashAccount& a, const PanelCashAccount& b) {
              return book::accountPair(a.code, a.current) < book::accountPair(b.code, b.current);
            });
  double accumulated = 0;
  for (int m = 0; m < 12; ++m) {
    PanelMonth& month = panel.months[m];
    const MonthSums& s = sums[m];
    month.revenue = roundAmount(s.revenueCredits - s.revenueDebits);
    month.expenses = roundAmount(s.expenseDebits - s.expenseCredits);
    // As the result account closes: the month's credits less its debits, each sum rounded.
    month.result = roundAmount(roundAmount(s.revenueCredits + s.expenseCredits) -
                               roundAmount(s.revenueDebits + s.expenseDebits));
    accumulated = roundAmount(accumulated + month.result);
    month.accumulated = accumulated;
    double cash = 0;
    for (const PanelCashAccount& a : panel.cashAccounts)
      cash += a.balances[m];
    month.cash = roundAmount(cash);
  }

  for (PanelExpense& e : expenses)
    e.amount = roundAmount(e.amount);
  std::stable_sort(
      expenses.begin(), expenses.end(), [](const PanelExpense& a, const PanelExpense& b) {
        if (a.amount != b.amount) return a.amount > b.amount;
        return book::accountPair(a.code, a.current) < book::accountPair(b.code, b.current);
      });
  for (const PanelExpense& e : expenses) {
    if (panel.largestExpenses.size() == panelExpenseCount || e.amount <= 0) break;
    panel.largestExpenses << e;
  }

  Statement names = db.prepare(
      "SELECT NomeContaContabil, NomeContaCorrente FROM contas WHERE CodCtaConCodCtaCor = ?");
  // The account's and the current account's names; the pair itself for a pair not in the chart.
  auto nameOf = [&](const QString& code, const QString& current, QString* currentName = nullptr) {
    names.reset();
    names.bindAll({book::accountPair(code, current)});
    QString name;
    if (names.step()) {
      name = panelAccountName(names.text(0), names.text(1));
      if (currentName) *currentName = names.text(1).trimmed();
    }
    names.reset();
    return name.isEmpty() ? book::accountPair(code, current) : name;
  };
  for (PanelCashAccount& a : panel.cashAccounts)
    a.name = nameOf(a.code, a.current, &a.currentName);
  for (PanelExpense& e : panel.largestExpenses)
    e.name = nameOf(e.code, e.current);
  return panel;
}

} // namespace esc
