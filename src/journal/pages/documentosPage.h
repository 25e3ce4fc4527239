#pragma once
#include "ofxImportDialog.h"
#include "ui/dbEdit.h"
#include "ui/dbGrid.h"
#include "ui/dbLookupCombo.h"
#include "ui/maintenancePage.h"

#include <QLineEdit>
#include <functional>

namespace esc {

// The debit and credit totals of the journal view, each kept in fixed point with four
// decimals (every amount taken as a whole number of ten-thousandths), so that a document
// balances exactly when its totals are equal.
struct DocumentTotals {
  __int128 debits = 0;  // ten-thousandths
  __int128 credits = 0; // ten-thousandths
  // General number form: "300,3", no grouping, no trailing zeros.
  QString debitText() const;
  QString creditText() const;
};
// Sums the saved entries the journal's view holds (its document filter, when on), whatever
// entry is current; one pass over the rows, in SQL.
DocumentTotals documentTotals(Table& journal);

// "&Processar": checks the document the journal view is restricted to, shows its totals
// (`showTotals`, general number form), asks for confirmation and processes it, saying how it
// went. Does nothing while an entry is being edited. True when the document was processed.
bool processChosenDocument(
    MainContext& ctx,
    const std::function<void(const QString& debits, const QString& credits)>& showTotals);

// "Cadastros" / "Documentos": a document's entries typed one by one, with the running totals
// of its debits and credits, until it is processed.
class DocumentosPage : public MaintenancePage {
  Q_OBJECT
public:
  DocumentosPage(MainContext& ctx, QWidget* parent = nullptr);

  void incluir();
  void gravar();
  void cancelar();
  void filtrar();
  void processar();
  // "&Estornar": reverses the processed document the journal is on, on a date asked for,
  // then shows the reversing document.
  void estornar();

  // Entries from a spreadsheet (CSV) or a bank statement (OFX) become new documents; the first
  // of them is then chosen, as Filtrar chooses one.
  void importarPlanilha();
  void importarExtrato();

  // Where the imports ask their file and choices: a file dialog and OfxImportDialog unless a
  // test says otherwise. An empty path, or nullopt, is a cancel.
  std::function<QString()> chooseSpreadsheet;
  std::function<std::optional<OfxImportChoice>()> askStatement;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  Table& journal() const { return *ctx_.dm().TbLancamen; }
  DBLookupCombo* picker(const QString& name, const QString& lookupField, Table* list,
                        const QString& hint);
  void showTotals();
  // The highest document number of the journal view ("" when it has none); leaves the
  // journal in its primary order on the entry it was on.
  QString highestDocument();
  // Whether the document box holds a number the journal can be filtered by, completed with
  // zeros as every number is shown; otherwise says so and gives false.
  bool usableDocument();
  void dateBoxClicked();
  void documentBoxClicked();
  void showImported(const OperationResult& result);

  DBLookupCombo *ctaCon_, *contabil_, *corrente_, *codHis_, *historic_;
  DBEdit *compl_, *dc_, *valor_, *situacao_, *numDoc_;
  QLineEdit *dataLancto_, *numDocto_, *totCred_, *totDeb_;
  DBGrid* grid_;
  QPushButton *processar_, *cancelar_;
};

} // namespace esc
