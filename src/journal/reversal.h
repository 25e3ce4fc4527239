#pragma once
#include "store/database.h"
#include "store/userPrompts.h"

#include <QDate>
#include <QString>
#include <optional>

namespace esc {

// Reversal (estorno): a processed document is never edited; it is undone by a new document
// whose entries are the original's with D and C swapped, same accounts, amounts and standard
// description, processed at once. The link between the two is kept in a table of the book's
// own inside the anchor file ESCRIVON.db (estornos), created with the first reversal; a book
// without it has reversed nothing.
//
// From the reversal's month on every account pair closes as it did before the original was
// processed; the months from the original's to the one before keep the original's effect.

struct ReversalResult {
  bool done = false;
  QString message;  // what is said: the refusal, or what was done
  QString document; // the reversing document's number, when done
  int entries = 0;  // entries of the reversing document
};

// The reversing document's complementary text: "ESTORNO DOC " + the original's number + " "
// + the original's text, cut to the field's width.
QString reversalComplement(const QString& document, const QString& complement);

// The document that reversed `document`, or the one `document` reverses; nothing when none.
std::optional<QString> reversingDocument(Database& db, const QString& document);
std::optional<QString> reversedDocument(Database& db, const QString& document);

// Why `document` cannot be reversed in fiscal year `year`, whatever the date: no year, no
// entries, not of the year, not processed, a reversal itself, reversed already. Reads only.
std::optional<QString> reversalRefusal(Database& db, const QString& year, const QString& document);

// The date offered for the reversal: today, brought inside the year and not before the
// original's date. Invalid when the document has no entries.
QDate defaultReversalDate(Database& db, const QString& year, const QString& document,
                          const QDate& today);

// Reverses `document` on `date`: in one transaction, creates the next document number with the
// opposite entries, processes it (DocumentProcessing) and records the link. Refused, with
// nothing written, for the reasons of reversalRefusal and for a date outside the year or
// before the original's. Store failures throw StoreError after the transaction rolled back.
ReversalResult reverseDocument(Database& db, const QString& year, const QString& document,
                               const QDate& date, Progress& progress);

} // namespace esc
