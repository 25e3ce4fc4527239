#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>

namespace esc {

// A fiscal year as a plain-text accounting journal that hledger (and ledger-like programs)
// read: the January opening balances of the analytic accounts as one transaction dated 01/01,
// tagged "abertura", then one transaction per processed document of the year, dated as the
// document, its entries as postings. Unprocessed entries stay out, as they stay out of the
// trial balance.
//
// Signs are hledger's: a debit is positive, a credit negative, so an account of credit nature
// shows its balance negative; the book keeps balances signed on the side of the account's
// nature, and the export turns them. Amounts are written with a decimal point, no currency.
//
// Accounts are named "code name" on the chart's levels, which become hledger's hierarchy (the
// chart's synthetic account of each level that the analytic account's code begins with, joined
// by ":"), and the current account below the analytic account, "0001 AG 1234-5"; an analytic
// account kept without current accounts (only "999") ends the name itself. So `hledger bal
// --depth N` totals as the synthetic accounts of level N do when the chart has every level. A
// colon or semicolon inside a name becomes "-" and runs of blanks one blank, as hledger's
// account names need.
//
// `hledger bal -M not:tag:abertura` gives each analytic account's month movement as the trial
// balance has it (debits less credits), and `hledger bal -M -H` its closing balance with
// hledger's sign, for every account but the result account 299999/999, whose month results
// the synthetic update writes and no entry posts.
//
// Reads only: a book opened read-only exports. The file is written beside its target and
// renamed. Refused for a year without trial-balance rows and for a file that cannot be
// written. Figures: "documents", "postings" (the documents' entries), "opening accounts".
OperationResult exportHledger(Database& db, const QString& year, const QString& file,
                              Progress& progress);

// The journal's text, as exportHledger writes it. Figures as exportHledger's.
QString hledgerJournal(Database& db, const QString& year, QVector<OperationResult::Figure>* counts,
                       Progress& progress);

} // namespace esc
