#include "reportDialog.h"

#include "previewWindow.h"

#include <QScreen>

namespace esc::report {

ReportDialog::ReportDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setModal(true);
}

void ReportDialog::done(int result) {
  for (auto* w : findChildren<PreviewWindow*>(Qt::FindDirectChildrenOnly)) {
    const Qt::WindowStates state = w->windowState();
    w->setParent(parentWidget(), Qt::Window);
    w->setWindowState(state);
    w->show();
  }
  QDialog::done(result);
}

void ReportDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

} // namespace esc::report
