#include "yearState.h"

#include "fiscalYear.h"

namespace esc {

namespace {

// What each change refuses, stores and says after "Exercício de <year>".
struct Change {
  bool fromClosed;
  const char* refusal;
  const char* question;
  const char* situation;
  const char* done;
};

const Change& rules(YearChange change) {
  static const Change close{false, " já foi fechado anteriormente.",
                            "Confirma o fechamento do exercicio?", "F",
                            " foi fechado neste momento."};
  static const Change reopen{true, " não está fechado.", "Confirma a reabertura do exercicio?", "R",
                             " foi reaberto neste momento."};
  return change == YearChange::Close ? close : reopen;
}

} // namespace

QString yearChangeQuestion(YearChange change) {
  return QString::fromUtf8(rules(change).question);
}

std::optional<OperationResult> yearChangeRefusal(Database& db, const QString& yearText,
                                                 YearChange change) {
  const QString year = yearText.trimmed();
  if (year.isEmpty()) return OperationResult::refused(book::text::noYearSelected);
  const std::optional<QString> state = fiscal::situation(db, year);
  if (!state) return OperationResult::refused("Não existem dados para o exercício de " + year);
  const Change& c = rules(change);
  if ((*state == QLatin1String("F")) != c.fromClosed)
    return OperationResult::refused("Exercício de " + year + QString::fromUtf8(c.refusal));
  return std::nullopt;
}

OperationResult changeYearState(Database& db, const QString& yearText, YearChange change) {
  if (auto refusal = yearChangeRefusal(db, yearText, change)) return *refusal;
  const QString year = yearText.trimmed();
  const Change& c = rules(change);
  db.exec(QStringLiteral("UPDATE fechamen SET Situacao = ? WHERE Exercicio = ?"),
          {QString::fromUtf8(c.situation), year});
  return OperationResult::done("Exercício de " + year + QString::fromUtf8(c.done));
}

} // namespace esc
