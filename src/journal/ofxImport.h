#pragma once
#include "store/operationResult.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace esc {

class Database;

// What the statement's entries are booked against.
struct OfxImportOptions {
  QString account, current;               // the bank account's pair in the chart
  QString counterAccount, counterCurrent; // the other side, typically a suspense account
  QString historico;                      // the standard description of every entry
};

// A transaction of a bank statement as the import reads it.
struct OfxTransaction {
  QString bank, bankAccount; // the statement's BANKID and its account (branch and ACCTID)
  QString fitid;
  std::optional<QDate> date; // the posting date as the bank wrote it, whatever the time zone
  double amount = 0.0;       // positive: money in
  QString text;              // the memo, or the name when there is no memo
};

// The transactions of an OFX file, 1.x (SGML) or 2.x (XML); nullopt when the file is no
// statement libofx can read.
std::optional<QVector<OfxTransaction>> readOfxFile(const QString& path);

// A bank statement becomes new unprocessed documents, one a transaction, each of two entries:
// the bank account against the counterpart, on the transaction's posting date, with the given
// standard description and the statement's memo as complementary text. Money in debits the
// bank account, money out credits it; a transaction of no amount has nothing to book.
// Transactions already imported (the same FITID of the same bank account for the same pair)
// are skipped and counted; their ids are kept in the book. A transaction dated outside
// `year` refuses the whole statement, naming them all, and nothing is written.
//
// `year`: the selected fiscal year; "" takes the year of the statement's first transaction.
// Done: "12 transações importadas, 3 já importadas antes.", the figures of
// ImportedDocuments::write (when any was imported), "importadas" and "repetidas".
OperationResult importOfxFile(Database& db, const QString& year, const QString& path,
                              const OfxImportOptions& options, Progress& progress);

} // namespace esc
