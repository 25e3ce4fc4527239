#pragma once
#include "reportDialog.h"
#include "reports/engine/registry.h"

#include <QHash>
#include <functional>

class QLineEdit;
class QCheckBox;
class QButtonGroup;
class QPushButton;

namespace esc::report {

// The parameter dialog every report with fields shares: fixed size, centred on the screen,
// modal, without window buttons, headed "Seleção de Parâmetros"; a panel of fields ("De" ...
// "até:" for ranges), check boxes and the order group, built from a DialogForm; and the
// three buttons "&Vídeo", "&Impressora" and "&Encerrar" (the cancel button, so Escape closes
// it too). Each click of the first two runs the report from the fields as they stand and
// leaves the dialog open. The preview windows it opens are its own windows while it is open,
// so that both stay usable beside a modal dialog; when it closes they stay open on its parent.
class ParameterDialog : public ReportDialog {
  Q_OBJECT
public:
  // Runs the report; `dialog` is the parent for the windows the run opens.
  using Runner = std::function<void(const ParamValues& values, Output output, QWidget* dialog)>;
  ParameterDialog(const DialogForm& form, Runner runner, QWidget* parent = nullptr);

  ParamValues values() const;
  const DialogForm& form() const { return form_; }

private:
  DialogForm form_;
  Runner runner_;
  QHash<QString, QLineEdit*> edits_;
  QHash<QString, QCheckBox*> checks_;
  QButtonGroup* order_ = nullptr; // a button's id is its item's index in the form
};

} // namespace esc::report
