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

namespace {
bool ask(QWidget* parent, const QString& text, bool defaultNo) {
  QMessageBox box(QMessageBox::Question, title(), text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
  box.setDefaultButton(defaultNo ? no : yes);
  box.exec();
  return box.clickedButton() == yes;
}
} // namespace

bool QtUi::confirm(const QString& text) {
  return ask(parent_, text, false);
}

bool QtUi::confirmDefaultNo(const QString& text) {
  return ask(parent_, text, true);
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
