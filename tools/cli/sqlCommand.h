#pragma once
#include "store/database.h"

#include <QString>

namespace esc::cli {

// `escrivon-cli sql "SELECT …"`: one statement that only reads, over the book's tables
// attached by their names (contas, historic, lancamen, balanco, balpatri, demresul, fechamen,
// cabecalh), written to the standard output as the listings are (aligned, or CSV with
// `csv`). Throws UsageError for a statement that is not a query, StoreError for one SQLite
// refuses. Returns the exit status.
int runSql(Database& db, const QString& sql, bool csv);

} // namespace esc::cli
