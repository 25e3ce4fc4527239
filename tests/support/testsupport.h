#pragma once
#include "printers.h"
#include "scriptedUi.h"
#include "store/dataModule.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace esc::test {

// A data directory of its own for one test, made by the same code as escrivon-init; with
// `demoYear`, the demo book's year of processed documents.
struct TempBook {
  explicit TempBook(bool demo = true, int year = 2004, const QString& password = "ESCRIVON",
                    bool demoYear = false);
  QString path() const { return dir.path(); }
  QTemporaryDir dir;
};

// A data module connected to a fresh book, all eight tables open (orders as start-up sets).
struct OpenBook : TempBook {
  explicit OpenBook(bool demo = true, int year = 2004, bool demoYear = false);
  ScriptedUi ui;
  std::unique_ptr<TDEscrivon> dm;
};

// A data module on an existing directory, every table open, as another connection reads it.
struct OpenDirectory {
  explicit OpenDirectory(const QString& path);
  Database& db() { return dm.database(); }
  ScriptedUi ui;
  TDEscrivon dm;
};

// The message of the StoreError that `f` throws; "" when it throws none.
QString storeErrorOf(const std::function<void()>& f);

// The names in a directory, hidden ones too, in name order.
QStringList listing(const QString& dir);

// Each file of the directory with a hash of its bytes, to show that nothing was written.
QStringList fileSnapshot(const QString& dir);

} // namespace esc::test
