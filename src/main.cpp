// Escrivon: starts the system on the data directory given by --data-dir DIR, by the
// environment variable ESCRIVON_DATA, or else the default directory.
#include "mainwindow/tf_Escrivon.h"
#include "mainwindow/tf_Splash.h"
#include "ui/application.h"
#include "ui/qtUi.h"

#include <cstdio>
#include <cstring>

namespace {

// Said before any window exists, so that it needs no display (the manual page is made from it).
const char* help =
    "uso: escrivon [--data-dir DIR]\n"
    "\n"
    "Escrivon — Sistema de Gerenciamento Contábil: os livros de uma organização por partidas\n"
    "dobradas. Plano de contas, históricos padrão, documentos de lançamentos processados no\n"
    "balancete, contas sintéticas, demonstração de resultado, balanço patrimonial, abertura e\n"
    "fechamento de exercícios, relatórios na tela, na impressora ou em PDF, cópia de segurança.\n"
    "A entrada pede a senha da organização.\n"
    "\n"
    "  --data-dir DIR   o diretório de dados do livro; sem ele, o de ESCRIVON_DATA, senão\n"
    "                   ~/.local/share/Escrivon/ (onde também se procura o Escrivon.doc que\n"
    "                   \"Ajuda\" abre no lugar do manual)\n"
    "  --help           mostra esta ajuda\n"
    "\n"
    "escrivon-init cria um diretório de dados (--demo, um livro de demonstração), escrivon-cli\n"
    "trabalha o livro sem janela e escrivon-report escreve os relatórios em PDF.\n";

} // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(help, stdout);
      return 0;
    }
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
