#pragma once
#include "systemFacts.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <functional>
#include <memory>

namespace esc {

// "Sobre o Sistema": the system's name and version, how to reach its makers, and a few facts
// about the machine, read each time the box is shown.
class TF_Sobre : public QDialog {
  Q_OBJECT
public:
  // The machine Escrivon runs on.
  explicit TF_Sobre(QWidget* parent = nullptr);
  // Another machine's facts; they must outlive the box.
  explicit TF_Sobre(const SystemFacts& facts, QWidget* parent = nullptr);
  ~TF_Sobre() override;

  // Opens a contact label's address: the desktop's default action unless replaced.
  std::function<void(const QUrl&)> openAddress;

  QLabel* EnderNet;
  QLabel* EMail;
  QLabel* WinVersion;
  QLabel* DosVersion;
  QLabel* CPU;
  QLabel* FreeMemory;
  QLabel* FreeDisk;
  QLabel* FreeResources;
  QPushButton* ButOk;

protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  void build();
  void showSystemFacts();
  void listDrives();

  std::unique_ptr<SystemFacts> ownFacts_;
  const SystemFacts& facts_;
};

} // namespace esc
