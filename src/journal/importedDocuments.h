#pragma once
#include "journal/entryChecks.h"
#include "store/operationResult.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace esc {

class Database;

// An entry an import brings in, as it will be saved: its fields as typed into the journal.
struct NewEntry {
  int source = 0; // the line or transaction it comes from, for what is said of it
  QString account;
  QString current;
  QString historico;
  QString type; // "D" or "C", upper-cased
  QString complement;
  QString dateText; // the date as the import read it, for the checks and their messages
  std::optional<QDate> date;
  double amount = 0.0;
};

// A document to be: its entries in the order they are written.
using NewDocument = QVector<NewEntry>;

// Entries brought in from outside become new, unprocessed documents. Every entry meets the
// checks "&Gravar" makes on one typed in the journal, and the date's year is the selected
// year's; every document meets the checks processing makes before it posts (one date, each
// pair with its year, debits equal to credits), so that it can be processed as it stands.
// Documents are numbered after the highest number in the journal and written in one
// transaction: an import is whole or absent.
class ImportedDocuments {
public:
  // `year`: the selected fiscal year, under which the entries are keyed.
  ImportedDocuments(Database& db, const QString& year);

  // The checks of one entry, each failure with its own message, in the checks' order; its
  // `entry` is the entry's source.
  QVector<EntryFailure> entryFailures(const NewEntry& entry);
  // The checks of a document whose entries passed theirs. A failure of one entry names its
  // source; one of the whole document (its totals) names none (0).
  QVector<EntryFailure> documentFailures(const NewDocument& document);

  // Writes `documents` (already checked), numbered after the highest number in the journal.
  // Refused when that number is no whole number or the new ones would not fit in five digits.
  // Done: the figures "documentos", "lancamentos", "primeiro" and "ultimo" (the first and last
  // new number), and a message saying them.
  OperationResult write(const QVector<NewDocument>& documents, Progress& progress);

  const QString& year() const { return year_; }

private:
  Database& db_;
  QString year_;
  BookLookups lookups_;
};

// Text of a file from outside: UTF-8 when it reads as such (a byte-order mark is dropped),
// otherwise Windows-1252, the code page spreadsheets and banks in Brazil write.
QString decodeImportedText(const QByteArray& bytes);

// "1 documento", "3 documentos": a count with its noun, singular or plural.
QString counted(qint64 n, const QString& singular, const QString& plural);

} // namespace esc
