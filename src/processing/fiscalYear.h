#pragma once
#include "store/database.h"
#include "store/ui.h"

#include <QString>
#include <optional>

namespace esc {

// What the year routines share: the selected year's refusal, the year arithmetic, the
// account rules of the trial balance and a progress bar that moves without flooding the
// window with repaints.
namespace fiscal {

inline const QString noYearText = QStringLiteral(
    "Não foi selecionado exercício o financeiro para o qual o sistema estará atuando.");

// The result account: its pair in the chart and behind the period in the trial balance.
inline const QString resultPair = QStringLiteral("299999999");

// The year read as a number, plus one, as plain decimal text.
QString nextYear(const QString& year);

// Year followed by the month in two digits.
QString period(const QString& year, int month);

// The key range [low, high) of the trial-balance rows whose key begins with `prefix`.
QString keyLimit(const QString& prefix);

// An account of groups 3 and above (its code's first character, as text, is "3" or more).
bool isResultAccount(const QString& code);

// The letter of a balance signed on the side of `nature`: the nature's letter for zero or
// more, the other letter below zero; nothing for a nature other than "D" or "C".
std::optional<QString> letterFor(const QString& nature, double value);

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
