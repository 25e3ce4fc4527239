#pragma once
#include <QString>
#include <stdexcept>

namespace esc {

// An error of the table store. Its message is what the user is shown unless the
// table's post-error hook chose to abort silently (then `silent()` is true and the
// handler that caught it shows nothing more).
class StoreError : public std::runtime_error {
public:
  explicit StoreError(const QString& message, bool silent = false)
      : std::runtime_error(message.toStdString()), message_(message), silent_(silent) {}
  const QString& message() const { return message_; }
  bool silent() const { return silent_; }
  bool isKeyViolation() const { return message_ == keyViolationText(); }
  static QString keyViolationText() { return QStringLiteral("Key violation."); }

private:
  QString message_;
  bool silent_;
};

} // namespace esc
