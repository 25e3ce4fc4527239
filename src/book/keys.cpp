#include "keys.h"

#include "store/formats.h"

namespace esc::book {

QString accountPair(const QString& account, const QString& current) {
  return fmt::trimRight(account + current);
}

QString balanceKey(const QString& period, const QString& pair) {
  return period + pair;
}

QString balanceKey(const QString& year, const QString& month, const QString& account,
                   const QString& current) {
  // The current-account code ends the key, so its padding is not part of the stored value.
  return fmt::trimRight(year + month + account + current);
}

QString entryKey(const QString& year, const QString& account, const QString& current,
                 const QString& month, const QString& day) {
  return year + account + current.leftJustified(14, ' ') + month + day;
}

QString entryKeyYear(const QString& entryKey) {
  return entryKey.left(4);
}

QString entryKeyPrefix(const QString& entryKey) {
  return entryKey.left(24);
}

QString balanceKeyAccount(const QString& balanceKey) {
  return balanceKey.mid(6, 6);
}

QString balanceKeyCurrent(const QString& balanceKey) {
  return balanceKey.mid(12, 14).trimmed();
}

QString keyLimit(const QString& prefix) {
  // The prefix with its last character raised by one bounds every key that begins with it.
  QString high = prefix;
  if (!high.isEmpty()) high.back() = QChar(high.back().unicode() + 1);
  return high;
}

bool isResultAccount(const QString& code) {
  return code.left(1) >= QLatin1String("3");
}

} // namespace esc::book
