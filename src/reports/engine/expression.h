#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <stdexcept>

namespace esc::report {

// A fault in a report definition (an expression that does not parse, a column the query
// does not return). It is the developer's mistake, never the user's, so it names the text.
class DefinitionError : public std::runtime_error {
public:
  explicit DefinitionError(const QString& what) : std::runtime_error(what.toStdString()) {}
};

// The value of an expression: nothing (a NULL column), a number or a text.
struct Value {
  enum class Kind { Null, Number, Text };
  Kind kind = Kind::Null;
  double number = 0;
  QString text;

  static Value fromVariant(const QVariant& v);
  bool isNumber() const { return kind == Kind::Number; }
  bool isText() const { return kind == Kind::Text; }
  double asNumber() const; // a text reads as 0, as the report language does not convert
  QString asText() const;  // a number in the general form
};

// The result columns of one data source of a report, by name.
struct SourceColumns {
  QString name; // "QryBalanco", "TbCabecalh"
  QStringList columns;
};

// The current row of each data source while a band prints (same order as the sources).
struct EvalContext {
  QVector<const QVariantList*> rows;
};

// An expression of the report language, as the definitions write it:
//   column references       QryBalanco.ValorDebito, SaldoAtual (looked up in every source)
//   constants               12.5, 'text'
//   operators               + (adds numbers, joins texts), -, sign change -(...), > >= = < <= <>
//   functions               IF(c,a,b), Copy(text,start,count), SUM(x)
// Names of sources, columns and functions ignore case. SUM is a running total over every
// detail row since the report started; the engine feeds it through accumulate().
class Expression {
public:
  Expression() = default;
  explicit Expression(const QString& text); // throws DefinitionError when it does not parse
  // A reference to one column, as a data field element holds it.
  static Expression column(const QString& reference);

  bool isEmpty() const { return !root_; }
  QString text() const { return text_; }

  // Resolves the column references against the sources of a run; throws DefinitionError
  // naming a column that no source returns.
  void bind(const QVector<SourceColumns>& sources);
  Value eval(const EvalContext& ctx) const;
  // The raw value of a single-column expression (a data field), so dates and integers keep
  // their kind for formatting.
  QVariant raw(const EvalContext& ctx) const;
  bool hasSums() const;
  void resetSums();
  void accumulate(const EvalContext& ctx); // one detail row into every SUM inside

  struct Node;

private:
  QString text_;
  std::shared_ptr<Node> root_;
};

} // namespace esc::report
