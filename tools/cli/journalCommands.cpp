#include "journalCommands.h"

#include "journal/entryChecks.h"
#include "journal/reversal.h"
#include "period/hledgerExport.h"
#include "store/formats.h"

#include <QDate>

namespace esc::cli {

namespace {

std::optional<QDate> dateOption(const Invocation& inv) {
  if (!inv.options.contains("--data")) return std::nullopt;
  const QString text = inv.options.value("--data").trimmed();
  const auto date = fmt::parseDate(text);
  if (!date || !date->isValid() || text.size() != 10)
    throw UsageError{"data inválida (DD/MM/AAAA): " + text, inv.command};
  return date;
}

int estornar(Database& db, ConsoleUi& ui, const Invocation& inv) {
  const QString document = documentNumber(inv.arguments.first());
  const std::optional<QDate> given = dateOption(inv);
  // The fiscal year the document's entries were saved under, as processar takes it; a
  // document without entries is refused by the reversal itself, under any year.
  QString year = db.selectValue("SELECT substr(AnoContasMesDia, 1, 4) FROM lancamen "
                                "WHERE NumeroDocumento = ? ORDER BY rowid LIMIT 1",
                                {document})
                     .toString();
  if (year.isEmpty()) year = QString::number((given ? *given : QDate::currentDate()).year());
  const QDate date = given ? *given : defaultReversalDate(db, year, document, QDate::currentDate());
  const ReversalResult r = reverseDocument(db, year, document, date, ui.progress());
  ui.progress().reset();
  ui.message(r.message);
  return r.done ? 0 : 1;
}

} // namespace

bool isJournalCommand(const QString& command) {
  return command == "estornar" || command == "exportar-hledger";
}

bool journalCommandReads(const QString& command) {
  return command == "exportar-hledger";
}

void checkJournalArguments(const Invocation& inv) {
  if (inv.command == "estornar") dateOption(inv);
  if (inv.command == "exportar-hledger") {
    yearArgument(inv.command, inv.arguments.first());
    if (inv.options.value("-o").isEmpty())
      throw UsageError{"falta o arquivo (-o ARQUIVO)", inv.command};
  }
}

int runJournalCommand(Database& db, ConsoleUi& ui, const Invocation& inv) {
  if (inv.command == "estornar") return estornar(db, ui, inv);
  const OperationResult r =
      exportHledger(db, inv.arguments.first(), inv.options.value("-o"), ui.progress());
  ui.progress().reset();
  ui.message(r.message());
  return r.isDone() ? 0 : 1;
}

} // namespace esc::cli
