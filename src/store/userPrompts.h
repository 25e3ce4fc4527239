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

// The Ui of a program with nobody to ask (the demo book's builder, the benchmarks): it says
// nothing, answers every question No and every prompt Cancel, and shows no progress. The
// engine's operations never ask; only the data module might, before discarding typed work.
class SilentUi : public Ui, public Progress {
public:
  void message(const QString&) override {}
  void error(const QString&) override {}
  bool confirm(const QString&) override { return false; }
  std::optional<QString> prompt(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  Progress& progress() override { return *this; }
  void setRange(int, int) override {}
  void setPosition(int) override {}
  void reset() override {}
};

} // namespace esc
