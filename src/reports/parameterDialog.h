#pragma once
#include "registry.h"

#include <QDialog>
#include <QHash>
#include <functional>

class QLineEdit;
class QCheckBox;
class QRadioButton;
class QPushButton;

namespace esc::report {

// The parameter dialog every report with fields shares: fixed size, centred on the screen,
// modal, without window buttons, headed "Seleção de Parâmetros"; a panel of fields ("De" ...
// "até:" for ranges), check boxes and the order group, built from a DialogSpec; and the
// three buttons "&Vídeo", "&Impressora" and "&Encerrar" (the cancel button, so Escape closes
// it too). Each click of the first two runs the report from the fields as they stand and
// leaves the dialog open.
class ParameterDialog : public QDialog {
  Q_OBJECT
public:
  using Runner = std::function<void(const ParamValues& values, Output output)>;
  ParameterDialog(const DialogSpec& spec, Runner runner, QWidget* parent = nullptr);

  ParamValues values() const;
  const DialogSpec& spec() const { return spec_; }

protected:
  void showEvent(QShowEvent* e) override;

private:
  DialogSpec spec_;
  Runner runner_;
  QHash<QString, QLineEdit*> edits_;
  QHash<QString, QCheckBox*> checks_;
  QVector<QRadioButton*> items_;
};

} // namespace esc::report
