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
