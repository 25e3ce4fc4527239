#pragma once
#include "store/dataModule.h"

#include <QString>

namespace esc {

// "Abertura do &Exercício Financeiro Posterior": creates the year after the selected one.
// Every December row of the selected year gives twelve rows of the new year with no movements:
// accounts of groups 1 and 2 copy December's balances and letters, result accounts (groups 3
// and above) start at zero with their nature as both letters. The selected year becomes "T"
// and the new year is added to TbFechamen, open. All of it, or nothing when a row of the new
// year already exists.
class YearOpening {
public:
  YearOpening(TDEscrivon& dm, Ui& ui, const QString& year) : dm_(dm), ui_(ui), year_(year) {}
  bool run(); // true when the year was opened

private:
  TDEscrivon& dm_;
  Ui& ui_;
  QString year_;
};

} // namespace esc
