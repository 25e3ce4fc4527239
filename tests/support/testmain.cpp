#include "ui/application.h"

#include <gtest/gtest.h>

// Every test program runs with a QApplication (offscreen in the suite), so widget tests
// and store tests share one entry point.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  esc::Application app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
