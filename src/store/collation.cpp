#include "collation.h"

#include <QString>
#include <algorithm>

namespace esc {

namespace {

// Letters without their accents and case, so "Álvaro" sorts beside "alvaro".
QString baseForm(const QString& s) {
  QString d = s.normalized(QString::NormalizationForm_D);
  QString out;
  out.reserve(d.size());
  for (QChar c : d)
    if (c.category() != QChar::Mark_NonSpacing) out.append(c);
  return out.toCaseFolded();
}

} // namespace

// Case-insensitive order for the indexes that ignore case: accented letters fold too
// (SQLite's NOCASE folds only ASCII). Equal base forms fall back to the folded text, so
// the order is total and "ÁGUA" equals "água" but not "AGUA".
int esciCompare(void*, int la, const void* pa, int lb, const void* pb) {
  auto a = static_cast<const unsigned char*>(pa);
  auto b = static_cast<const unsigned char*>(pb);
  bool ascii = true;
  const int n = std::min(la, lb);
  for (int i = 0; i < n; ++i) {
    unsigned char ca = a[i], cb = b[i];
    if ((ca | cb) & 0x80) {
      ascii = false;
      break;
    }
    if (ca >= 'A' && ca <= 'Z') ca += 32;
    if (cb >= 'A' && cb <= 'Z') cb += 32;
    if (ca != cb) {
      // Decided already unless a later byte is non-ASCII; check the rest.
      for (int j = i; j < la; ++j)
        ascii &= a[j] < 0x80;
      for (int j = i; j < lb; ++j)
        ascii &= b[j] < 0x80;
      if (ascii) return ca < cb ? -1 : 1;
      break;
    }
  }
  if (ascii) {
    for (int j = n; j < la; ++j)
      ascii &= a[j] < 0x80;
    for (int j = n; j < lb; ++j)
      ascii &= b[j] < 0x80;
    if (ascii) return la == lb ? 0 : (la < lb ? -1 : 1);
  }
  const QString sa = QString::fromUtf8(reinterpret_cast<const char*>(a), la);
  const QString sb = QString::fromUtf8(reinterpret_cast<const char*>(b), lb);
  int c = baseForm(sa).compare(baseForm(sb));
  if (c == 0) c = sa.toCaseFolded().compare(sb.toCaseFolded());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace esc
