#pragma once
#include "store/ui.h"

#include <QApplication>

namespace esc {

// The application object. A store error that no handler caught (a busy or failing disk in
// the middle of a click, a timer tick or a repaint) is shown to the user as an error box and
// the event is dropped; letting it unwind through Qt's event loop would end the process.
class Application : public QApplication {
public:
  Application(int& argc, char** argv) : QApplication(argc, argv) {}
  void setUi(Ui* ui) { ui_ = ui; }
  bool notify(QObject* receiver, QEvent* event) override;

private:
  Ui* ui_ = nullptr;
  bool reporting_ = false;
};

} // namespace esc
