#pragma once
#include <QString>

namespace esc::book {

// An account pair as the chart keys it (CodCtaConCodCtaCor): the account code followed by the
// current-account code, trailing spaces dropped.
QString accountPair(const QString& account, const QString& current);

// The trial balance's key (CodCtaConCodCtaCor of TbBalanco): the period, then the account pair.
QString balanceKey(const QString& period, const QString& pair);
QString balanceKey(const QString& year, const QString& month, const QString& account,
                   const QString& current);

// The journal's key (AnoContasMesDia): fiscal year, account code, current-account code padded
// to 14, month and day, so a pair's entries of a year sort by date.
QString entryKey(const QString& year, const QString& account, const QString& current,
                 const QString& month, const QString& day);

// The parts of a journal key: the fiscal year it was saved under (its first 4 characters), and
// the year with the account pair (its first 24: year, account code, current-account code padded
// to 14), the prefix every entry of the pair in that year shares.
QString entryKeyYear(const QString& entryKey);
QString entryKeyPrefix(const QString& entryKey);

// The account code and the current-account code a trial-balance key ends with, the latter
// without its padding.
QString balanceKeyAccount(const QString& balanceKey);
QString balanceKeyCurrent(const QString& balanceKey);

// The upper bound of the half-open key range [prefix, keyLimit(prefix)) of every key that
// begins with `prefix`.
QString keyLimit(const QString& prefix);

// The result account: its code, and its pair in the chart and behind the period in the trial
// balance.
inline const QString resultAccount = QStringLiteral("299999");
inline const QString resultPair = QStringLiteral("299999999"); // current account 999

// An account of groups 3 and above (its code's first character, as text, is "3" or more):
// its movements close into the result account.
bool isResultAccount(const QString& code);

} // namespace esc::book
