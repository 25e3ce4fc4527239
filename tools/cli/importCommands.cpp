#include "importCommands.h"

#include "journal/csvImport.h"
#include "journal/ofxImport.h"

#include <QFileInfo>

namespace esc::cli {

namespace {

// CONTA/CORRENTE as typed after --conta and --contrapartida.
std::pair<QString, QString> pairArgument(const Invocation& inv, const QString& option) {
  const QString text = inv.options.value(option);
  const QStringList parts = text.split('/');
  if (parts.size() != 2 || parts[0].trimmed().isEmpty() || parts[1].trimmed().isEmpty())
    throw UsageError{option + " deve ser CONTA/CORRENTE: " + text, inv.command};
  return {parts[0].trimmed(), parts[1].trimmed()};
}

} // namespace

bool isImport(const QString& command) {
  return command == "importar-lancamentos" || command == "importar-ofx";
}

void checkImportArguments(const Invocation& inv) {
  if (inv.options.contains("--ano")) yearArgument(inv.command, inv.options["--ano"]);
  if (!QFileInfo(inv.arguments.first()).isFile())
    throw UsageError{"arquivo não encontrado: " + inv.arguments.first(), inv.command};
  if (inv.command != "importar-ofx") return;
  for (const char* option : {"--conta", "--contrapartida", "--historico"})
    if (!inv.options.contains(option))
      throw UsageError{QStringLiteral("falta %1").arg(option), inv.command};
  pairArgument(inv, "--conta");
  pairArgument(inv, "--contrapartida");
}

OperationResult runImport(Database& db, const Invocation& inv, Progress& progress) {
  // Without --ano, the year of the file's first date: a script has no selected year.
  const QString year = inv.options.value("--ano");
  if (inv.command == "importar-lancamentos")
    return importCsvFile(db, year, inv.arguments.first(), progress);
  OfxImportOptions o;
  std::tie(o.account, o.current) = pairArgument(inv, "--conta");
  std::tie(o.counterAccount, o.counterCurrent) = pairArgument(inv, "--contrapartida");
  o.historico = inv.options.value("--historico");
  return importOfxFile(db, year, inv.arguments.first(), o, progress);
}

} // namespace esc::cli
