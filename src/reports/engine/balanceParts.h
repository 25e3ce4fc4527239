#pragma once
// What the trial balance and the balance sheet both print: the balance columns of an account
// (captions, one row's values, the totals) and the signatures under the totals.
#include "reportModel.h"

#include <QString>

namespace esc::report {

// The places of the balance columns on a band, in mm from its left edge: a caption's left
// edge, an amount's right edge (amounts line up on their last digit), a letter's left edge.
struct BalanceColumns {
  double opening = 0;       // "Saldo Anterior"
  double openingLetter = 0; // its D/C
  double debit = 0;         // "Valor Débitos"
  double credit = 0;        // "Valor Créditos"
  double closing = 0;       // "Saldo Atual"
  double closingLetter = 0; // its D/C
};

// The places of the totals' right edges: a sum has no letter.
struct BalanceTotals {
  double opening = 0, debit = 0, credit = 0, closing = 0;
};

// The column captions, bold 8 pt, from their left edges.
void balanceCaptions(Band& header, double y, const BalanceColumns& left);
// A row's opening balance, debits, credits and closing balance (",#0.00") and the two D/C
// letters.
void balanceFields(Band& detail, double y, const BalanceColumns& at);
// The plain sums of the printed rows' four amounts in the query `source`, whatever their D/C
// letters, bold 8 pt.
void balanceTotals(Band& summary, double y, const QString& source, const BalanceTotals& end);

// The accountant's and the organization's responsible's names at `y`, their titles under them,
// centred on 26 and 88 mm, bold 8 pt.
void signatureBlock(Band& band, double y);

} // namespace esc::report
