#pragma once
#include <QString>
#include <QVector>
#include <array>
#include <optional>

// The arithmetic of posting, on plain values: what reading the book gives and what writing it
// takes. Nothing here touches the book.
namespace esc::posting {

// A balance's side, as the journal stores a letter: "D", "C" or anything else.
enum class Side : char { None, D, C };
Side sideOf(const QString& letter);
QString letterOf(Side side);

// A trial-balance month row of an account pair, as read and as posting changes it.
struct MonthRow {
  bool exists = false;
  qint64 rowId = 0;
  QString key;
  QString nature;
  double opening = 0.0;
  QString openingLetter;
  double debits = 0.0;
  double credits = 0.0;
  double closing = 0.0;
  QString closingLetter;
  // What posting changed; the rest is written back as it was read (a blank stays blank).
  bool openingSet = false, debitsSet = false, creditsSet = false, closingSet = false;
};
using Year = std::array<MonthRow, 12>; // January to December

// Moves one amount into the row of `month` (0 for January) and carries its closing balance
// through the later months: each existing month opens with the closing balance of the last
// existing one before it; months with no row are skipped. Balances are signed on the side of
// the month row's nature.
void postAmount(Year& months, int month, bool debit, double amount);

// An entry of the pair's fiscal year in journal order, as the running-balance walk reads it.
struct JournalLine {
  qint64 rowId = 0;
  Side type = Side::None; // TipoDeLancamento
  double amount = 0.0;
  std::optional<double> balance; // SaldoAtual; nothing when never written
  Side letter = Side::None;      // TipoSaldoAtual
};

// A running balance that changes.
struct BalanceWrite {
  qint64 rowId = 0;
  double balance = 0.0;
  Side letter = Side::None; // None: a zero balance keeps the letter the entry had
};

// The running balances of a pair's entries, walked in order from January's opening `seed`:
// an entry of the nature's type adds its amount, any other subtracts it. Only the entries
// whose balance or letter changes are given back; a balance of exactly zero keeps its letter.
QVector<BalanceWrite> walkBalances(const QVector<JournalLine>& lines, double seed, Side nature);

// An amount a batch moves into a pair, in posting order.
struct Movement {
  int month = 0; // 0 for January
  bool debit = false;
  double amount = 0.0;
};

// A pair as a batch finds it, and what posting the batch leaves of it.
struct PairBooks {
  Year months;
  QVector<JournalLine> journal; // the pair's entries of the year, in journal order
};
struct PairPosted {
  Year months; // with what changed marked
  QVector<BalanceWrite> balances;
  QString nature; // the one the running balances are signed on
};

// Posts `movements` into `pair` one after another, then walks its running balances once from
// January's opening, signed on the nature of the month row of the last movement, as the last
// of per-entry walks would. Every movement's month row exists with nature "D" or "C".
PairPosted postPair(const PairBooks& pair, const QVector<Movement>& movements);

} // namespace esc::posting
