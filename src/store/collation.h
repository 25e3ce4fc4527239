#pragma once

namespace esc {

// The name of the collation of the indexes that ignore case, as the table files store it.
inline constexpr const char* esciCollationName = "ESCI";

// The ESCI order, with the signature SQLite's sqlite3_create_collation takes (UTF-8 texts).
// It needs nothing of SQLite itself, so the same source is compiled into the store and into
// the loadable extension that lets other SQLite programs read the table files' indexes: both
// must order alike, or an index written by one is corrupt to the other.
int esciCompare(void* unused, int lengthA, const void* textA, int lengthB, const void* textB);

} // namespace esc
