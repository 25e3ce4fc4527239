#pragma once
#include "ui/dbEdit.h"
#include "ui/dbLookupCombo.h"
#include "ui/maintenancePage.h"

namespace esc {

// "Cadastros" / "Lançamentos": one journal entry at a time, the current entry of the journal
// view the "Documentos" page and the entry list share. Entries are corrected, deleted,
// duplicated and searched here; new documents are typed on "Documentos".
class LancamentosPage : public MaintenancePage {
  Q_OBJECT
public:
  LancamentosPage(MainContext& ctx, QWidget* parent = nullptr);

  void gravar();
  void cancelar();
  void eliminar();
  void duplicar();
  void buscar();
  void filtrar();

private:
  Table& journal() const { return *ctx_.dm().TbLancamen; }
  DBEdit* edit(const QString& name, const QString& field);
  DBLookupCombo* picker(const QString& name, const QString& lookupField, Table* list);
  // Restricts the chart to the entry's account while a current-account picker has the focus.
  void restrictChart(QWidget* picker);

  DBEdit *codCtaCon_, *codCtaCor_, *codHist_, *histComp_, *dc_, *data_, *documento_, *valor_,
      *situacao_;
  QPushButton* cancelar_;
};

} // namespace esc
