#pragma once
#include "ui/dbGrid.h"
#include "ui/mainContext.h"
#include "ui/navBar.h"

#include <QTabWidget>

namespace esc {

// The "Listas" tab: six tables as grids over the data module's cursors, so the row chosen
// here is the row of the maintenance pages and their order is the one chosen on "Índices".
// Five grids only show; the "Bal. Patr." grid edits in place and saves a row on leaving it.
class ListsTab : public QTabWidget {
  Q_OBJECT
public:
  ListsTab(MainContext& ctx, QWidget* parent = nullptr);

  // Writes every page's record counters (the main window's refresh does the same by name).
  void refreshCounters();

private:
  struct Page;
  QWidget* addPage(const Page& page);

  MainContext& ctx_;
  QVector<std::pair<RecordCounters*, Table*>> counters_;
};

} // namespace esc
