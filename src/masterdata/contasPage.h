#pragma once
#include "ui/maintenancePage.h"
#include "ui/pageParts.h"

namespace esc {

// "Cadastros" / "Contas": the chart of accounts.
class ContasPage : public MaintenancePage {
  Q_OBJECT
public:
  ContasPage(MainContext& ctx, QWidget* parent = nullptr);
  EditingButtons buttons_;
};

} // namespace esc
