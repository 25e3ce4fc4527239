#pragma once
#include "testsupport.h"
#include "ui/mainContext.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QWidget>
#include <gtest/gtest.h>

namespace esc::test {

// A demo book with a page's context: the tests build one page on it and drive its widgets.
struct PageBook : OpenBook {
  PageBook() : ctx(*dm, ui) { ctx.year = "2004"; }
  SimpleContext ctx;
};

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

} // namespace esc::test
