#pragma once
#include <QLineEdit>
#include <QTest>

namespace esc::test {

// Types text key by key; letters beyond ASCII go as key events carrying their text.
inline void typeText(QWidget* w, const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() < 128)
      QTest::keyClick(w, ch.toLatin1());
    else
      QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

// Replaces a box's text by typing, as the user would: select all, delete, type.
inline void retype(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  box->home(false);
  typeText(box, text);
}

} // namespace esc::test
