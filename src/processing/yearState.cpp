#include "yearState.h"

#include "fiscalYear.h"

namespace esc {

bool YearState::findYear(const QString& year) {
  if (dm_.TbFechamen->findKey({year})) return true;
  ui_.message("Não existem dados para o exercício de " + year);
  return false;
}

void YearState::setSituation(const QString& situation) {
  Table& years = *dm_.TbFechamen;
  years.edit();
  years.setValue("Situacao", situation);
  try {
    years.post();
  } catch (...) {
    // A refused store leaves no half-typed state behind on the year selector's table.
    if (years.isEditing()) years.cancel();
    throw;
  }
}

bool YearState::close() {
  return change({false, " já foi fechado anteriormente.", "Confirma o fechamento do exercicio?",
                 "F", " foi fechado neste momento."});
}

bool YearState::reopen() {
  return change({true, " não está fechado.", "Confirma a reabertura do exercicio?", "R",
                 " foi reaberto neste momento."});
}

bool YearState::change(const Change& c) {
  const QString year = year_.trimmed();
  if (year.isEmpty()) {
    ui_.message(fiscal::noYearText);
    return false;
  }
  try {
    if (!findYear(year)) return false;
    const bool closed = dm_.TbFechamen->field("Situacao").asString() == QLatin1String("F");
    if (closed != c.fromClosed) {
      ui_.message("Exercício de " + year + c.refusal);
      return false;
    }
    if (!ui_.confirm(c.question)) return false;
    setSituation(c.situation);
    ui_.message("Exercício de " + year + c.done);
    return true;
  } catch (const StoreError& e) {
    if (!e.silent()) ui_.error(e.message());
    return false;
  }
}

} // namespace esc
