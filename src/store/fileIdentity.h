#pragma once
#include <QString>

namespace esc {

// True when both paths name the same file or directory however they are reached: a symbolic
// link, a bind mount or another alias. False when either does not exist.
bool sameFile(const QString& a, const QString& b);

} // namespace esc
