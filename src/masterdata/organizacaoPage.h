#pragma once
#include "ui/maintenancePage.h"

namespace esc {

// "Cadastros" / "Organização": the organization record, read-only until unlocked.
class OrganizacaoPage : public MaintenancePage {
  Q_OBJECT
public:
  OrganizacaoPage(MainContext& ctx, QWidget* parent = nullptr);
};

} // namespace esc
