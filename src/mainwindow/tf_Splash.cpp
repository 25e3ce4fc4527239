#include "tf_Splash.h"

#include "ui/logo.h"

#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

namespace esc {

TF_Splash::TF_Splash()
    : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("F_Splash");
  setFixedSize(412, 268);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);
  outer->addWidget(panel);
  auto* col = new QVBoxLayout(panel);
  auto label = [panel, col](const QString& text, const QString& style) {
    auto* l = new QLabel(text, panel);
    l->setAlignment(Qt::AlignCenter);
    l->setStyleSheet(style);
    col->addWidget(l);
    return l;
  };
  label("Escrivon", "color: #0000c0; font-size: 30pt; font-weight: bold;");
  auto* picture = new QLabel(panel);
  picture->setPixmap(escrivonLogo(72));
  picture->setAlignment(Qt::AlignCenter);
  col->addWidget(picture);
  label("Sistema de Gerenciamento Contábil", "font-weight: bold; font-style: italic;");
  label("Aguarde a carga do sistema...", "color: #0000c0; font-weight: bold;");
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

} // namespace esc
