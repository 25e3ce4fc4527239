#pragma once
#include "ui/dbEdit.h"
#include "ui/maintenancePage.h"

#include <QPushButton>

namespace esc {

// "Cadastros" / "Organização": the organization record the reports print in their headings.
// Read-only until the access code unlocks it; Gravar or Cancelar lock it again.
class OrganizacaoPage : public MaintenancePage {
  Q_OBJECT
public:
  OrganizacaoPage(MainContext& ctx, QWidget* parent = nullptr);

  void alterar();
  void gravar();
  void cancelar();

  bool isLocked() const { return alterar_->isEnabled(); }

  // "Dados para o SPED": the window opens the dialog, which belongs to the year's routines.
  QPushButton* dadosSped;

signals:
  void spedDataRequested();

private:
  Table& table() const { return *ctx_.dm().TbCabecalh; }
  void setLocked(bool locked);

  QVector<DBEdit*> boxes_;
  QPushButton* alterar_;
  QPushButton* gravar_;
  QPushButton* cancelar_;
};

} // namespace esc
