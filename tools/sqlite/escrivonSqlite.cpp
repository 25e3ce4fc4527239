// libescrivon_sqlite: a loadable SQLite extension that gives any SQLite program (the sqlite3
// shell, a database browser, a script) the collation of Escrivon's table files, so that it
// can read them through their indexes and check them:
//   sqlite3 CONTAS.db -cmd '.load /usr/lib/<triplet>/escrivon/libescrivon_sqlite'
// The comparison is the store's own (store/collation.cpp is compiled into both).
#include "store/collation.h"

#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

// SQLite finds the entry point by the file's name: libescrivon_sqlite -> escrivonsqlite.
extern "C" __attribute__((visibility("default"))) int
sqlite3_escrivonsqlite_init(sqlite3* db, char** error, const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  const int rc =
      sqlite3_create_collation(db, esc::esciCollationName, SQLITE_UTF8, nullptr, esc::esciCompare);
  if (rc != SQLITE_OK && error)
    *error =
        sqlite3_mprintf("escrivon_sqlite: collation %s not registered", esc::esciCollationName);
  return rc;
}
