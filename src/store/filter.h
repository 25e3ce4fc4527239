#pragma once
#include "schema.h"
#include "values.h"

#include <QVariantList>

namespace esc {

// A filter expression turned into a WHERE clause with bound values. The forms read are
// terms `Field op value` joined by `and`, op one of = <> >= <= > <, the value in single
// quotes ('' for a quote) or bare: `Campo='valor'`, `A='x' and B='y'`, `Campo=valor`,
// `Periodo>='200401' and Periodo<='200412'`. Anything else is a StoreError.
struct SqlFilter {
  QString where; // "" for an empty expression
  QVariantList params;
};

SqlFilter parseFilter(const TableDef& table, const QString& expression);

} // namespace esc
