#pragma once
#include "store/userPrompts.h"
#include "ui/mainContext.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace esc {

// The Ui of tests: records every text in order and answers from queues. An unexpected
// question (empty queue) answers No / Cancel and is recorded, so a test sees it.
class ScriptedUi : public Ui, public Progress {
public:
  struct Said {
    QString kind; // "message", "error", "confirm", "prompt"
    QString text;
    bool defaultNo = false; // a confirmation offered with "Não" as its default button
  };

  void message(const QString& text) override { said.push_back({"message", text}); }
  void error(const QString& text) override { said.push_back({"error", text}); }
  bool confirm(const QString& text) override;
  bool confirmDefaultNo(const QString& text) override;
  std::optional<QString> prompt(const QString& title, const QString& label,
                                const QString& defaultAnswer) override;
  Progress& progress() override { return *this; }

  void setRange(int minimum, int maximum) override {
    rangeMin = minimum;
    rangeMax = maximum;
  }
  void setPosition(int p) override {
    position = p;
    positions.push_back(p);
  }
  void reset() override { position = 0; }

  QStringList texts() const; // every text said, in order
  QStringList texts(const QString& kind) const;
  void clear() { said.clear(); }

  std::deque<bool> confirmAnswers;
  std::deque<std::optional<QString>> promptAnswers; // nullopt = Cancel
  std::vector<Said> said;
  QString lastPromptTitle, lastPromptLabel, lastPromptDefault;
  int rangeMin = 0, rangeMax = 0, position = 0;
  std::vector<int> positions;        // every position the bar was moved to
  std::function<void()> whileAsking; // what happens elsewhere while a question is open
};

// The main window's context for tests of pages on their own: the year is set by the test.
class SimpleContext : public MainContext {
public:
  SimpleContext(TDEscrivon& dm, Ui& ui) : dm_(dm), ui_(ui) {}
  TDEscrivon& dm() override { return dm_; }
  Ui& ui() override { return ui_; }
  QString selectedYear() const override { return year; }
  QString year;

private:
  TDEscrivon& dm_;
  Ui& ui_;
};

} // namespace esc
