#pragma once
#include "book/amounts.h"
#include "pairPosting.h"
#include "store/dataModule.h"

#include <QString>

namespace esc {

// Rewrites the running balance of every journal entry of one account pair in one fiscal year,
// processed or not, walking them in journal order from `seed` (January's opening balance) and
// signing them on the side of `nature`. `journalPrefix` is the first 24 characters of the
// entries' AnoContasMesDia (the year and the pair). Writes only the entries whose balance or
// letter changes; inside the caller's transaction.
void walkRunningBalances(Database& db, const QString& journalPrefix, double seed,
                         const QString& nature);
// The two ends of that walk: the entries of the pair and year of `journalPrefix` in journal
// order, and the writing of the balances that change (inside the caller's transaction).
QVector<posting::JournalLine> readJournalLines(Database& db, const QString& journalPrefix);
void writeBalances(Database& db, const QVector<posting::BalanceWrite>& writes);

struct PostingInput {
  QString year;           // the selected fiscal year, four digits
  QString accountCode;    // CodigoContaContabil
  QString currentAccount; // CodigoContaCorrente (trailing spaces do not count)
  QString month;          // "01" to "12": characters 4-5 of the entry's date dd/mm/yyyy
  QString entryType;      // TipoDeLancamento, "D" or "C"
  double amount = 0.0;    // ValorLancamento
  QString journalPrefix;  // the first 24 characters of the entry's AnoContasMesDia

  // The current entry of `journal` (a TbLancamen cursor) posted in fiscal year `year`.
  static PostingInput fromEntry(Table& journal, const QString& year);
};

struct PostingResult {
  enum class Status {
    Done,
    // The trial-balance row of `key` does not exist (the month row, or January's, whose
    // opening balance seeds the running balances).
    MissingMonthRow,
    // The month row of `key` has a nature other than "D" or "C", so no signed balance can
    // be computed for it.
    UnknownNature,
    // The entry's type is neither "D" nor "C".
    UnknownEntryType,
  };
  Status status = Status::Done;
  // The trial-balance key of the row at fault; for UnknownEntryType the month row's key, where
  // the entry would have gone. "" when done.
  QString key;
  bool done() const { return status == Status::Done; }
};

// Moves one entry's amount into the trial balance and rewrites the running balances of its
// account pair:
//  - the month row's debit or credit movement grows by the amount;
//  - closing balances are recomputed from the entry's month to December, each existing month
//    opening with the closing balance of the last existing month before it;
//  - every journal entry of the pair in the fiscal year gets its running balance, walking them
//    in journal order (month, day, document, then order of recording) from January's opening
//    balance, processed or not.
// Balances are signed on the side of the month row's nature. Marking the entry as processed
// is the caller's job.
//
// Everything happens inside one transaction nested in the caller's, so a failure part-way
// leaves nothing of this entry behind. When the result is not done nothing was written and the
// journal's view is untouched. A posted entry switches the journal's document filter off
// (processing switches it on again); both cursors stay on their records and show the new values.
class PostingRule {
public:
  explicit PostingRule(TDEscrivon& dm) : dm_(dm) {}

  // Later leaves the running balances to rewriteRunningBalances(): the walk depends only on
  // the pair's entries and January's opening, not on which entries are posted, so a document
  // posts all its movements and then walks each of its pairs once. The journal's view is then
  // left as it was (filter included).
  enum class Walk { Now, Later };

  // Throws StoreError for a failure of the store (and then nothing of the entry is written).
  PostingResult post(const PostingInput& entry, Walk walk = Walk::Now);

  // The running-balance walk of post() on its own, for the pair and year of `entry`, signed on
  // the side of the entry's month row. Refuses as post() does, writing nothing.
  PostingResult rewriteRunningBalances(const PostingInput& entry);

  // The trial balance's key: period (year and month), account code, current-account code.
  static QString balanceKey(const QString& year, const QString& month, const QString& account,
                            const QString& currentAccount);

private:
  struct Checked; // what post() reads and checks before writing
  PostingResult check(const PostingInput& entry, Checked& out);
  void walk(const PostingInput& entry, double seed, const QString& nature);

  TDEscrivon& dm_;
};

} // namespace esc
