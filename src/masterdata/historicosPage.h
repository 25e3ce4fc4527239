#pragma once
#include "ui/dbEdit.h"
#include "ui/maintenancePage.h"
#include "ui/pageParts.h"

namespace esc {

// "Cadastros" / "Históricos": the standard descriptions entries refer to by code. A
// description an entry uses cannot be deleted, and a saved description keeps its code.
class HistoricosPage : public MaintenancePage {
  Q_OBJECT
public:
  HistoricosPage(MainContext& ctx, QWidget* parent = nullptr);

  void inserir();
  void gravar();
  void cancelar();
  void eliminar();
  void duplicar();
  void buscar();

private:
  Table& table() const { return *ctx_.dm().TbHistoric; }
  void protectSavedCode();

  DBEdit* code_;
  DBEdit* name_;
  EditingButtons buttons_;
};

} // namespace esc
