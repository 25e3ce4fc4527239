#pragma once
#include "ui/mainContext.h"

#include <QString>
#include <functional>

namespace esc {

// "&Processar" on the "Documentos" page: checks the document the journal view is restricted
// to, asks for confirmation and posts its entries into the trial balance of the selected
// year, marking each "P". The document is either wholly processed or not at all.
class DocumentProcessing {
public:
  explicit DocumentProcessing(MainContext& ctx) : ctx_(ctx) {}

  // Called with the debit and credit totals (general number form) once the checks have summed
  // them, so the page can show them in its total boxes.
  std::function<void(const QString& debits, const QString& credits)> showTotals;

  // True when the document was processed.
  bool run();

private:
  MainContext& ctx_;
};

} // namespace esc
