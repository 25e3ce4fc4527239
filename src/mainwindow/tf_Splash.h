#pragma once
#include <QFrame>

namespace esc {

// Shown while the data module and the main window are built.
class TF_Splash : public QFrame {
  Q_OBJECT
public:
  TF_Splash();
};

} // namespace esc
