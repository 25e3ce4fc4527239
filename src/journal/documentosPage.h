#pragma once
#include "ui/maintenancePage.h"

#include <QLineEdit>

namespace esc {

// "Cadastros" / "Documentos": a document's entries typed one by one, with its totals.
class DocumentosPage : public MaintenancePage {
  Q_OBJECT
public:
  DocumentosPage(MainContext& ctx, QWidget* parent = nullptr);
};

} // namespace esc
