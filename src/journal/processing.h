#pragma once
#include "ui/mainContext.h"

#include <QString>
#include <functional>

namespace esc {

// "&Processar" on the "Documentos" page: checks the document the journal view is restricted
// to, asks for confirmation and posts its entries into the trial balance of the selected
// year, marking each "P". The document is either wholly processed or not at all: the posting
// run is one transaction, and a failure part-way (a missing month row, a store error) rolls
// back every movement, running balance and status of the document.
class DocumentProcessing {
public:
  explicit DocumentProcessing(MainContext& ctx) : ctx_(ctx) {}

  // Called with the debit and credit totals (general number form) once the checks have summed
  // them, so the page can show them in its total boxes.
  std::function<void(const QString& debits, const QString& credits)> showTotals;

  // True when the document was processed. Does nothing while an entry is being edited. A
  // store error is shown as an error box and leaves the document as it was.
  bool run();

  // Whether the entry of `rowId`, or any entry of `document`, is processed ("P"), as the files
  // hold it now rather than as a cursor last read it.
  static bool entryProcessed(Database& db, qint64 rowId);
  static bool documentProcessed(Database& db, const QString& document);
  // Deletes the journal's current entry unless it is processed, checking its status again in
  // the transaction that deletes it. False, with nothing deleted, for a processed entry.
  static bool removeEntry(Table& journal);

  // The debit or credit total of a document: each amount is taken in ten-thousandths and the
  // running sum rounded to a whole number of them, so totals compare exactly.
  static double addToTotal(double total, double amount);
  // A total in ten-thousandths as the total boxes show it (general number form).
  static QString totalText(double total);

private:
  bool validate();
  bool post();

  MainContext& ctx_;
  int entryCount_ = 0;
};

} // namespace esc
