#pragma once
#include "store/dataModule.h"

#include <QStringList>

namespace esc::test {

// Adds an account row through the cursor, as the chart page would: the key is the account
// code and the current-account code as their boxes give them (14 positions, spaces after).
inline void addAccount(Table& contas, const QString& code, const QString& current,
                       const QString& name, const QString& level = "6",
                       const QString& nature = "D") {
  contas.insert();
  contas.field("CodCtaConCodCtaCor").setValue(code + current.leftJustified(14, ' '));
  contas.field("CodigoContaContabil").setValue(code);
  contas.field("NomeContaContabil").setValue(name);
  contas.field("CodigoContaCorrente").setValue(current.leftJustified(14, ' '));
  contas.field("TipoDeSaldo").setValue(nature);
  contas.field("NivelDaConta").setValue(level);
  contas.post();
}

// The values of `field` walking the whole table forward (or backward) from its current end.
inline QStringList walk(Table& t, const QString& field, bool forward = true) {
  QStringList out;
  forward ? t.first() : t.last();
  while (!t.isEmpty()) {
    out << t.field(field).asString();
    if (forward) {
      t.next();
      if (t.eof()) break;
    } else {
      t.prior();
      if (t.bof()) break;
    }
  }
  return out;
}

} // namespace esc::test
