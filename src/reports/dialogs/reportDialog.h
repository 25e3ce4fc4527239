#pragma once
#include <QDialog>

namespace esc::report {

// What the dialogs that run reports share: modal, without window buttons, centred on the screen
// when shown, whatever window opened them; the preview windows they open are their own windows
// while they are open, so both stay usable beside a modal dialog, and when one closes they stay
// open on its parent.
class ReportDialog : public QDialog {
  Q_OBJECT
public:
  explicit ReportDialog(QWidget* parent);

  void done(int result) override;

protected:
  void showEvent(QShowEvent* e) override;
};

} // namespace esc::report
