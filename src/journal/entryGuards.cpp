#include "entryGuards.h"

#include "book/texts.h"
#include "store/formats.h"

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

QString documentNumber(const QString& typed) {
  const QString number = fmt::trimRight(typed);
  if (number.isEmpty() || number.size() >= 5) return typed;
  for (const QChar c : number)
    if (c < u'0' || c > u'9') return typed;
  return number.rightJustified(5, '0');
}

bool usableDocumentNumber(const QString& number) {
  const QString n = fmt::trimRight(number);
  return !n.isEmpty() && !n.contains(' ') && !n.contains('\'');
}

QString invalidDocumentNumber(const QString& typed) {
  return "'" + typed + "' não é um número de documento válido.";
}

std::optional<QString> pairLevel(Database& db, const QString& pair) {
  const auto rows =
      db.select("SELECT NivelDaConta FROM contas WHERE CodCtaConCodCtaCor = ? "
                "ORDER BY CodigoContaContabil, NomeContaContabil, CodigoContaCorrente, "
                "NomeContaCorrente, rowid LIMIT 1",
                {fmt::trimRight(pair)});
  if (rows.isEmpty()) return std::nullopt;
  return rows.first().value(0).toString();
}

bool historicoExists(Database& db, const QString& code) {
  return !db.select("SELECT 1 FROM historic WHERE CodigoHistorico = ? LIMIT 1",
                    {fmt::trimRight(code)})
              .isEmpty();
}

} // namespace esc
