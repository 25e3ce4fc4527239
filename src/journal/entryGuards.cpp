#include "entryGuards.h"

#include "book/texts.h"

namespace esc {

EntryGuards& EntryGuards::of(Table& journal, Ui& ui) {
  if (auto* g = journal.findChild<EntryGuards*>(QString(), Qt::FindDirectChildrenOnly)) return *g;
  return *new EntryGuards(journal, ui);
}

EntryGuards::EntryGuards(Table& journal, Ui& ui) : QObject(&journal), journal_(journal), ui_(ui) {
  connect(&journal, &Table::fieldChanged, this, &EntryGuards::fieldChanged);
}

void EntryGuards::fieldChanged(const QString& name) {
  // Only a saved entry is guarded; a new one is typed freely until it is saved.
  if (journal_.state() != Table::State::Edit) return;
  auto is = [&](const char* field) { return name.compare(field, Qt::CaseInsensitive) == 0; };
  QString refusal;
  if (is("CodigoContaContabil") || is("CodigoContaCorrente") || is("CodigoHistorico") ||
      is("ValorLancamento"))
    refusal = book::text::fieldCannotChange;
  else if ((is("DataDaContabilizacao") || is("NumeroDocumento")) &&
           journal_.field("Situacao").asString().toUpper() == "P")
    refusal = "Este campo não pode ser alterado. Documento já processado.";
  if (refusal.isEmpty()) return;
  ui_.message(refusal);
  journal_.cancel();
}

} // namespace esc
