#pragma once
#include "store/storeerror.h"
#include "store/userPrompts.h"

#include <QApplication>

namespace esc {

// The application object. A store error that no handler caught (a busy or failing disk in
// the middle of a click, a timer tick or a repaint) is shown to the user as an error box and
// the event is dropped; letting it unwind through Qt's event loop would end the process.
//
// While an operation's transaction is open, the user's input goes only to the box the
// operation is showing (a confirmation, a message): a box runs an event loop of its own, and
// a click elsewhere would start another operation, or post a record, inside the open one.
class Application : public QApplication {
public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}
  void setUi(Ui* ui) { ui_ = ui; }
  Ui* ui() const { return ui_; }
  bool notify(QObject* receiver, QEvent* event) override;

  // False for the user's input to anything but the active modal box (or its pop-ups)
  // while a transaction is open.
  static bool admitsInput(QObject* receiver, QEvent* event);

private:
  Ui* ui_ = nullptr;
  bool reporting_ = false;
};

// Where a slot sends a store error it caught (Qt does not carry exceptions through signals):
// the application's error box, shown once the current event is over, so that no box opens in
// the middle of the post that emitted the signal. A silent error (its hook showed it) is
// dropped, and so is everything when the application has no Ui.
void reportStoreError(const StoreError& error);

} // namespace esc
