#pragma once
#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>
#include <initializer_list>
#include <optional>

namespace esc {

class Database;

// A document number as every number is shown: one of fewer than five digits is completed
// with zeros on the left ("45" -> "00045"); any other text is left as typed.
QString documentNumber(const QString& typed);
// Whether `number` can choose a document: the document filter reads its value up to the first
// blank, so a number with a blank (or a quote) would choose some other document, or none.
bool usableDocumentNumber(const QString& number);
QString invalidDocumentNumber(const QString& typed); // what is said of one that cannot
// The first of `count` new document numbers, as Incluir numbers a new document: the highest
// number in document-number order plus one. Nullopt, with what is said in `refusal`, when the
// highest is not a number or the last would need a sixth digit (it would name another document).
std::optional<qint64> firstNewDocument(Database& db, qint64 count, QString& refusal);

// What the checks look up in the book, each answer read once. Lookups go by the tables' keys,
// whatever order a page browses them in.
class BookLookups {
public:
  explicit BookLookups(Database& db) : db_(db) {}
  // The chart's level of `pair` (its first row in the chart's primary order), or nullopt when
  // the chart has no such pair.
  std::optional<QString> pairLevel(const QString& pair);
  bool historicoExists(const QString& code);
  bool balanceRowExists(const QString& key);
  // Reads the chart, the descriptions and January's trial-balance rows of `year` once, so
  // that checking many entries asks the book nothing more for what it holds.
  void preload(const QString& year);
  void clear();

private:
  Database& db_;
  QHash<QString, std::optional<QString>> levels_;
  QHash<QString, bool> historicos_;
  QHash<QString, bool> balanceRows_;
};

// Every check a journal entry meets, in the order it meets them, each with its own message.
//  - Saving an entry ("&Gravar") makes those from YearSelected to DateValid on the entry as
//    typed: Lançamentos says the first failure, Documentos every one.
//  - Processing its document makes those from DocumentHasEntries to Balanced: the document's
//    own, each entry's from EntryInYear to PostedType in turn, then the document's totals;
//    once they pass, each entry's month row (MonthRowExists, MonthRowNature) in posting order.
enum class EntryCheck {
  YearSelected,       // a fiscal year is selected
  AccountCode,        // the account code has 6 characters
  CurrentAccountCode, // the current-account code has at least 3
  HistoricoCode,      // the description code has 4
  EntryType,          // "D" or "C"
  DateText,           // the date has 8 characters
  DocumentLength,     // the document number has 5 characters
  DocumentUsable,     // and can choose a document
  Amount,             // above zero
  PairAnalytic,       // a pair on the chart is of level 6
  PairOnChart,        // the pair is on the chart
  HistoricoOnFile,    // the description is on file
  DateValid,          // the date text reads as a date

  DocumentHasEntries,
  DocumentInYear, // the first entry's year ends as the selected year does
  EntryInYear,    // the entry was saved under the selected year
  PairRegistered, // the pair is on the chart
  PairPostable,   // of level 6
  JanuaryRow,     // the pair has January's trial-balance row in the year
  SameDate,       // the entry is dated as the document's first
  PostedType,     // "D" or "C"
  NoneProcessed,
  Balanced, // debits equal credits
  MonthRowExists,
  MonthRowNature, // the month row's nature is "D" or "C"
};

struct EntryFailure {
  EntryCheck check;
  QString text;     // the system's message
  qint64 entry = 0; // processing: the entry at fault; 0 when it is the whole document
};

enum class Stop { AtFirst, Never };

// An entry being saved, as its page reads it.
struct EntryFields {
  QString year;      // the selected fiscal year, trimmed ("" when none is selected)
  QString account;   // CodigoContaContabil
  QString current;   // CodigoContaCorrente
  QString historico; // CodigoHistorico
  QString type;      // TipoDeLancamento, upper-cased
  QString dateText;  // the entry's date text, counted for its length
  double amount = 0.0;
  QString document;          // NumeroDocumento, completed as every number is shown
  std::optional<QDate> date; // the date the page reads from the text it shows
  QString dateShown;         // that text, as a refusal quotes it
};

// The checks of saving `entry` from `first` to `last` in the list's order, but for those
// `skipped`: every failure, or the first one.
QVector<EntryFailure> savingFailures(BookLookups& lookups, const EntryFields& entry,
                                     EntryCheck first, EntryCheck last, Stop stop,
                                     std::initializer_list<EntryCheck> skipped = {});
std::optional<EntryFailure> firstSavingFailure(BookLookups& lookups, const EntryFields& entry,
                                               EntryCheck first, EntryCheck last);

// An entry of a document as processing reads it from the journal.
struct DocumentEntry {
  qint64 rowId = 0;
  QString account;
  QString current;
  QString type;
  QString status;
  QString date; // dd/mm/yyyy
  double amount = 0.0;
  QString key;                                         // AnoContasMesDia
  int month() const { return date.mid(3, 2).toInt(); } // 1 to 12
};

// What the checks of a document found.
struct DocumentVerdict {
  QVector<EntryFailure> failures; // in the list's order; with Stop::AtFirst the first only
  int accountsLookedUp = 0;       // entries whose account pair was looked up in the chart
  // Whether every entry passed its own checks, so that the totals below are the document's.
  bool totalsKnown = false;
  double debits = 0.0; // ten-thousandths
  double credits = 0.0;
};

// The checks of processing a document of `entries` (in journal order) in fiscal year `year`,
// from DocumentHasEntries to Balanced. Reads only.
DocumentVerdict documentFailures(BookLookups& lookups, const QString& year,
                                 const QVector<DocumentEntry>& entries, Stop stop);

// The month row checks of posting `entry`: the row of `key`, `exists` or not, of `nature`.
std::optional<EntryFailure> monthRowFailure(const DocumentEntry& entry, const QString& key,
                                            bool exists, const QString& nature);

// What is said of a document with `processed` entries processed already.
QString processedEntriesText(int processed);

// The debit or credit total of a document: each amount is taken in ten-thousandths and the
// running sum rounded to a whole number of them, so totals compare exactly.
double addToTotal(double total, double amount);
// A total in ten-thousandths as the total boxes show it (general number form).
QString totalText(double total);

} // namespace esc
