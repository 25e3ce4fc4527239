#pragma once
#include <QString>

namespace esc {

struct InitOptions {
  QString directory;
  int year = 0; // 0 = the current calendar year
  QString password = QStringLiteral("ESCRIVON");
  QString organization = QStringLiteral("ORGANIZAÇÃO EXEMPLO LTDA");
  QString cnpj = QStringLiteral("11.222.333/0001-81");
  bool demo = false;
};

// The stored form of an entry password: eight groups of three digits, each the code of one
// character. Throws std::invalid_argument unless it is exactly 8 characters of codes 0-255.
QString encodePassword(const QString& password);

// Creates a data directory: the eight tables, the organization row, the fiscal year's row
// and, with `demo`, a small book. Refuses (std::runtime_error, nothing written) a directory
// that already holds any table file. Returns the absolute directory.
QString createDataDirectory(const InitOptions& options);

} // namespace esc
