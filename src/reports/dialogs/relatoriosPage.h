#pragma once
#include "ui/mainContext.h"

#include <QPointer>
#include <QWidget>

namespace esc {

namespace report {
class ParameterDialog;
}

// "Relatórios": the report buttons in their group boxes, each opening its parameter dialog
// or previewing its report at once. None is ever disabled.
class RelatoriosPage : public QWidget {
  Q_OBJECT
public:
  RelatoriosPage(MainContext& ctx, QWidget* parent = nullptr);

  // What a click on `button` does; returns the dialog it opened, if any.
  report::ParameterDialog* activate(const QString& button);

private:
  MainContext& ctx_;
};

inline const QString reportNotAvailableMessage = QStringLiteral("Relatório ainda não disponível.");

} // namespace esc
