#pragma once
#include "entryChecks.h"
#include "store/database.h"
#include "store/operationResult.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

namespace esc {

class Table;

// What the checks of one document found, before anything is asked or written.
struct DocumentCheck {
  QString document;
  QVector<DocumentEntry> entries; // in journal order, the order they are posted in
  QString refusal;                // the system's text; empty when the document may be processed
  qint64 refusedEntry = 0;        // the entry the checks stopped at; 0 for the whole document
  int accountsLookedUp = 0;       // entries whose account pair was looked up in the chart
  // Whether every entry passed its own checks, so that the totals below are the document's.
  bool totalsKnown = false;
  double debits = 0.0; // ten-thousandths
  double credits = 0.0;
  bool passed() const { return refusal.isEmpty(); }
};

struct ProcessingRefusal {
  QString document;
  QString text;     // the system's own message
  qint64 entry = 0; // the entry at fault; 0 when the text is about the whole document
};

// What a run did. Not an OperationResult: a batch is refused for every document at fault at
// once, each with its own text.
struct ProcessingResult {
  int documents = 0;                   // processed
  int entries = 0;                     // posted
  QVector<ProcessingRefusal> refusals; // one a refused document, in the order given
  bool isDone() const { return refusals.isEmpty(); }
};

// Processing documents: each entry's amount moves into the trial balance of the year and the
// running balances of its account pair are rewritten; the entries are marked "P". It asks
// nothing and shows nothing: the caller gets the refusals' texts or the figures of what was done.
//
// A batch is all or nothing, in three stages inside one transaction. Reading checks every
// document (its entries, then the trial-balance rows they post to) and reads the month rows and
// journal entries of each pair posted to; a refusal of any document stops there. Computing moves
// every amount into its month rows, pair by pair, and walks each pair's running balances once
// for the whole batch (posting::postPair). Writing marks the entries and writes what changed:
// the rows left are those of processing the documents one after another in the order given.
class DocumentProcessing {
public:
  DocumentProcessing(Database& db, const QString& year) : db_(db), year_(year) {}

  // The checks of one document that "&Processar" makes before asking, in their order; the first
  // failure is the refusal. Reads only.
  DocumentCheck check(const QString& document);
  // Every failure of the checks of `document`, those of processing it included once the others
  // pass, for a caller that reports them all. Reads only.
  QVector<EntryFailure> failures(const QString& document);

  // Checks and posts `documents` in one transaction. Store failures throw StoreError (and then
  // nothing is written). `progress` counts the entries posted.
  ProcessingResult run(const QStringList& documents, Progress& progress);

  // Whether the entry of `rowId`, or any entry of `document`, is processed ("P"), as the files
  // hold it now rather than as a cursor last read it.
  static bool entryProcessed(Database& db, qint64 rowId);
  static bool documentProcessed(Database& db, const QString& document);
  // Deletes the journal's current entry unless it is processed, checking its status again in
  // the transaction that deletes it. False, with nothing deleted, for a processed entry.
  static bool removeEntry(Table& journal);

private:
  struct Pair;
  QVector<DocumentEntry> readEntries(const QString& document);
  DocumentCheck checkDocument(const QString& document);
  std::optional<EntryFailure> postingFailure(const DocumentCheck& check);
  Pair& pair(const DocumentEntry& e);

  Database& db_;
  QString year_;
  // Read once a run: the chart's levels and January's rows the checks look up, the month rows
  // of each pair posted to.
  BookLookups lookups_{db_};
  QHash<QString, std::shared_ptr<Pair>> pairs_;
};

} // namespace esc
