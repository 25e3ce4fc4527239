#include "focusChecks.h"

#include "ui/dbEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

namespace esc {

void followDiscards(DBEdit* box) {
  // Connected after the box's own handler, so it runs once the keystroke was written.
  QObject::connect(box, &QLineEdit::textEdited, box, [box] {
    if (box->table() && !box->table()->isEditing()) box->showField();
  });
}

namespace {

// Focus that moves to a message box, to another window or into a dropped-down list has not
// left the box for good.
bool leftForGood(const QFocusEvent* e) {
  return e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
}

class FocusWatch : public QObject {
public:
  FocusWatch(QWidget* box, std::function<bool(QFocusEvent*)> in,
             std::function<bool(QFocusEvent*)> out)
      : QObject(box), in_(std::move(in)), out_(std::move(out)) {
    box->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusIn && in_) return in_(static_cast<QFocusEvent*>(e));
    if (e->type() == QEvent::FocusOut && out_) return out_(static_cast<QFocusEvent*>(e));
    return false;
  }

private:
  std::function<bool(QFocusEvent*)> in_, out_;
};

// One exit check speaks at a time: its message box moves the focus, which must not set off
// the check of the box the focus was going to.
bool checking = false;

} // namespace

void checkOnExit(QWidget* box, QWidget* escape, std::function<bool()> bad,
                 std::function<void()> complain, bool keepText) {
  new FocusWatch(box, nullptr, [=](QFocusEvent* e) {
    if (checking || !leftForGood(e)) return false;
    // A typed amount the field cannot take is said by the box itself.
    if (auto* edit = qobject_cast<DBEdit*>(box); edit && !edit->refusal().isEmpty()) return false;
    if (!bad()) return false;
    QWidget* going = QApplication::focusWidget();
    if (going && going == escape) return keepText;
    checking = true;
    complain();
    box->setFocus(Qt::OtherFocusReason);
    checking = false;
    return keepText;
  });
}

void onFocus(QWidget* box, std::function<void()> entered, std::function<void()> left) {
  new FocusWatch(
      box,
      [=](QFocusEvent* e) {
        if (leftForGood(e)) entered();
        return false;
      },
      [=](QFocusEvent* e) {
        if (leftForGood(e)) left();
        return false;
      });
}

void restrictChartWhileFocused(QWidget* picker, Table& chart, std::function<QString()> account,
                               std::function<void(const StoreError&)> report) {
  onFocus(
      picker,
      [=, &chart] {
        const QString code = account().trimmed();
        if (code.isEmpty() || code.contains(' ') || code.contains('\'')) return;
        try {
          chart.setFilter("CodigoContaContabil=" + code);
          chart.setFiltered(true);
        } catch (const StoreError& e) {
          report(e);
        }
      },
      [=, &chart] {
        try {
          chart.setFiltered(false);
        } catch (const StoreError& e) {
          report(e);
        }
      });
}

} // namespace esc
