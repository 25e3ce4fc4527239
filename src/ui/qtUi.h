#pragma once
#include "store/userPrompts.h"

#include <QPointer>
#include <QProgressBar>
#include <QWidget>

namespace esc {

// The Ui of the running system: Qt message boxes, input dialog and the `Termometro` bar.
class QtUi : public Ui, public Progress {
public:
  explicit QtUi(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  void setProgressBar(QProgressBar* bar) { bar_ = bar; }

  void message(const QString& text) override;
  void error(const QString& text) override;
  bool confirm(const QString& text) override;
  bool confirmDefaultNo(const QString& text) override;
  std::optional<QString> prompt(const QString& title, const QString& label,
                                const QString& defaultAnswer) override;
  Progress& progress() override { return *this; }

  void setRange(int minimum, int maximum) override;
  void setPosition(int position) override;
  void reset() override;

private:
  QPointer<QWidget> parent_;
  QPointer<QProgressBar> bar_;
};

} // namespace esc
