#pragma once
#include <QPixmap>

namespace esc {
// The system's picture: a ledger with a pen, drawn so that no image file is needed.
QPixmap escrivonLogo(int size);
} // namespace esc
