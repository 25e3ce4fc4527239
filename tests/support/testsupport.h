#pragma once
#include "printers.h"
#include "scriptedUi.h"
#include "store/dataModule.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace esc::test {

// A data directory of its own for one test, made by the same code as escrivon-init.
struct TempBook {
  explicit TempBook(bool demo = true, int year = 2004, const QString& password = "ESCRIVON");
  QString path() const { return dir.path(); }
  QTemporaryDir dir;
};

// A data module connected to a fresh book, all eight tables open (orders as start-up sets).
struct OpenBook : TempBook {
  explicit OpenBook(bool demo = true, int year = 2004);
  ScriptedUi ui;
  std::unique_ptr<TDEscrivon> dm;
};

// The message of the StoreError that `f` throws; "" when it throws none.
QString storeErrorOf(const std::function<void()>& f);

// Each file of the directory with a hash of its bytes, to show that nothing was written.
QStringList fileSnapshot(const QString& dir);

} // namespace esc::test
