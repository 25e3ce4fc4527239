#pragma once
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace esc::cli {

// A command line taken apart: the data directory, the command, its arguments and options.
struct Invocation {
  QString dataDir; // --data-dir; "" when not given
  QString command; // "" for the general help
  QStringList arguments;
  QHash<QString, QString> options; // --ano AAAA, --periodo AAAAMM
  QSet<QString> flags;             // --todos, --csv
  bool help = false;               // --help / -h
};

// A command line the program cannot run: said with the usage, and the exit status is 2.
struct UsageError {
  QString text;
  QString command; // whose usage goes with it; "" for the general one
};

// Reads the arguments (without the program's name). Throws UsageError.
Invocation parseArguments(const QStringList& arguments);

// The help of the program, or of one command.
QString generalHelp();
QString commandHelp(const QString& command);
// The short usage said after a usage error.
QString usageLine(const QString& command);

// AAAA and AAAAMM as typed on the command line; UsageError naming `command` otherwise.
QString yearArgument(const QString& command, const QString& text);
QString periodArgument(const QString& command, const QString& text);

} // namespace esc::cli
