#pragma once
#include "store/operationResult.h"
#include "usage.h"

namespace esc {
class Database;
}

namespace esc::cli {

// Whether `command` is one of the imports: importar-lancamentos, importar-ofx.
bool isImport(const QString& command);

// Checks an import's arguments before the book is opened. Throws UsageError.
void checkImportArguments(const Invocation& inv);

// Imports the file the command names into the open book.
OperationResult runImport(Database& db, const Invocation& inv, Progress& progress);

} // namespace esc::cli
