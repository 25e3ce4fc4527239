#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>

namespace esc {

// Why an export was refused (OperationResult::reason).
enum class EcdRefusal {
  MissingData = 1,   // a mandatory value of the organization or of the SPED data is missing
  InvalidTaxId,      // a CNPJ or CPF whose check digits are wrong
  Unprocessed,       // a document of the year not processed
  Unbalanced,        // a document whose debits and credits differ
  FractionOfCent,    // an amount the file's two decimals cannot hold
  NoNature,          // an analytic account with movement whose nature code is unknown
  SyntheticOutdated, // the synthetic rows or the result account differ from the roll-up's
  IncomeStatement,   // the income statement does not hold December of the year
  BalanceSheet,      // the balance sheet is of another year, or does not balance
  WriteFailed,       // the file could not be written
};

// Writes the year's books as the digital bookkeeping file (ECD, Livro Diário Geral "G", layout
// 9.00) to `path`: ISO-8859-1, lines "|REG|field|...|" ended by CR LF, written to a temporary
// file beside `path` and renamed only when complete. Reads the book only; refuses, naming the
// document or account and writing nothing, a book the file could not state truly (see
// EcdRefusal). Figures: "lines", "documents" (I200 of the documents), "closing entries",
// "pipes replaced", "characters replaced", "accounts without referential code".
//
// How the book becomes the file:
//  - Chart (I050). A synthetic account (levels 1 to 5) is COD_CTA = its six-digit code, NIVEL =
//    its level. Every account pair of level 6 is an analytic account of NIVEL 6, so the six
//    levels stay: COD_CTA = the account code alone for current account 999, else the account
//    code followed by the current-account code ("1111210001"); its name is the account's name,
//    " - " and the current account's name. COD_CTA_SUP is the synthetic account of the highest
//    level below the account's whose code begins with the account's first `level` digits
//    (empty on level 1). COD_NAT comes from the SPED data (SpedData::natureOf).
//  - The result account 299999 / 999. In the book its month movements are the roll-up's sums
//    of groups 3 and 4; no entry stands behind them. In the file it moves only by entries: from
//    January to November by the documents posted to it (normally none), so its I155 shows the
//    result carried from earlier years; in December it receives the year's result by the
//    closing entry. The analytic accounts of groups 3 and 4 (those the roll-up sums) are
//    brought to zero on 31/12 by one closing entry (I200 "E", number "E" + year, which no
//    five-digit document number can equal) against the result account; I350/I355 give their
//    balances before it. So the December I155 of these accounts and the I155 of the result
//    account differ from the trial balance by design.
//  - Balance sheet (J100), from `balpatri` as last updated: one line per row, COD_AGL = the
//    account code, NIVEL_AGL = its level, IND_COD_AGL "D" for level 6 and "T" above,
//    COD_AGL_SUP = the row of the highest lower level whose code begins with its first `level`
//    digits, IND_GRP_BAL "A" for group 1 and "P" for group 2. The analytic accounts of groups 1
//    and 2 are tied to the COD_AGL of their account code (I052).
//  - Income statement (J150), from `demresul` (which must hold December of the year): COD_AGL =
//    "R" + the line's number. An "=" line is a total ("T") of the lines since the "=" line
//    before it and of that line: the last "=" is on level 1 and each earlier "=" one level
//    below the next, the "+" and "-" lines one level below the "=" that follows them; "+" and
//    "-" lines after the last "=" and lines without a sign stand alone on level 1 ("D").
//    IND_GRP_DRE is "R" for "+" lines, "D" for "-" lines, and by the amount's sign for the
//    others; VL_CTA_INI (the previous year's statement, which the book does not keep) is 0,00.
//    An analytic account of groups 3 and above is tied (I052) to the first "+", "-" or blank
//    line whose range holds its pair.
//  - A "|" in a text is written as "-", a character outside ISO-8859-1 as "?"; the message says
//    how many there were. Amounts have two decimals and a comma, dates are DDMMAAAA.
OperationResult exportEcd(Database& db, const QString& year, const QString& path,
                          Progress& progress);

} // namespace esc
