#include "ui/application.h"
#include "scriptedUi.h"
#include "store/storeerror.h"

#include <QEvent>
#include <gtest/gtest.h>

using namespace esc;

namespace {
struct Failing : QObject {
  QString message;
  bool silent = false;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) throw StoreError(message, silent);
    return QObject::event(e);
  }
};
} // namespace

TEST(Application, AStoreErrorNoHandlerCaughtIsShownOnceAndTheEventDropped) {
  auto* app = dynamic_cast<Application*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  ScriptedUi ui;
  app->setUi(&ui);
  Failing target;
  target.message = "disk I/O error";
  QEvent user(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&target, &user));
  EXPECT_EQ(ui.texts("error"), QStringList{"disk I/O error"});
  // An error its hook already showed (a duplicate key) is not shown again.
  target.silent = true;
  EXPECT_FALSE(QCoreApplication::sendEvent(&target, &user));
  EXPECT_EQ(ui.texts().size(), 1);
  app->setUi(nullptr);
}
