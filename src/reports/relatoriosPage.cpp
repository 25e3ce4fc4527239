#include "relatoriosPage.h"

#include "ui/pageParts.h"

#include <QVBoxLayout>

namespace esc {

RelatoriosPage::RelatoriosPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("PaginaRelatorios");
  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, "Relatórios"));
  col->addStretch();
}

} // namespace esc
