#pragma once
#include <QString>
#include <optional>

namespace esc {

// The progress bar `Termometro` of long operations.
class Progress {
public:
  virtual ~Progress() = default;
  virtual void setRange(int minimum, int maximum) = 0;
  virtual void setPosition(int position) = 0;
  virtual void reset() = 0; // back to empty
};

// Everything a handler says to the user goes through here: production shows Qt dialogs,
// tests script the answers and read back what was said. Kept to Qt Core so that the data
// module and the domain operations can use it.
class Ui {
public:
  virtual ~Ui() = default;
  virtual void message(const QString& text) = 0; // plain, one OK
  virtual void error(const QString& text) = 0;   // error symbol, OK
  virtual bool confirm(const QString& text) = 0; // question symbol, Yes/No, Yes the default
  // A question whose Yes discards typed work or deletes data: No is the default button, so
  // Enter keeps what would be lost. A Ui that offers no default button asks it as confirm().
  virtual bool confirmDefaultNo(const QString& text) { return confirm(text); }
  virtual std::optional<QString> prompt(const QString& title, const QString& label,
                                        const QString& defaultAnswer) = 0;
  virtual Progress& progress() = 0;
};

} // namespace esc
