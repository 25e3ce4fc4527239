#pragma once
#include <QDialog>

namespace esc {

// "Sobre o Sistema": the system's name and version.
class TF_Sobre : public QDialog {
  Q_OBJECT
public:
  explicit TF_Sobre(QWidget* parent = nullptr);
};

} // namespace esc
