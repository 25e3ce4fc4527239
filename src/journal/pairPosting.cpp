#include "pairPosting.h"

#include "book/amounts.h"

namespace esc::posting {

Side sideOf(const QString& letter) {
  if (letter == QLatin1String("D")) return Side::D;
  if (letter == QLatin1String("C")) return Side::C;
  return Side::None;
}

QString letterOf(Side side) {
  static const QString d = QStringLiteral("D"), c = QStringLiteral("C");
  return side == Side::D ? d : side == Side::C ? c : QString();
}

void postAmount(Year& months, int month, bool debit, double amount) {
  const QString nature = months[month].nature;
  auto letter = [&](double value) { return book::letterFor(nature, value).value_or(QString()); };
  double carried = 0.0;
  for (int m = month; m < 12; ++m) {
    MonthRow& row = months[m];
    if (!row.exists) continue;
    if (m == month) {
      double& movement = debit ? row.debits : row.credits;
      movement = roundAmount(movement + amount);
      (debit ? row.debitsSet : row.creditsSet) = true;
    } else {
      row.opening = carried;
      row.openingLetter = letter(carried);
      row.openingSet = true;
    }
    carried = book::natureBalance(nature, row.opening, row.debits, row.credits);
    row.closing = carried;
    row.closingLetter = letter(carried);
    row.closingSet = true;
  }
}

QVector<BalanceWrite> walkBalances(const QVector<JournalLine>& lines, double seed, Side nature) {
  const Side other = sideOf(book::letterFor(letterOf(nature), -1.0).value_or(QString()));
  QVector<BalanceWrite> writes;
  double running = seed;
  for (const JournalLine& line : lines) {
    running = roundAmount(running + (line.type == nature ? line.amount : -line.amount));
    // Unlike the trial balance, a running balance of exactly zero keeps the letter it had.
    const Side side = running > 0 ? nature : running < 0 ? other : Side::None;
    const bool sameBalance = line.balance && *line.balance == running;
    if (sameBalance && (side == Side::None || line.letter == side)) continue;
    writes.push_back({line.rowId, running, side});
  }
  return writes;
}

PairPosted postPair(const PairBooks& pair, const QVector<Movement>& movements) {
  PairPosted out;
  out.months = pair.months;
  for (const Movement& m : movements)
    postAmount(out.months, m.month, m.debit, m.amount);
  if (movements.isEmpty()) return out;
  out.nature = out.months[movements.last().month].nature;
  out.balances = walkBalances(pair.journal, pair.months[0].opening, sideOf(out.nature));
  return out;
}

} // namespace esc::posting
