#pragma once
#include "ui/mainContext.h"

#include <QWidget>

namespace esc {

// "Relatórios": the report buttons, each opening its parameter dialog or its preview.
class RelatoriosPage : public QWidget {
  Q_OBJECT
public:
  RelatoriosPage(MainContext& ctx, QWidget* parent = nullptr);

private:
  MainContext& ctx_;
};

} // namespace esc
