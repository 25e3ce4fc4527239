#pragma once
// Finding a page's widgets and typing into them as the user does.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace esc::test {

template <class W> W* child(QWidget* page, const QString& name) {
  W* w = page->findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name.toStdString();
  return w;
}

// The item of an order group by its text.
inline QAbstractButton* item(QGroupBox* group, const QString& text) {
  for (auto* b : group->findChildren<QAbstractButton*>())
    if (b->text() == text) return b;
  ADD_FAILURE() << "no item " << text.toStdString();
  return nullptr;
}

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
