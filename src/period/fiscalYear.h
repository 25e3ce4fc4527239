#pragma once
#include "book/amounts.h"
#include "book/keys.h"
#include "book/period.h"
#include "book/texts.h"
#include "store/database.h"
#include "store/userPrompts.h"

#include <QString>
#include <optional>

namespace esc {

// What the year routines share beyond the book's rules (book/): the comparison of stored
// values, the year's state and a progress bar that moves without flooding the window with
// repaints.
namespace fiscal {

// A stored value and the one about to be written are the same, amounts to the last bit and a
// blank only as a blank, so that a row is rewritten only when a value changes.
bool sameStored(const QVariant& stored, const QVariant& wanted);
bool sameStored(const QVariantList& stored, const QVariantList& wanted);

// `Situacao` of the year's row of TbFechamen; nothing when the year has no row.
std::optional<QString> situation(Database& db, const QString& year);

} // namespace fiscal

// Moves the progress bar through `total` steps, repainting about a hundred times at most:
// each repaint lets the window process its events, which costs more than a step.
class ProgressSteps {
public:
  ProgressSteps(Progress& bar, int total);
  void advance();
  int done() const { return done_; }

private:
  Progress& bar_;
  int total_;
  int every_;
  int done_ = 0;
};

} // namespace esc
