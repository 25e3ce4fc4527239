#pragma once
#include <QLineEdit>
#include <QVector>

namespace esc {

// An edit box with the system's input patterns:
//   "9" optional digit, "#" optional digit or sign, "A" required letter or digit,
//   "C" required character, "c" optional character, ">" upper-cases what follows,
//   "\x" the literal x, any other character a literal that is shown (and stored, unless
//   the pattern ends in ";0"). A ";_" (or ";0;_") suffix shows empty positions as "_".
// The editing itself is Qt's masked editing; what the system reads is `patternText()`:
// the full pattern width with empty positions as spaces, literals included when stored.
// Patterns that do not store their literals (">A;0;_") drop the empty positions at the end.
// Without a pattern the box is a plain line edit with an optional upper-case rule.
class PatternEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit PatternEdit(QWidget* parent = nullptr);
  explicit PatternEdit(const QString& pattern, QWidget* parent = nullptr);

  void setPattern(const QString& pattern); // "" = plain box
  QString pattern() const { return pattern_; }
  bool hasPattern() const { return !slots_.isEmpty(); }
  int patternWidth() const { return slots_.size(); } // positions of the pattern (literals too)
  bool storesLiterals() const { return storesLiterals_; }

  // Typed letters become upper case (in a patterned box as if the pattern began with ">").
  void setUpperCase(bool on);
  bool upperCase() const { return upperCase_; }

  // The box's text as the system reads it (see the class comment); a plain box gives text().
  QString patternText() const;
  // Shows a value as stored: the pattern's literals are put back where they are not stored.
  void setPatternText(const QString& value);
  // True when no position holds a typed character (literals do not count).
  bool isBlank() const;

  // The Qt input mask a pattern translates to.
  static QString qtMask(const QString& pattern, bool upperCase = false);

  // One position of a pattern.
  struct Slot {
    QChar code;    // '9', '#', 'A', 'C', 'c', or null for a literal
    QChar literal; // the literal's character
  };
  struct Parsed {
    QVector<Slot> positions;
    QString body; // the pattern without its ";..." suffix
    bool storesLiterals = true;
    QChar blank;
  };
  static Parsed parse(const QString& pattern);

private:
  void applyMask();

  QString pattern_;
  QVector<Slot> slots_;
  bool storesLiterals_ = true;
  QChar blank_ = QChar(0x00A0);
  bool upperCase_ = false;
};

} // namespace esc
