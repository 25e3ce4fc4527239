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
  const QString year = year_.trimmed();
  if (year.isEmpty()) {
    ui_.message(fiscal::noYearText);
    return false;
  }
  try {
    if (!findYear(year)) return false;
    if (dm_.TbFechamen->field("Situacao").asString() == QLatin1String("F")) {
      ui_.message("Exercício de " + year + " já foi fechado anteriormente.");
      return false;
    }
    if (!ui_.confirm("Confirma o fechamento do exercicio?")) return false;
    setSituation("F");
    ui_.message("Exercício de " + year + " foi fechado neste momento.");
    return true;
  } catch (const StoreError& e) {
    if (!e.silent()) ui_.error(e.message());
    return false;
  }
}

bool YearState::reopen() {
  const QString year = year_.trimmed();
  if (year.isEmpty()) {
    ui_.message(fiscal::noYearText);
    return false;
  }
  try {
    if (!findYear(year)) return false;
    if (dm_.TbFechamen->field("Situacao").asString() != QLatin1String("F")) {
      ui_.message("Exercício de " + year + " não está fechado.");
      return false;
    }
    if (!ui_.confirm("Confirma a reabertura do exercicio?")) return false;
    setSituation("R");
    ui_.message("Exercício de " + year + " foi reaberto neste momento.");
    return true;
  } catch (const StoreError& e) {
    if (!e.silent()) ui_.error(e.message());
    return false;
  }
}

} // namespace esc
