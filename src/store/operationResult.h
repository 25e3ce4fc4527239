#pragma once
#include "store/userPrompts.h"

#include <QString>
#include <QVector>
#include <utility>

namespace esc {

// What a book operation did: done, with the message that says so and its figures, or refused,
// with the system's own text and nothing changed. Operations never ask and never show: the
// page, the command line or the test that called one says the message. A store failure is not
// a result: the operation throws StoreError after its transaction rolled back.
class OperationResult {
public:
  // A count the operation reports ("rows written", "accounts carried"...), named as the
  // operation's comment names it.
  struct Figure {
    QString name;
    qint64 value = 0;
  };

  static OperationResult done(const QString& message, QVector<Figure> figures = {}) {
    return OperationResult(true, message, 0, std::move(figures));
  }
  // `reason` tells a caller that acts on the kind of refusal which one it was, numbered by the
  // operation; figures say how far it got.
  static OperationResult refused(const QString& message, int reason = 0,
                                 QVector<Figure> figures = {}) {
    return OperationResult(false, message, reason, std::move(figures));
  }

  bool isDone() const { return done_; }
  bool isRefused() const { return !done_; }
  const QString& message() const { return message_; }
  int reason() const { return reason_; }
  const QVector<Figure>& figures() const { return figures_; }
  // The figure of that name; 0 when the operation did not count it.
  qint64 figure(const QString& name) const {
    for (const Figure& f : figures_)
      if (f.name == name) return f.value;
    return 0;
  }

private:
  OperationResult(bool done, const QString& message, int reason, QVector<Figure> figures)
      : done_(done), message_(message), reason_(reason), figures_(std::move(figures)) {}
  bool done_;
  QString message_;
  int reason_;
  QVector<Figure> figures_;
};

// A progress sink for callers without a bar (tools, benchmarks, tests).
class NoProgress : public Progress {
public:
  void setRange(int, int) override {}
  void setPosition(int) override {}
  void reset() override {}
};

} // namespace esc
