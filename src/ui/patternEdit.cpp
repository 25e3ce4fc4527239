#include "patternEdit.h"

#include <QValidator>

namespace esc {

namespace {

// Upper-cases whatever reaches a plain box, typed or pasted.
class UpperCaseValidator : public QValidator {
public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

bool isCode(QChar c) {
  return c == '9' || c == '#' || c == 'A' || c == 'C' || c == 'c';
}

// Qt's mask letters for our position codes: Qt's "9" is a required digit, its "0" the
// optional one; "N" is a required letter or digit, "X"/"x" a required/optional character.
QChar qtCode(QChar c) {
  switch (c.unicode()) {
  case '9':
    return '0';
  case '#':
    return '#';
  case 'A':
    return 'N';
  case 'C':
    return 'X';
  default:
    return 'x';
  }
}

// Characters that mean something in a Qt mask and must be escaped to stay literals.
bool qtMetaChar(QChar c) {
  return QStringLiteral("AaNnXx90DdHhBb#><!\\[]{};").contains(c);
}

// A blank that is not a space: with a space as the blank, Qt's character positions would
// refuse a typed space, and free text ("Histórico Complementar") needs spaces.
constexpr char16_t defaultBlank = 0x00A0;

} // namespace

PatternEdit::PatternEdit(QWidget* parent) : QLineEdit(parent) {}

PatternEdit::PatternEdit(const QString& pattern, QWidget* parent) : QLineEdit(parent) {
  setPattern(pattern);
}

PatternEdit::Parsed PatternEdit::parse(const QString& pattern) {
  Parsed p;
  p.blank = QChar(defaultBlank);
  p.body = pattern;
  // The suffix: ";0" literals not stored, a following ";x" names the blank character.
  const QStringList parts = pattern.split(';');
  if (parts.size() > 1) {
    p.body = parts[0];
    p.storesLiterals = parts[1] != "0";
    QString blank;
    if (parts.size() >= 3)
      blank = parts[2];
    else if (parts[1] != "0" && parts[1] != "1")
      blank = parts[1];
    if (!blank.isEmpty() && blank[0] != ' ') p.blank = blank[0];
  }
  for (int i = 0; i < p.body.size(); ++i) {
    const QChar c = p.body[i];
    if (c == '>') continue;
    if (c == '\\' && i + 1 < p.body.size())
      p.positions.push_back({QChar(), p.body[++i]});
    else
      p.positions.push_back(isCode(c) ? Slot{c, QChar()} : Slot{QChar(), c});
  }
  return p;
}

QString PatternEdit::qtMask(const QString& pattern, bool upperCase) {
  const Parsed p = parse(pattern);
  if (p.positions.isEmpty()) return {};
  QString mask;
  if (upperCase) mask += '>';
  for (int i = 0; i < p.body.size(); ++i) {
    const QChar c = p.body[i];
    if (c == '>') {
      if (!upperCase) mask += '>';
    } else if (c == '\\' && i + 1 < p.body.size()) {
      mask += '\\';
      mask += p.body[++i];
    } else if (isCode(c)) {
      mask += qtCode(c);
    } else {
      if (qtMetaChar(c)) mask += '\\';
      mask += c;
    }
  }
  return mask + ';' + p.blank;
}

void PatternEdit::applyMask() {
  setValidator(nullptr);
  if (slots_.isEmpty()) {
    setInputMask(QString());
    if (upperCase_) setValidator(new UpperCaseValidator(this));
    return;
  }
  setInputMask(qtMask(pattern_, upperCase_));
}

void PatternEdit::setPattern(const QString& pattern) {
  const QString keep = patternText();
  pattern_ = pattern;
  Parsed p = parse(pattern);
  slots_ = std::move(p.positions);
  storesLiterals_ = p.storesLiterals;
  blank_ = p.blank;
  applyMask();
  setPatternText(keep);
}

void PatternEdit::setUpperCase(bool on) {
  if (on == upperCase_) return;
  upperCase_ = on;
  const QString keep = patternText();
  applyMask();
  setPatternText(upperCase_ ? keep.toUpper() : keep);
}

QString PatternEdit::patternText() const {
  if (slots_.isEmpty()) return text();
  const QString shown = displayText();
  QString out;
  out.reserve(slots_.size());
  for (int i = 0; i < slots_.size(); ++i) {
    const QChar c = i < shown.size() ? shown[i] : blank_;
    if (slots_[i].code.isNull()) {
      if (storesLiterals_) out += slots_[i].literal;
    } else {
      out += c == blank_ ? QChar(' ') : c;
    }
  }
  if (!storesLiterals_) {
    int n = out.size();
    while (n > 0 && out[n - 1] == ' ')
      --n;
    out.truncate(n);
  }
  return out;
}

void PatternEdit::setPatternText(const QString& value) {
  if (slots_.isEmpty()) {
    setText(upperCase_ ? value.toUpper() : value);
    return;
  }
  // Built position by position: Qt would drop a space meant for a digit position and shift
  // what follows, so spaces go in as blanks at their own positions. A value laid out with
  // the pattern's literals fills position by position; one without them (a pattern that does
  // not store them, or a value written elsewhere) fills the character positions in turn.
  bool laidOut = storesLiterals_;
  for (int i = 0; laidOut && i < slots_.size() && i < value.size(); ++i)
    if (slots_[i].code.isNull() && value[i] != slots_[i].literal) laidOut = false;
  QString shown;
  int next = 0; // the value's next character
  for (const Slot& s : slots_) {
    if (s.code.isNull()) {
      shown += s.literal;
      if (laidOut || (next < value.size() && value[next] == s.literal)) ++next;
      continue;
    }
    const QChar c = next < value.size() ? value[next] : QChar(' ');
    ++next;
    shown += c == ' ' ? blank_ : c;
  }
  setText(shown);
}

bool PatternEdit::isBlank() const {
  if (slots_.isEmpty()) return text().trimmed().isEmpty();
  const QString shown = displayText();
  for (int i = 0; i < slots_.size() && i < shown.size(); ++i)
    if (!slots_[i].code.isNull() && shown[i] != blank_ && shown[i] != ' ') return false;
  return true;
}

} // namespace esc
