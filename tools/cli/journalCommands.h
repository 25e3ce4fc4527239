#pragma once
#include "store/database.h"
#include "terminal.h"
#include "usage.h"

namespace esc::cli {

// estornar and exportar-hledger: the journal's corrections and its way out to plain-text
// accounting.
bool isJournalCommand(const QString& command);
// Whether the command only reads (the book is then opened read-only).
bool journalCommandReads(const QString& command);
// Checks the arguments before the book is opened. Throws UsageError.
void checkJournalArguments(const Invocation& invocation);
// Runs the command on the open book: 0 done, 1 refused (the message said on `ui`).
int runJournalCommand(Database& db, ConsoleUi& ui, const Invocation& invocation);

} // namespace esc::cli
