#include "terminal.h"

#include <QTextStream>
#include <unistd.h>

namespace esc::cli {

namespace {

QTextStream& err() {
  static QTextStream stream(stderr);
  return stream;
}

} // namespace

void say(const QString& text) {
  err() << "escrivon-cli: " << text << "\n";
  err().flush();
}

TerminalProgress::TerminalProgress() : terminal_(isatty(STDERR_FILENO) != 0) {}

void TerminalProgress::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  percent_ = -1;
}

void TerminalProgress::setPosition(int position) {
  if (!terminal_ || maximum_ <= minimum_) return;
  const int done = qBound(0, position - minimum_, maximum_ - minimum_);
  const int total = maximum_ - minimum_;
  const int percent = int(qint64(done) * 100 / total);
  if (percent == percent_) return;
  percent_ = percent;
  err() << "\r" << done << "/" << total << " (" << percent << "%)\x1b[K";
  err().flush();
  shown_ = true;
}

void TerminalProgress::reset() {
  clear();
  minimum_ = maximum_ = 0;
  percent_ = -1;
}

void TerminalProgress::clear() {
  if (!shown_) return;
  err() << "\r\x1b[K";
  err().flush();
  shown_ = false;
  percent_ = -1;
}

void ConsoleUi::message(const QString& text) {
  progress_.clear();
  err() << text << "\n";
  err().flush();
}

void ConsoleUi::error(const QString& text) {
  message(text);
}

bool ConsoleUi::confirm(const QString&) {
  return true;
}

std::optional<QString> ConsoleUi::prompt(const QString&, const QString&,
                                         const QString& defaultAnswer) {
  return defaultAnswer;
}

} // namespace esc::cli
