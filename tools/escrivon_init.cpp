// escrivon-init [--demo] [--year AAAA] [--password SENHA] [--organization NOME] [--cnpj CNPJ] DIR
// Creates a data directory for Escrivon: the eight tables, the organization row and the
// fiscal year's row, and with --demo a small book to try the system on.
#include "demobook.h"

#include <QCoreApplication>
#include <QTextStream>
#include <exception>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  const QString usage = "uso: escrivon-init [--demo] [--year AAAA] [--password SENHA] "
                        "[--organization NOME] [--cnpj CNPJ] DIR\n";
  esc::InitOptions o;
  const QStringList args = app.arguments().mid(1);
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    auto valueOf = [&](QString& out) {
      if (i + 1 >= args.size()) {
        err << "escrivon-init: falta o valor de " << a << "\n" << usage;
        std::exit(2);
      }
      out = args[++i];
    };
    QString v;
    if (a == "--demo") {
      o.demo = true;
    } else if (a == "--year") {
      valueOf(v);
      bool ok = false;
      o.year = v.toInt(&ok);
      // Four digits, and not 0000: a year of 0 would mean "the current year" below.
      if (!ok || v.size() != 4 || o.year < 1000) {
        err << "escrivon-init: exercício inválido: " << v << "\n";
        return 2;
      }
    } else if (a == "--password") {
      valueOf(o.password);
    } else if (a == "--organization") {
      valueOf(o.organization);
    } else if (a == "--cnpj") {
      valueOf(o.cnpj);
    } else if (a == "-h" || a == "--help") {
      QTextStream(stdout) << usage;
      return 0;
    } else if (a.startsWith("--") || !o.directory.isEmpty()) {
      err << "escrivon-init: argumento inesperado: " << a << "\n" << usage;
      return 2;
    } else {
      o.directory = a;
    }
  }
  if (o.directory.isEmpty()) {
    err << usage;
    return 2;
  }
  try {
    const QString dir = esc::createDataDirectory(o);
    QTextStream(stdout) << "Diretório de dados criado: " << dir << "\n";
  } catch (const std::exception& e) {
    err << "escrivon-init: " << QString::fromUtf8(e.what()) << "\n";
    return 1;
  }
  return 0;
}
