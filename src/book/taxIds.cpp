#include "taxIds.h"

namespace esc::book {

namespace {

bool allDigits(const QString& s, int size) {
  if (s.size() != size) return false;
  for (QChar c : s)
    if (c < '0' || c > '9') return false;
  return s.count(s[0]) != size;
}

// Modulo-11 check digit over the first `count` digits with the weights given from the left.
int checkDigit(const QString& s, int count, const int* weights) {
  int sum = 0;
  for (int i = 0; i < count; ++i)
    sum += (s[i].unicode() - '0') * weights[i];
  const int rest = sum % 11;
  return rest < 2 ? 0 : 11 - rest;
}

} // namespace

QString digitsOf(const QString& text) {
  QString out;
  for (QChar c : text)
    if (c >= '0' && c <= '9') out += c;
  return out;
}

bool validCnpj(const QString& d) {
  if (!allDigits(d, 14)) return false;
  static const int first[] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  static const int second[] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
  return checkDigit(d, 12, first) == d[12].unicode() - '0' &&
         checkDigit(d, 13, second) == d[13].unicode() - '0';
}

bool validCpf(const QString& d) {
  if (!allDigits(d, 11)) return false;
  static const int first[] = {10, 9, 8, 7, 6, 5, 4, 3, 2};
  static const int second[] = {11, 10, 9, 8, 7, 6, 5, 4, 3, 2};
  return checkDigit(d, 9, first) == d[9].unicode() - '0' &&
         checkDigit(d, 10, second) == d[10].unicode() - '0';
}

} // namespace esc::book
