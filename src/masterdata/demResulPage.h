#pragma once
#include "ui/maintenancePage.h"
#include "ui/pageParts.h"

namespace esc {

// "Cadastros" / "Dem.Res.": the lines of the income statement.
class DemResulPage : public MaintenancePage {
  Q_OBJECT
public:
  DemResulPage(MainContext& ctx, QWidget* parent = nullptr);
  EditingButtons buttons_;
};

} // namespace esc
