#include "application.h"

#include "store/database.h"

#include <QPointer>
#include <QWidget>

namespace esc {

namespace {

bool isUserInput(QEvent::Type t) {
  switch (t) {
  case QEvent::MouseButtonPress:
  case QEvent::MouseButtonRelease:
  case QEvent::MouseButtonDblClick:
  case QEvent::KeyPress:
  case QEvent::KeyRelease:
  case QEvent::Shortcut:
  case QEvent::ShortcutOverride:
  case QEvent::Wheel:
  case QEvent::ContextMenu:
  case QEvent::TouchBegin:
  case QEvent::TouchUpdate:
  case QEvent::TouchEnd:
    return true;
  default:
    return false;
  }
}

bool within(const QWidget* w, const QWidget* top) {
  return top && w && (w == top || top->isAncestorOf(w));
}

} // namespace

bool Application::admitsInput(QObject* receiver, QEvent* event) {
  if (Database::openTransactions() == 0 || !isUserInput(event->type())) return true;
  auto* w = qobject_cast<QWidget*>(receiver);
  if (!w) return true; // the window's own dispatch; the widget it reaches is judged
  return within(w, activeModalWidget()) || within(w, activePopupWidget());
}

bool Application::notify(QObject* receiver, QEvent* event) {
  if (!admitsInput(receiver, event)) return true; // taken, and dropped
  try {
    return QApplication::notify(receiver, event);
  } catch (const StoreError& e) {
    // One box at a time: the box's own event loop may meet the same fault again.
    if (ui_ && !e.silent() && !reporting_) {
      reporting_ = true;
      ui_->error(e.message());
      reporting_ = false;
    }
    return false;
  }
}

void reportStoreError(const StoreError& error) {
  auto* app = dynamic_cast<Application*>(QCoreApplication::instance());
  if (!app || error.silent()) return;
  const QString text = error.message();
  QMetaObject::invokeMethod(
      app,
      [app, text] {
        if (app->ui()) app->ui()->error(text);
      },
      Qt::QueuedConnection);
}

} // namespace esc
