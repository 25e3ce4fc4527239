#include "mainContext.h"

#include "orderGroups.h"

namespace esc {

QString MainContext::orderItem(SearchKind k) const {
  return items_[int(k)].isEmpty() ? firstOrderItem(k) : items_[int(k)];
}

} // namespace esc
