#pragma once
#include "store/database.h"
#include "store/userPrompts.h"

#include <QString>
#include <QVector>

namespace esc {

// One thing the book's check found.
struct BookFinding {
  enum class Kind {
    DamagedFile,       // the file's own integrity check failed
    PartlyProcessed,   // a document with processed and unprocessed entries
    MissingMonths,     // an account pair with rows in a year but not all twelve
    MovementsDiffer,   // an analytic month row against its processed entries
    ClosingDiffers,    // closing against opening plus the month's movement
    OpeningDiffers,    // opening against the previous month's closing
    MonthUnbalanced,   // the analytic rows' debits against their credits in a month
    SyntheticOutdated, // synthetic rows or the result account the roll-up would change
    StatementOutdated, // a balance sheet or income statement the trial balance moved past
  };
  Kind kind;
  QString where; // the file, document, trial-balance key, period or year it is about
  QString text;  // as said to the user
};

struct BookCheck {
  int checks = 0;                // checks made (each kind over each file, year or statement)
  QVector<BookFinding> faults;   // the book contradicts itself
  QVector<BookFinding> warnings; // something derived is behind what it derives from
};

// The book's own check, reading only: SQLite's integrity check of every attached file, then
// the journal's documents and, year by year, the trial balance against itself and against the
// processed entries. The result account's movements are derived by the synthetic roll-up, not
// posted by entries, so it is compared with what the roll-up would write, as the synthetic
// rows are. Whole tables are read a few times in key order, never a query per row. Needs the
// eight tables attached. The bar runs over the files and the years.
BookCheck checkBook(Database& db, Progress& progress);

} // namespace esc
