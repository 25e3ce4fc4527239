// escrivon-init [--demo [--documents N [--accounts M] [--seed S]]] [--year AAAA]
//               [--password SENHA] [--organization NOME] [--cnpj CNPJ] DIR
// Creates a data directory for Escrivon: the eight tables, the organization row and the
// fiscal year's row; with --demo a small book to try the system on, a year of it processed;
// with --documents a generated book of N processed documents on M analytic account pairs,
// the same for the same seed (for benchmarks).
#include "demobook.h"

#include "store/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <exception>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTextStream err(stderr);
  const QString usage = "uso: escrivon-init [--demo [--documents N [--accounts M] [--seed S]]] "
                        "[--year AAAA] [--password SENHA] [--organization NOME] [--cnpj CNPJ] "
                        "DIR\n";
  const QString help =
      "Cria o diretório de dados DIR do Escrivon: as oito tabelas, o registro da organização e\n"
      "o do exercício. Recusa, sem tocar em nada, um diretório que já tenha algum arquivo de\n"
      "tabela.\n"
      "  --demo               um livro de demonstração: plano de contas, históricos e um ano de\n"
      "                       documentos processados\n"
      "  --documents N        com --demo, um livro gerado de N documentos processados (1 a\n"
      "                       99999), para testes de volume\n"
      "  --accounts M         os pares de contas analíticas gerados (padrão 200)\n"
      "  --seed S             a mesma semente e os mesmos tamanhos dão o mesmo livro (padrão 1)\n"
      "  --year AAAA          o exercício (padrão: o ano corrente)\n"
      "  --password SENHA     a senha de entrada, de 8 caracteres (padrão ESCRIVON)\n"
      "  --organization NOME  o nome da organização (padrão ORGANIZAÇÃO EXEMPLO LTDA)\n"
      "  --cnpj CNPJ          o CNPJ da organização (padrão 11.222.333/0001-81)\n";
  esc::InitOptions o;
  esc::GeneratedBookOptions g;
  bool generated = false, sized = false;
  // A whole number in [min, max], or the usage error.
  auto number = [&](const QString& name, const QString& text, qint64 min, qint64 max) {
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n < min || n > max) {
      err << "escrivon-init: valor inválido para " << name << ": " << text << "\n";
      std::exit(2);
    }
    return n;
  };
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
      o.demo = o.demoYear = true;
    } else if (a == "--year") {
      valueOf(v);
      bool ok = false;
      o.year = v.toInt(&ok);
      // Four digits, and not 0000: a year of 0 would mean "the current year" below.
      if (!ok || v.size() != 4 || o.year < 1000) {
        err << "escrivon-init: exercício inválido: " << v << "\n";
        return 2;
      }
    } else if (a == "--documents") {
      valueOf(v);
      g.documents = int(number(a, v, 1, 99999));
      generated = true;
    } else if (a == "--accounts") {
      valueOf(v);
      g.accounts = int(number(a, v, 4, 200000));
      sized = true;
    } else if (a == "--seed") {
      valueOf(v);
      g.seed = quint32(number(a, v, 0, 4294967295LL));
      sized = true;
    } else if (a == "--password") {
      valueOf(o.password);
    } else if (a == "--organization") {
      valueOf(o.organization);
    } else if (a == "--cnpj") {
      valueOf(o.cnpj);
    } else if (a == "-h" || a == "--help") {
      QTextStream(stdout) << usage << "\n" << help;
      return 0;
    } else if (a.startsWith("--") || !o.directory.isEmpty()) {
      err << "escrivon-init: argumento inesperado: " << a << "\n" << usage;
      return 2;
    } else {
      o.directory = a;
    }
  }
  if (o.directory.isEmpty() || (generated && !o.demo) || (sized && !generated)) {
    err << usage;
    return 2;
  }
  // The book's lock lives in its directory: the directory comes first, and goes again when
  // this run made it and the creation was refused (rmdir takes only an empty one).
  const QString directory = QFileInfo(o.directory).absoluteFilePath();
  const bool made = !QFileInfo::exists(directory);
  int status = 0;
  try {
    if (made && !QDir().mkpath(directory))
      throw std::runtime_error(
          QStringLiteral("não foi possível criar o diretório %1").arg(directory).toStdString());
    // Held while the tables are written, so that no Escrivon opens a book half made.
    const esc::BookLock lock(directory);
    if (generated) {
      g.init = o;
      QElapsedTimer clock;
      clock.start();
      g.progress = [&](int done, int total) {
        err << "\rDocumentos salvos e processados: " << done << " de " << total << " ("
            << clock.elapsed() / 1000 << " s)";
        if (done == total) err << "\n";
        err.flush();
      };
      const esc::GeneratedBook book = esc::createGeneratedBook(g);
      QTextStream(stdout) << "Diretório de dados criado: " << book.directory << " ("
                          << book.documents << " documentos, " << book.entries << " lançamentos, "
                          << book.analyticPairs << " pares de contas analíticas, exercício "
                          << book.year << ")\n";
    } else {
      const QString dir = esc::createDataDirectory(o);
      QTextStream(stdout) << "Diretório de dados criado: " << dir << "\n";
    }
  } catch (const std::exception& e) {
    err << "escrivon-init: " << QString::fromUtf8(e.what()) << "\n";
    status = 1;
  }
  if (status != 0 && made) QDir().rmdir(directory);
  return status;
}
