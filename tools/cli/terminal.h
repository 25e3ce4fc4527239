#pragma once
#include "store/userPrompts.h"

#include <QString>

namespace esc::cli {

// The progress of a long command: one line on the error output, rewritten in place with the
// counter and the percentage, and only when the error output is a terminal (a script or a
// log gets nothing). Redrawn only when the percentage moves.
class TerminalProgress : public Progress {
public:
  TerminalProgress();
  void setRange(int minimum, int maximum) override;
  void setPosition(int position) override;
  void reset() override;
  // Clears the line before a message is written under it.
  void clear();

private:
  bool shown_ = false;
  bool terminal_;
  int minimum_ = 0, maximum_ = 0, percent_ = -1;
};

// What the data module and the operations say, said on the error output. Running a command is
// its confirmation: every question is answered Yes; a prompt takes its default answer.
class ConsoleUi : public Ui {
public:
  void message(const QString& text) override;
  void error(const QString& text) override;
  bool confirm(const QString& text) override;
  std::optional<QString> prompt(const QString& title, const QString& label,
                                const QString& defaultAnswer) override;
  Progress& progress() override { return progress_; }

private:
  TerminalProgress progress_;
};

// A line on the error output, with the program's name before it.
void say(const QString& text);

} // namespace esc::cli
