#pragma once
#include "ui/dbEdit.h"
#include "ui/maintenancePage.h"
#include "ui/pageParts.h"

namespace esc {

// "Cadastros" / "Contas": the chart of accounts. Saving an account also gives it the twelve
// trial-balance rows of the selected fiscal year, and deleting one removes the rows of every
// year; both happen whole or not at all. Of a saved account only the names can change.
class ContasPage : public MaintenancePage {
  Q_OBJECT
public:
  ContasPage(MainContext& ctx, QWidget* parent = nullptr);

  void inserir();
  void gravar();
  void cancelar();
  void eliminar();
  void duplicar();
  void buscar();

  EditingButtons buttons_;

private:
  Table& table() const { return *ctx_.dm().TbContas; }
  bool yearIsOpen();
  QString refusal() const;
  void createTrialBalanceRows(const QString& year);
  void protectSaved(const QString& message);

  DBEdit* code_;
  DBEdit* name_;
  DBEdit* current_;
  DBEdit* currentName_;
  DBEdit* side_;
  DBEdit* level_;
};

} // namespace esc
