#include "qtUi.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace esc {

namespace {
QString title() {
  return QApplication::applicationDisplayName();
}
} // namespace

void QtUi::message(const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, parent_);
  box.exec();
}

void QtUi::error(const QString& text) {
  QMessageBox box(QMessageBox::Critical, title(), text, QMessageBox::Ok, parent_);
  box.exec();
}

bool QtUi::confirm(const QString& text) {
  QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::NoButton, parent_);
  QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
  box.exec();
  return box.clickedButton() == yes;
}

std::optional<QString> QtUi::prompt(const QString& title, const QString& label,
                                    const QString& defaultAnswer) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(title);
  dialog.setLabelText(label);
  dialog.setTextValue(defaultAnswer);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Cancelar"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

void QtUi::setRange(int minimum, int maximum) {
  if (bar_) bar_->setRange(minimum, maximum);
}

void QtUi::setPosition(int position) {
  if (!bar_) return;
  bar_->setValue(position);
  // Long operations run inside their click: let the window paint the bar.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::reset() {
  if (bar_) bar_->reset();
}

} // namespace esc
