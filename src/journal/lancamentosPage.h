#pragma once
#include "ui/maintenancePage.h"

namespace esc {

// "Cadastros" / "Lançamentos": one journal entry at a time.
class LancamentosPage : public MaintenancePage {
  Q_OBJECT
public:
  LancamentosPage(MainContext& ctx, QWidget* parent = nullptr);
};

} // namespace esc
