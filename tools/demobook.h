#pragma once
#include <QString>
#include <functional>

namespace esc {

struct InitOptions {
  QString directory;
  int year = 0; // 0 = the current calendar year
  QString password = QStringLiteral("ESCRIVON");
  QString organization = QStringLiteral("ORGANIZAÇÃO EXEMPLO LTDA");
  QString cnpj = QStringLiteral("11.222.333/0001-81");
  bool demo = false;
  // With `demo`, also a year of documents processed as "&Processar" processes them.
  // escrivon-init --demo sets it; left off, the demo book is the small one the tests of the
  // pages and the store are written against (the chart, two typed documents).
  bool demoYear = false;
};

// The stored form of an entry password: eight groups of three digits, each the code of one
// character. Throws std::invalid_argument unless it is exactly 8 characters of codes 0-255.
QString encodePassword(const QString& password);

// Creates a data directory: the eight tables, the organization row, the fiscal year's row
// and, with `demo`, the demo book: a small chart on six levels, standard descriptions,
// income-statement groups and documents 00001 and 00002 typed but not processed; with
// `demoYear` too, documents 00003 on of a year of a small firm (invoices and receipts, rent,
// energy, supplies, payroll, bank movements, every month) saved and processed. Refuses
// (std::runtime_error, nothing written) a directory that already holds any table file. Returns the
// absolute directory.
QString createDataDirectory(const InitOptions& options);

// A large book for benchmarks and volume tests (escrivon-init --demo --documents N).
struct GeneratedBookOptions {
  InitOptions init;     // directory, year, password, organization; `demo` is implied
  int documents = 1000; // N, 1 to 99 999
  int accounts = 200;   // M analytic account pairs generated besides the demo chart's
  quint32 seed = 1;     // the same seed and sizes give the same book, row for row
  // Called now and then while documents are saved and processed, and once at the end.
  std::function<void(int documentsDone, int documentsTotal)> progress;
};

struct GeneratedBook {
  QString directory; // absolute
  int year = 0;
  int documents = 0;     // numbered 00001 to N, every one processed ("P")
  int entries = 0;       // journal rows, 2 to 6 per document
  int analyticPairs = 0; // generated level-6 pairs (the demo chart's are not counted)
};

// Builds a generated book:
//  - the demo book's organization, standard descriptions and chart (with the result account
//    299999/999), but none of its documents;
//  - M analytic pairs on account codes whose second digit is 5 to 8 under the classes 1
//    (assets, nature D), 2 (liabilities, C), 3 (revenue, C) and 4 (expenses, D), up to ten
//    current accounts "0001".."0010" per code, with their synthetic accounts on levels 2 to 5,
//    and twelve trial-balance rows per account of the chart (analytic and synthetic) for the
//    year, opening at zero;
//  - income-statement groups "01" revenue 311111-399999, "02" expenses 411111-499999 and
//    "03" the result;
//  - N balanced documents of 2 to 6 entries, dated across the year in number order, each
//    saved entry by entry through the journal cursor as "&Gravar" saves it and processed by
//    DocumentProcessing, many documents per outer transaction.
// Refuses as createDataDirectory does; throws std::runtime_error for a bad size or a
// failure (the directory's table files are then removed).
GeneratedBook createGeneratedBook(const GeneratedBookOptions& options);

} // namespace esc
