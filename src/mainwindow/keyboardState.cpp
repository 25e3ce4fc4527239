#include "keyboardState.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <X11/XKBlib.h>

namespace esc {

std::optional<LockKeys> readLockKeys() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->display()) return std::nullopt;
  unsigned int state = 0;
  if (XkbGetIndicatorState(x11->display(), XkbUseCoreKbd, &state) != Success) return std::nullopt;
  LockKeys k;
  k.caps = state & 0x01;
  k.num = state & 0x02;
  k.scroll = state & 0x04;
  return k;
}

} // namespace esc
