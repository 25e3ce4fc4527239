// What the benches share to run on an existing data directory (--book DIR) instead of the book
// each builds through SQL: the directory is copied first, because the year routines and the
// statements write to the book and a large generated book takes minutes to make again.
#pragma once
#include "store/dataModule.h"
#include "store/database.h"
#include "store/userPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace esc::bench {

// The arguments every bench takes: --book DIR, and a number for the book it builds itself.
struct Arguments {
  QString book; // empty: build the bench's own book
  int number = 0;
};

inline Arguments parseArguments(int argc, char** argv, int defaultNumber, const char* usage) {
  Arguments a;
  a.number = defaultNumber;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == "--book" && i + 1 < argc) {
      a.book = QString::fromLocal8Bit(argv[++i]);
    } else if (!arg.startsWith('-') && arg.toInt() > 0) {
      a.number = arg.toInt();
    } else {
      std::fprintf(stderr, "usage: %s\n", usage);
      std::exit(2);
    }
  }
  return a;
}

// Copies the table files and the anchor file of the data directory `from` into the empty
// directory `into`. A journal beside a table file means a write was left unfinished there: the
// copy would not be the book, so that is refused, as is a directory without a trial balance.
inline void copyBook(const QString& from, const QString& into) {
  const QDir source(from);
  if (!QFileInfo::exists(source.filePath("BALANCO.db")))
    throw std::runtime_error(qPrintable(from + ": não é um diretório de dados"));
  for (const QFileInfo& f : source.entryInfoList(QDir::Files)) {
    if (f.fileName().endsWith("-journal") || f.fileName().endsWith("-wal"))
      throw std::runtime_error(qPrintable(f.filePath() + ": gravação inacabada"));
    if (!f.fileName().endsWith(".db")) continue;
    if (!QFile::copy(f.filePath(), QDir(into).filePath(f.fileName())))
      throw std::runtime_error(qPrintable(f.filePath() + ": cópia falhou"));
  }
}

// The book in `directory` opened as the program opens it, every table open, nothing asked.
struct OpenBook {
  explicit OpenBook(const QString& directory) {
    dm.connectDirectory(directory);
    for (Table* t : dm.tables())
      t->open();
  }
  SilentUi ui;
  TDEscrivon dm{ui};
};

// The book's fiscal year: the latest one the year table holds.
inline QString bookYear(Database& db) {
  const QString year = db.selectValue("SELECT max(Exercicio) FROM fechamen").toString();
  if (year.size() != 4) throw std::runtime_error("livro sem exercício");
  return year;
}

// The book's size, printed before the figures so they can be read against it.
inline void printBookSize(Database& db, const QString& year) {
  auto count = [&](const char* sql, const QVariantList& params = {}) {
    return db.selectValue(sql, params).toLongLong();
  };
  std::printf(
      "book: %lld documents, %lld entries, %lld accounts (%lld analytic), "
      "%lld trial-balance rows in %s\n",
      count("SELECT count(DISTINCT NumeroDocumento) FROM lancamen "
            "WHERE substr(AnoContasMesDia, 1, 4) = ?",
            {year}),
      count("SELECT count(*) FROM lancamen WHERE substr(AnoContasMesDia, 1, 4) = ?", {year}),
      count("SELECT count(*) FROM contas"),
      count("SELECT count(*) FROM contas WHERE NivelDaConta = '6'"),
      count("SELECT count(*) FROM balanco WHERE substr(Periodo, 1, 4) = ?", {year}),
      qPrintable(year));
}

} // namespace esc::bench
