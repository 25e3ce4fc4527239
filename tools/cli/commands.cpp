#include "commands.h"

#include "importCommands.h"
#include "journal/documentProcessing.h"
#include "journal/entryChecks.h"
#include "journalCommands.h"
#include "listings.h"
#include "period/backupCopy.h"
#include "period/balanceSheetUpdate.h"
#include "period/bookCheck.h"
#include "period/carryForward.h"
#include "period/ecdExport.h"
#include "period/incomeStatementUpdate.h"
#include "period/spedData.h"
#include "period/syntheticUpdate.h"
#include "period/yearOpening.h"
#include "period/yearState.h"
#include "spedCommands.h"
#include "sqlCommand.h"
#include "store/dataModule.h"
#include "store/storeerror.h"
#include "terminal.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace esc::cli {

namespace {

// The book, open for the run of one command: a command that writes holds the book's lock, as
// a running Escrivon does, and one that only reads opens every file read-only, creating
// nothing, as escrivon-report does.
class Book {
public:
  Book(const QString& directory, bool writes) : dm_(ui_) {
    const QString dir = directory_ = QFileInfo(directory).absoluteFilePath();
    if (!QFileInfo(dir).isDir()) throw StoreError("Diretório de dados " + dir + " não existe.");
    // Said before the lock file would be left in a directory that is no book.
    QStringList missing;
    for (const Table* t : dm_.tables())
      if (!QFileInfo(QDir(dir).filePath(t->def().fileName)).isFile()) missing << t->def().fileName;
    if (!missing.isEmpty())
      throw StoreError(QStringLiteral("%1 não é um diretório de dados do Escrivon: não contém %2.")
                           .arg(QDir::toNativeSeparators(dir), missing.join(", ")));
    if (writes) dm_.lockDirectory(dir);
    dm_.connectDirectory(dir, writes ? Database::Access::ReadWrite : Database::Access::ReadOnly);
    for (Table* t : dm_.tables())
      t->open();
  }
  const QString& directory() const { return directory_; }
  TDEscrivon& dm() { return dm_; }
  Database& db() { return dm_.database(); }
  ConsoleUi& ui() { return ui_; }

  // Says how an operation ended; the exit status.
  int finish(const OperationResult& r) {
    ui_.progress().reset();
    ui_.message(r.message());
    return r.isDone() ? 0 : 1;
  }

private:
  ConsoleUi ui_;
  TDEscrivon dm_;
  QString directory_;
};

int processar(Book& book, const Invocation& inv) {
  Database& db = book.db();
  const bool all = inv.flags.contains("--todos");
  QString year = inv.options.value("--ano");
  QStringList documents;
  QStringList years;
  if (all) {
    for (const QVariantList& r :
         db.select("SELECT DISTINCT NumeroDocumento FROM lancamen WHERE Situacao <> 'P' AND "
                   "(?1 = '' OR substr(AnoContasMesDia, 1, 4) = ?1) ORDER BY NumeroDocumento",
                   {year}))
      documents << r[0].toString();
    if (year.isEmpty())
      for (const QVariantList& r :
           db.select("SELECT DISTINCT substr(AnoContasMesDia, 1, 4) FROM lancamen "
                     "WHERE Situacao <> 'P' ORDER BY 1"))
        years << r[0].toString();
  } else {
    for (const QString& typed : inv.arguments) {
      const QString document = documentNumber(typed);
      if (!documents.contains(document)) documents << document;
      if (year.isEmpty())
        for (const QVariantList& r :
             db.select("SELECT DISTINCT substr(AnoContasMesDia, 1, 4) FROM lancamen "
                       "WHERE NumeroDocumento = ?",
                       {document}))
          if (!years.contains(r[0].toString())) years << r[0].toString();
    }
  }
  if (year.isEmpty()) {
    if (years.size() > 1)
      throw UsageError{"os documentos são de mais de um exercício (" + years.join(", ") +
                           "); informe --ano",
                       "processar"};
    if (!years.isEmpty()) year = years.first();
  }
  if (documents.isEmpty()) {
    book.ui().message(QStringLiteral("Não há documentos a processar."));
    return 0;
  }
  const ProcessingResult r = DocumentProcessing(db, year).run(documents, book.ui().progress());
  book.ui().progress().reset();
  for (const ProcessingRefusal& refusal : r.refusals)
    book.ui().message("Documento " + refusal.document + ": " + refusal.text);
  if (!r.isDone()) return 1;
  book.ui().message(QStringLiteral("Processamento concluído com sucesso: %1 documento(s), %2 "
                                   "lançamento(s).")
                        .arg(r.documents)
                        .arg(r.entries));
  return 0;
}

int verificar(Book& book) {
  const BookCheck check = checkBook(book.db(), book.ui().progress());
  book.ui().progress().reset();
  QTextStream out(stdout);
  const int shown = 50;
  for (int i = 0; i < check.faults.size() && i < shown; ++i)
    out << "FALHA: " << check.faults[i].text << "\n";
  if (check.faults.size() > shown)
    out << "... e mais " << check.faults.size() - shown << " falha(s).\n";
  for (const BookFinding& w : check.warnings)
    out << "AVISO: " << w.text << "\n";
  out << check.checks << " verificações, " << check.faults.size() << " falhas, "
      << check.warnings.size() << " avisos\n";
  return check.faults.isEmpty() ? 0 : 1;
}

int listar(Book& book, const Invocation& inv) {
  QTextStream out(stdout);
  out.setEncoding(QStringConverter::Utf8);
  if (inv.arguments.first() == panelListing) {
    writePanelListing(book.db(), inv.arguments.at(1), inv.flags.contains("--csv"), out);
    return 0;
  }
  writeListing(book.db(), inv.arguments.first(), inv.options.value("--periodo"),
               inv.flags.contains("--csv"), out);
  return 0;
}

int dadosSped(Book& book, const Invocation& inv) {
  SpedData data = loadSpedData(book.db());
  if (inv.arguments.isEmpty()) {
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    writeSpedData(data, out);
    return 0;
  }
  applySpedAssignments(data, inv.arguments);
  return book.finish(saveSpedData(book.db(), data));
}

} // namespace

QString dataDirectory(const Invocation& inv) {
  if (!inv.dataDir.isEmpty()) return inv.dataDir;
  const QString fromEnvironment = qEnvironmentVariable("ESCRIVON_DATA");
  return fromEnvironment.isEmpty() ? TDEscrivon::defaultDirectory() : fromEnvironment;
}

int runCommand(const Invocation& inv) {
  const QString& c = inv.command;
  // Arguments are checked before the book is opened, so a bad line touches nothing.
  QString year, period;
  if (c == "sinteticas" || c == "abrir" || c == "retranspor" || c == "fechar" || c == "reabrir" ||
      c == "balanco")
    year = yearArgument(c, inv.arguments.first());
  if (c == "demonstracao") period = periodArgument(c, inv.arguments.first());
  if (c == "ecd") {
    year = yearArgument(c, inv.arguments.first());
    if (inv.options.value("-o").isEmpty()) throw UsageError{"falta o arquivo (-o ARQUIVO)", c};
  }
  if (c == "processar") {
    const bool all = inv.flags.contains("--todos");
    if (all == !inv.arguments.isEmpty())
      throw UsageError{all ? "--todos não leva números de documento" : "faltam os documentos", c};
    if (inv.options.contains("--ano")) yearArgument(c, inv.options["--ano"]);
  }
  if (isImport(c)) checkImportArguments(inv);
  if (c == "listar") {
    const QString what = inv.arguments.first();
    if (!isListing(what)) throw UsageError{"listagem desconhecida: " + what, c};
    if (what == panelListing) {
      if (inv.arguments.size() < 2) throw UsageError{"falta o exercício (AAAA)", c};
      yearArgument(c, inv.arguments.at(1));
    } else if (inv.arguments.size() > 1) {
      throw UsageError{"argumentos demais", c};
    }
    if (inv.options.contains("--periodo")) {
      if (!listingTakesPeriod(what))
        throw UsageError{"--periodo vale só para lancamentos e balancete", c};
      periodArgument(c, inv.options["--periodo"]);
    }
  }
  if (isJournalCommand(c)) checkJournalArguments(inv);

  const bool reads = c == "listar" || c == "verificar" || c == "ecd" || c == "sql" ||
                     (c == "dados-sped" && inv.arguments.isEmpty()) || journalCommandReads(c);
  Book book(dataDirectory(inv), !reads);
  Database& db = book.db();
  Progress& progress = book.ui().progress();
  if (c == "processar") return processar(book, inv);
  if (isJournalCommand(c)) return runJournalCommand(db, book.ui(), inv);
  if (c == "listar") return listar(book, inv);
  if (c == "verificar") return verificar(book);
  if (c == "sql") return runSql(db, inv.arguments.first(), inv.flags.contains("--csv"));
  if (c == "dados-sped") return dadosSped(book, inv);
  if (isImport(c)) return book.finish(runImport(db, inv, progress));
  if (c == "ecd") return book.finish(exportEcd(db, year, inv.options.value("-o"), progress));
  if (c == "sinteticas") return book.finish(syntheticUpdate(db, year, progress));
  if (c == "abrir") return book.finish(openNextYear(db, year, progress));
  if (c == "retranspor") {
    if (const auto refusal = carryForwardRefusal(db, year)) return book.finish(*refusal);
    return book.finish(carryForward(db, year, progress));
  }
  if (c == "fechar" || c == "reabrir") {
    const YearChange change = c == "fechar" ? YearChange::Close : YearChange::Reopen;
    if (const auto refusal = yearChangeRefusal(db, year, change)) return book.finish(*refusal);
    return book.finish(changeYearState(db, year, change));
  }
  if (c == "demonstracao") return book.finish(updateIncomeStatement(db, period, progress));
  if (c == "balanco") return book.finish(updateBalanceSheet(db, year, progress));
  if (c == "copia") {
    // The destination is a directory, said with or without its final "/".
    QString destination = inv.arguments.first();
    if (!destination.endsWith('/')) destination += '/';
    const BackupVolumes volumes;
    if (const auto refusal = backupRefusal(book.directory(), destination, volumes))
      return book.finish(*refusal);
    return book.finish(copyBook(book.directory(), destination, progress, &volumes));
  }
  throw UsageError{"comando desconhecido: " + c, {}};
}

} // namespace esc::cli
