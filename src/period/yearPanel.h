#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <QVector>
#include <array>

namespace esc {

// The year at a glance: the figures behind the "Gráficos" page, its PDF page and
// `escrivon-cli listar painel`, all read from the trial balance's analytic rows (level 6) of
// one fiscal year in one pass. A month's revenue is the credits less the debits of group 3,
// its expenses the debits less the credits of group 4 (rows of nature D or C, as the synthetic
// update closes them into the result account), so once the year is rolled up the accumulated
// result of December is the result account's December balance less its January opening.

struct PanelMonth {
  double revenue = 0, expenses = 0;
  double result = 0;      // revenue less expenses
  double accumulated = 0; // the results of the year up to this month
  double cash = 0;        // month-end balance of the cash accounts, on the debit side
};

// An analytic pair of the cash group, with its twelve month-end balances on the debit side.
struct PanelCashAccount {
  QString code, current, name;
  QString currentName; // the current account's own name ("AG 1234-5 CC 67890-1"), or ""
  std::array<double, 12> balances{};
};

// An expense account of the year: its debits less its credits of the twelve months.
struct PanelExpense {
  QString code, current, name;
  double amount = 0;
};

struct YearPanel {
  QString year;
  QString cashPrefix;
  // Whether any analytic row of the year moved: a year without processed entries has none.
  bool hasMovements = false;
  std::array<PanelMonth, 12> months{};
  QVector<PanelCashAccount> cashAccounts; // in key order
  QVector<PanelExpense> largestExpenses;  // at most ten, largest first
};

// How many of the largest expense accounts the panel keeps.
inline constexpr int panelExpenseCount = 10;

// The accounts the book counts as cash and banks ("disponível"): the analytic pairs whose code
// begins with this prefix. A setting kept in the book (table main.ajustes of the anchor file,
// created on the first save); "111" when never set.
inline const QString defaultCashPrefix = QStringLiteral("111");
QString cashPrefix(Database& db);
// Keeps `prefix` (1 to 6 digits); refused with nothing written otherwise.
OperationResult saveCashPrefix(Database& db, const QString& prefix);

// The panel of `year` ("AAAA"), with the book's cash prefix. Amounts rounded to four places.
YearPanel loadYearPanel(Database& db, const QString& year);

// A pair's name as the charts label it: the account's name, then the current account's.
QString panelAccountName(const QString& accountName, const QString& currentName);

} // namespace esc
