#pragma once
#include "database.h"
#include "schema.h"

namespace esc {

// A lookup field's value: the result field of the first row, in the looked-up table's
// primary order, whose key field equals `key`; "" when no row matches.
QVariant readLookup(Database& db, const TableDef& looked, const LookupDef& lookup,
                    const QVariant& key);
// Its query, with the key as the only parameter. Where the key field leads a case-ignoring
// index the comparison goes through that index's collation first, so the search is one
// index seek, and then compares exactly.
QString lookupSql(const TableDef& looked, const LookupDef& lookup);

} // namespace esc
