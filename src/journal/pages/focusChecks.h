#pragma once
#include "store/storeerror.h"
#include "store/table.h"

#include <functional>

class QWidget;

namespace esc {

class DBEdit;

// A box bound to the journal shows the saved entry again when a guard discarded the edit its
// own keystroke started (the box was still writing when the edit went away).
void followDiscards(DBEdit* box);

// A check made when the focus leaves `box` for another box of the window (not for a message
// box or a list dropping down). When `bad` holds, `complain` speaks and the focus returns to
// the box; with `keepText` the box's own leaving (which would put back the saved value) is
// skipped, so what was typed stays on screen. Leaving for `escape` (the page's Cancelar) is
// never refused, so a refused box can always be abandoned.
void checkOnExit(QWidget* box, QWidget* escape, std::function<bool()> bad,
                 std::function<void()> complain, bool keepText = false);

// Focus entering and leaving `box` for good (a list dropping down does not count).
void onFocus(QWidget* box, std::function<void()> entered, std::function<void()> left);

// While a current-account picker has the focus, the chart lists only the pairs of the account
// code `account` gives; a code the filter cannot hold (a blank or a quote inside) leaves the
// whole chart listed. Store errors go to `report`.
void restrictChartWhileFocused(QWidget* picker, Table& chart, std::function<QString()> account,
                               std::function<void(const StoreError&)> report);

} // namespace esc
