#pragma once
#include "store/dataModule.h"

#include <QString>

namespace esc::cli {

// `copia`: the backup copy of the open book into `destination` (a directory that exists).
// What the copy says goes through the data module's Ui. True when the whole copy is in place.
bool copyBook(TDEscrivon& dm, const QString& destination);

} // namespace esc::cli
