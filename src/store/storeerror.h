#pragma once
#include <QString>
#include <stdexcept>

namespace esc {

// An error of the table store. Its message is what the user is shown unless the
// table's post-error hook chose to abort silently (then `silent()` is true and the
// handler that caught it shows nothing more).
class StoreError : public std::runtime_error {
public:
  // Busy: another program holds the files past the wait; NeedsRecovery: the files hold an
  // interrupted transaction that only a program that writes may roll back. Both messages
  // are whole sentences for the user, shown as they are.
  enum class Kind { General, Busy, NeedsRecovery };

  explicit StoreError(const QString& message, bool silent = false)
      : std::runtime_error(message.toStdString()), message_(message), silent_(silent) {}
  StoreError(Kind kind, const QString& message) : StoreError(message) { kind_ = kind; }
  const QString& message() const { return message_; }
  bool silent() const { return silent_; }
  Kind kind() const { return kind_; }
  bool isKeyViolation() const { return message_ == keyViolationText(); }
  static QString keyViolationText() { return QStringLiteral("Key violation."); }
  static QString busyText() {
    return QStringLiteral("Os dados estão ocupados por outro programa. Tente novamente.");
  }

private:
  QString message_;
  bool silent_;
  Kind kind_ = Kind::General;
};

} // namespace esc
