#pragma once
#include "store/dataModule.h"

#include <QString>

namespace esc {

// The five searchable tables, each with its remembered search text and its order group.
enum class SearchKind { Contas, Historicos, Lancamentos, Balanco, DemResul };

// What the pages need of the main window: the data module, the Ui, the selected fiscal
// year, the remembered search texts and the item chosen in each order group. The texts and
// items are kept here, once, for the main window and for tests of pages on their own.
class MainContext {
public:
  virtual ~MainContext() = default;
  virtual TDEscrivon& dm() = 0;
  virtual Ui& ui() = 0;
  // The year selector's text: four digits, or "" when no fiscal year is selected.
  virtual QString selectedYear() const = 0;
  virtual QString searchText(SearchKind kind) const { return texts_[int(kind)]; }
  virtual void setSearchText(SearchKind kind, const QString& text) { texts_[int(kind)] = text; }
  // The text of the selected item of the kind's order group (the "Índices" page); the
  // group's first item until one is chosen.
  virtual QString orderItem(SearchKind kind) const;
  virtual void setOrderItem(SearchKind kind, const QString& item) { items_[int(kind)] = item; }

private:
  QString texts_[5];
  QString items_[5];
};

} // namespace esc
