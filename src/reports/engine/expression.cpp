#include "expression.h"

#include "store/formats.h"

#include <functional>

namespace esc::report {

Value Value::fromVariant(const QVariant& v) {
  Value r;
  if (!v.isValid() || v.isNull()) return r;
  switch (v.typeId()) {
  case QMetaType::Double:
  case QMetaType::Float:
  case QMetaType::Int:
  case QMetaType::LongLong:
  case QMetaType::UInt:
  case QMetaType::ULongLong:
    r.kind = Kind::Number;
    r.number = v.toDouble();
    break;
  default:
    r.kind = Kind::Text;
    r.text = v.toString();
  }
  return r;
}

double Value::asNumber() const {
  return kind == Kind::Number ? number : 0.0;
}

QString Value::asText() const {
  switch (kind) {
  case Kind::Number:
    return fmt::general(number);
  case Kind::Text:
    return text;
  default:
    return {};
  }
}

struct Expression::Node {
  enum class Op { Number, Text, Column, Add, Sub, Neg, Gt, Ge, Eq, Lt, Le, Ne, If, Copy, Sum };
  Op op;
  double number = 0;
  QString text;         // text constant, or the column reference as written
  QString source;       // column: source name ("" = any)
  QString columnName;   // column: column name
  int sourceIndex = -1; // column: resolved at bind
  int columnIndex = -1;
  double total = 0; // SUM: the running total
  QVector<std::shared_ptr<Node>> args;
};

namespace {

using Node = Expression::Node;
using NodePtr = std::shared_ptr<Node>;

class Parser {
public:
  explicit Parser(const QString& text) : s_(text) {}

  NodePtr parse() {
    NodePtr n = comparison();
    skip();
    if (pos_ < s_.size()) fail("texto inesperado");
    return n;
  }

private:
  [[noreturn]] void fail(const QString& why) {
    throw DefinitionError(
        QStringLiteral("Expressão \"%1\": %2 na posição %3").arg(s_, why).arg(pos_ + 1));
  }
  void skip() {
    while (pos_ < s_.size() && s_[pos_].isSpace())
      ++pos_;
  }
  bool accept(const QString& token) {
    skip();
    if (s_.mid(pos_, token.size()) == token) {
      pos_ += token.size();
      return true;
    }
    return false;
  }
  void expect(const QString& token) {
    if (!accept(token)) fail(QStringLiteral("esperado \"%1\"").arg(token));
  }
  static NodePtr make(Node::Op op, QVector<NodePtr> args = {}) {
    auto n = std::make_shared<Node>();
    n->op = op;
    n->args = std::move(args);
    return n;
  }

  NodePtr comparison() {
    NodePtr left = additive();
    // Longest operators first, so ">=" is not read as ">" then "=".
    static const std::pair<const char*, Node::Op> ops[] = {
        {">=", Node::Op::Ge}, {"<=", Node::Op::Le}, {"<>", Node::Op::Ne},
        {">", Node::Op::Gt},  {"<", Node::Op::Lt},  {"=", Node::Op::Eq}};
    for (const auto& [tok, op] : ops)
      if (accept(QString::fromLatin1(tok))) return make(op, {left, additive()});
    return left;
  }
  NodePtr additive() {
    NodePtr left = unary();
    for (;;) {
      if (accept("+"))
        left = make(Node::Op::Add, {left, unary()});
      else if (accept("-"))
        left = make(Node::Op::Sub, {left, unary()});
      else
        return left;
    }
  }
  NodePtr unary() {
    if (accept("-")) return make(Node::Op::Neg, {unary()});
    return primary();
  }
  QString identifier() {
    skip();
    const int start = pos_;
    while (pos_ < s_.size() && (s_[pos_].isLetterOrNumber() || s_[pos_] == '_'))
      ++pos_;
    if (pos_ == start) fail("esperado um nome");
    return s_.mid(start, pos_ - start);
  }
  NodePtr primary() {
    skip();
    if (pos_ >= s_.size()) fail("fim inesperado");
    const QChar c = s_[pos_];
    if (c == '(') {
      ++pos_;
      NodePtr n = comparison();
      expect(")");
      return n;
    }
    if (c == '\'') {
      ++pos_;
      QString text;
      for (;;) {
        if (pos_ >= s_.size()) fail("texto sem o apóstrofo final");
        if (s_[pos_] == '\'') {
          // Two quotes inside a constant stand for one.
          if (pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'') {
            text += '\'';
            pos_ += 2;
            continue;
          }
          ++pos_;
          break;
        }
        text += s_[pos_++];
      }
      auto n = make(Node::Op::Text);
      n->text = text;
      return n;
    }
    if (c.isDigit()) {
      const int start = pos_;
      while (pos_ < s_.size() && (s_[pos_].isDigit() || s_[pos_] == '.'))
        ++pos_;
      bool ok = false;
      auto n = make(Node::Op::Number);
      n->number = s_.mid(start, pos_ - start).toDouble(&ok);
      if (!ok) fail("número inválido");
      return n;
    }
    const QString name = identifier();
    if (accept("(")) {
      QVector<NodePtr> args;
      if (!accept(")")) {
        do
          args << comparison();
        while (accept(","));
        expect(")");
      }
      const QString f = name.toLower();
      if (f == "if" && args.size() == 3) return make(Node::Op::If, args);
      if (f == "copy" && args.size() == 3) return make(Node::Op::Copy, args);
      if (f == "sum" && args.size() == 1) return make(Node::Op::Sum, args);
      fail(QStringLiteral("função desconhecida %1/%2").arg(name).arg(args.size()));
    }
    auto n = make(Node::Op::Column);
    if (accept(".")) {
      n->source = name;
      n->columnName = identifier();
    } else {
      n->columnName = name;
    }
    n->text = n->source.isEmpty() ? n->columnName : n->source + '.' + n->columnName;
    return n;
  }

  QString s_;
  int pos_ = 0;
};

void forEach(const NodePtr& n, const std::function<void(Node&)>& f) {
  if (!n) return;
  f(*n);
  for (const auto& a : n->args)
    forEach(a, f);
}

Value number(double d) {
  Value v;
  v.kind = Value::Kind::Number;
  v.number = d;
  return v;
}
Value text(QString s) {
  Value v;
  v.kind = Value::Kind::Text;
  v.text = std::move(s);
  return v;
}

// Compares two values: numbers as numbers, anything else as texts, character by character.
int compare(const Value& a, const Value& b) {
  if (!a.isText() && !b.isText()) {
    const double x = a.asNumber(), y = b.asNumber();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  const int c = a.asText().compare(b.asText());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

Value evalNode(const Node& n, const EvalContext& ctx) {
  using Op = Node::Op;
  switch (n.op) {
  case Op::Number:
    return number(n.number);
  case Op::Text:
    return text(n.text);
  case Op::Column: {
    if (n.sourceIndex < 0 || n.sourceIndex >= ctx.rows.size()) return {};
    const QVariantList* row = ctx.rows[n.sourceIndex];
    if (!row || n.columnIndex >= row->size()) return {};
    return Value::fromVariant(row->at(n.columnIndex));
  }
  case Op::Add: {
    const Value a = evalNode(*n.args[0], ctx), b = evalNode(*n.args[1], ctx);
    if (a.isText() || b.isText()) return text(a.asText() + b.asText());
    return number(a.asNumber() + b.asNumber());
  }
  case Op::Sub:
    return number(evalNode(*n.args[0], ctx).asNumber() - evalNode(*n.args[1], ctx).asNumber());
  case Op::Neg:
    return number(-evalNode(*n.args[0], ctx).asNumber());
  case Op::Gt:
  case Op::Ge:
  case Op::Eq:
  case Op::Lt:
  case Op::Le:
  case Op::Ne: {
    const int c = compare(evalNode(*n.args[0], ctx), evalNode(*n.args[1], ctx));
    const bool r = n.op == Op::Gt   ? c > 0
                   : n.op == Op::Ge ? c >= 0
                   : n.op == Op::Eq ? c == 0
                   : n.op == Op::Lt ? c < 0
                   : n.op == Op::Le ? c <= 0
                                    : c != 0;
    return number(r ? 1 : 0);
  }
  case Op::If: {
    const Value c = evalNode(*n.args[0], ctx);
    const bool holds = c.isText() ? !c.text.isEmpty() : c.asNumber() != 0;
    return evalNode(*n.args[holds ? 1 : 2], ctx);
  }
  case Op::Copy: {
    const QString s = evalNode(*n.args[0], ctx).asText();
    const int start = int(evalNode(*n.args[1], ctx).asNumber());
    const int count = int(evalNode(*n.args[2], ctx).asNumber());
    if (start < 1 || count <= 0 || start > s.size()) return text({});
    return text(s.mid(start - 1, count));
  }
  case Op::Sum:
    return number(n.total);
  }
  return {};
}

} // namespace

Expression::Expression(const QString& text) : text_(text), root_(Parser(text).parse()) {}

Expression Expression::column(const QString& reference) {
  Expression e(reference);
  if (e.root_->op != Node::Op::Column)
    throw DefinitionError(QStringLiteral("\"%1\" não é uma coluna").arg(reference));
  return e;
}

void Expression::bind(const QVector<SourceColumns>& sources) {
  forEach(root_, [&](Node& n) {
    if (n.op != Node::Op::Column) return;
    n.sourceIndex = n.columnIndex = -1;
    for (int s = 0; s < sources.size() && n.sourceIndex < 0; ++s) {
      if (!n.source.isEmpty() && sources[s].name.compare(n.source, Qt::CaseInsensitive) != 0)
        continue;
      for (int c = 0; c < sources[s].columns.size(); ++c)
        if (sources[s].columns[c].compare(n.columnName, Qt::CaseInsensitive) == 0) {
          n.sourceIndex = s;
          n.columnIndex = c;
          break;
        }
    }
    if (n.sourceIndex < 0)
      throw DefinitionError(
          QStringLiteral("Expressão \"%1\": coluna %2 desconhecida").arg(text_, n.text));
  });
}

Value Expression::eval(const EvalContext& ctx) const {
  return root_ ? evalNode(*root_, ctx) : Value{};
}

QVariant Expression::raw(const EvalContext& ctx) const {
  if (!root_ || root_->op != Node::Op::Column) return {};
  const Node& n = *root_;
  if (n.sourceIndex < 0 || n.sourceIndex >= ctx.rows.size()) return {};
  const QVariantList* row = ctx.rows[n.sourceIndex];
  if (!row || n.columnIndex >= row->size()) return {};
  return row->at(n.columnIndex);
}

bool Expression::hasSums() const {
  bool any = false;
  forEach(root_, [&](Node& n) { any |= n.op == Node::Op::Sum; });
  return any;
}

void Expression::resetSums() {
  forEach(root_, [](Node& n) { n.total = 0; });
}

void Expression::accumulate(const EvalContext& ctx) {
  forEach(root_, [&](Node& n) {
    if (n.op == Node::Op::Sum) n.total += evalNode(*n.args[0], ctx).asNumber();
  });
}

} // namespace esc::report
