#pragma once
#include <QString>
#include <optional>

namespace esc {

class Database;

// Every balance, total and running balance the books compute is kept to four decimal places
// (ten-thousandths, the resolution of document totals) before it is stored or compared with
// zero: D 0,10 + D 0,20 against C 0,30 must close at zero, not at a residue of 5.55e-17 whose
// sign would turn the letter round.
double roundAmount(double value);
// The same rounding inside SQL, as round_amount(x) (NULL stays NULL), for the routines that
// copy balances set-wise.
void registerRoundAmount(Database& db);

namespace book {

// A month's closing balance signed on the side of its nature: the opening plus the movements
// of the nature's side less those of the other side, rounded. A nature other than "D" counts
// on the credit side.
double natureBalance(const QString& nature, double opening, double debits, double credits);

// The letter of a balance signed on the side of `nature`: the nature's letter for zero or
// more, the other letter below zero; nothing for a nature other than "D" or "C".
std::optional<QString> letterFor(const QString& nature, double value);

} // namespace book

} // namespace esc
