// Escrivon: starts the system on the data directory given by --data-dir DIR, by the
// environment variable ESCRIVON_DATA, or else the default directory.
#include "mainwindow/tf_Escrivon.h"
#include "mainwindow/tf_Splash.h"
#include "ui/application.h"
#include "ui/qtUi.h"

int main(int argc, char** argv) {
  esc::Application app(argc, argv);
  QApplication::setApplicationName("Escrivon");
  QApplication::setApplicationDisplayName("Escrivon");

  QString dir = qEnvironmentVariable("ESCRIVON_DATA");
  const QStringList args = app.arguments();
  const int at = args.indexOf("--data-dir");
  if (at >= 0 && at + 1 < args.size()) dir = args[at + 1];
  if (!dir.isEmpty()) esc::DatabaseRegistry::registerName(esc::TDEscrivon::databaseName, dir);

  auto* splash = new esc::TF_Splash;
  splash->show();
  app.processEvents();

  esc::QtUi ui;
  app.setUi(&ui);
  esc::TDEscrivon dm(ui);
  esc::TF_Escrivon window(dm);
  ui.setParent(&window);
  ui.setProgressBar(window.Termometro);
  window.splash = splash; // destroyed when the main window first shows
  window.show();
  const int status = app.exec();
  // Ended before anyone worked in it: a book held by another Escrivon, a table that would
  // not open, a refused password.
  return window.accessGranted() ? status : 1;
}
