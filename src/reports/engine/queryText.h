#pragma once
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace esc::report {

// The text of a report's query, built line by line as the dialogs append their pieces.
//
// A typed value never becomes part of the SQL text: addValue() takes the piece that opens
// the quoted value (ending in "'"), the value, and the piece that closes it (starting with
// "'"), and writes a bound parameter where the quoted value would stand. A quote in a field
// is then just a character of the value.
//
// The pieces keep the dialect the reports are written in; sql() translates it once:
// "+" between two column references (a join on concatenated codes) becomes "||", and
// dates come in as bound ISO texts (see addDateRange), which compare with the stored dates.
class QueryText {
public:
  void clear();
  // A fixed piece, one line of the text.
  void add(const QString& piece);
  // open + value + close as one line; `open` ends with "'", `close` starts with "'".
  void addValue(const QString& open, const QString& value, const QString& close = "'");

  bool isEmpty() const { return lines_.isEmpty(); }
  // The lines as the pieces read, with each value shown between its quotes (for messages
  // and tests; never run).
  QString displayText() const;
  // The SQL to prepare: lines joined with line breaks, values as "?", dialect translated.
  QString sql() const;
  QVariantList parameters() const { return params_; }

private:
  QStringList lines_;   // SQL lines with "?" for values
  QStringList display_; // the same lines with the values written in
  QVariantList params_;
};

// The range rule of the parameter dialogs, for a pair of fields "De" and "até" on a column:
// both not empty: rangePiece + from + "'" then " AND '" + to + "'"; only the from-field not
// empty: equalityPiece + from + "'"; the from-field empty: nothing, whatever the to-field
// holds. A field is empty only when it has no character at all; a blank is a value.
// `trimFrom` trims the from-text of leading and trailing blanks in the range case.
void addRange(QueryText& q, const QString& rangePiece, const QString& equalityPiece,
              const QString& from, const QString& to, bool trimFrom = false);
// A single field compared for equality whenever it is not empty.
void addEquality(QueryText& q, const QString& equalityPiece, const QString& value);

// The date rule: the range rule on two date fields typed as dd/mm/yy or dd/mm/yyyy. Returns
// false, adding nothing, when a text that would go into the query is not a date; the
// caller then says invalidDataMessage and produces no report.
bool addDateRange(QueryText& q, const QString& rangePiece, const QString& equalityPiece,
                  const QString& from, const QString& to);
inline const QString invalidDataMessage = QStringLiteral("Dados informados inválidos. Verifique.");

} // namespace esc::report
