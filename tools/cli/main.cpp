// escrivon-cli [--data-dir DIR] COMANDO [ARGUMENTOS]
// Every operation of the book from the command line: processing documents, the year's
// routines, the statements, the backup copy, listings and the book's own check. Exit status
// 0 done, 1 refused (the system's message on the error output), 2 bad usage.
#include "commands.h"
#include "store/storeerror.h"
#include "terminal.h"
#include "usage.h"

#include <QCoreApplication>
#include <QTextStream>
#include <exception>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  using namespace esc::cli;
  try {
    const Invocation inv = parseArguments(app.arguments().mid(1));
    if (inv.help) {
      QTextStream(stdout) << commandHelp(inv.command);
      return 0;
    }
    return runCommand(inv);
  } catch (const UsageError& e) {
    say(e.text);
    QTextStream(stderr) << usageLine(e.command);
    return 2;
  } catch (const esc::StoreError& e) {
    if (!e.silent()) say(e.message());
    return 1;
  } catch (const std::exception& e) {
    say(QString::fromUtf8(e.what()));
    return 1;
  }
}
