#pragma once
#include "usage.h"

namespace esc::cli {

// The data directory: --data-dir, else ESCRIVON_DATA, else Escrivon's default directory.
QString dataDirectory(const Invocation& invocation);

// Runs a command line taken apart: 0 done, 1 refused (the system's message said). Throws
// UsageError for arguments the command cannot take.
int runCommand(const Invocation& invocation);

} // namespace esc::cli
