#pragma once
// The books the tests build: a data directory open with the context the main window gives its
// pages, and rows written straight into its tables as the pages, processing and the year
// routines leave them.
#include "bookRows.h"
#include "testsupport.h"

#include <QDate>

namespace esc::test {

// A book with the context of the main window, the book's year selected.
struct PageBook : OpenBook {
  explicit PageBook(bool demo = true, int year = 2004, bool demoYear = false);
  Database& db() { return dm->database(); }
  SimpleContext ctx;
};

// A month as the periods write it: "01" to "12".
QString twoDigits(int month);

// A row of the chart, keyed by the code and the current account as given.
void addChartAccount(Database& db, const QString& code, const QString& current, const QString& name,
                     const QString& nature, const QString& level, const QString& currentName = "");

// The twelve trial-balance rows of `year` of a pair, without movements: every month opens at
// `before` and closes at `now`, both with `letter`.
void addYearRows(Database& db, const QString& code, const QString& current, const QString& year,
                 const QString& nature, const QString& level, double before, double now,
                 const QString& letter);

// The same, every month opening and closing at a carried `balance` with its sign's letter.
void addCarriedYearRows(Database& db, const QString& code, const QString& current,
                        const QString& year, const QString& nature, const QString& level,
                        double balance);

// A journal entry as "&Gravar" saves it and processing leaves it, keyed under `year` by its
// pair and the month and day of its date; `balance` and `letter` are its running balance.
qint64 addEntry(Database& db, const QString& year, const QString& doc, const QDate& date,
                const QString& code, const QString& current, const QString& type, double value,
                const QString& status = "N", const QString& hist = "0001",
                const QString& complement = "", const QVariant& balance = {},
                const QString& letter = "");

} // namespace esc::test
