#pragma once
#include "ui/dbEdit.h"
#include "ui/maintenancePage.h"
#include "ui/pageParts.h"

namespace esc {

// "Cadastros" / "Dem.Res.": the lines of the income statement. The page edits only the
// definitions (position, account range, name, sign); the statement update fills the amounts.
class DemResulPage : public MaintenancePage {
  Q_OBJECT
public:
  DemResulPage(MainContext& ctx, QWidget* parent = nullptr);

  void inserir();
  void gravar();
  void cancelar();
  void eliminar();
  void duplicar();
  void buscar();

  EditingButtons buttons_;

private:
  Table& table() const { return *ctx_.dm().TbDemResul; }
  QString refusal() const;

  DBEdit* first_;
  DBEdit* last_;
  DBEdit* name_;
  DBEdit* sign_;
  DBEdit* balance_;
  DBEdit* order_;
  DBEdit* accumulated_;
  DBEdit* period_;
};

} // namespace esc
