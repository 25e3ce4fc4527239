#include "carryForward.h"

#include "fiscalYear.h"

#include <QHash>

namespace esc {

std::optional<OperationResult> carryForwardRefusal(Database& db, const QString& yearText) {
  const QString year = yearText.trimmed();
  if (year.isEmpty()) return OperationResult::refused(book::text::noYearSelected);
  const QString next = book::nextYear(year);
  const std::optional<QString> state = fiscal::situation(db, next);
  if (!state) return OperationResult::refused("Exercício de " + next + " ainda não foi aberto.");
  if (*state == QLatin1String("F"))
    return OperationResult::refused("Exercício de " + next + " está fechado. Abra-o antes.");
  return std::nullopt;
}

namespace carry {

Plan compute(const QString& next, const QVector<DecemberRow>& sources, QVector<NextRow> rows) {
  QHash<QString, qsizetype> byKey;
  for (qsizetype i = 0; i < rows.size(); ++i)
    byKey.insert(rows[i].key, i);
  Plan plan;
  auto write = [&](int source, const NextRow& r) {
    if (!fiscal::sameStored(r.stored, r.values())) plan.writes.push_back({source, r});
  };
  QStringList periods; // the next year's twelve periods
  for (int m = 1; m <= 12; ++m)
    periods << book::period(next, m);
  for (int s = 0; s < sources.size(); ++s) {
    const DecemberRow& d = sources[s];
    const QString pair = book::accountPair(d.code, d.current);
    const bool result = book::isResultAccount(d.code);
    double carried = result ? 0.0 : roundAmount(d.closing);
    QString letter = result ? d.nature : d.letter;
    const QString januaryKey = book::balanceKey(periods[0], pair);
    const auto january = byKey.constFind(januaryKey);
    if (january == byKey.constEnd()) return {{}, januaryKey};
    NextRow* month = &rows[*january];
    month->before = carried;
    month->letterBefore = letter;
    for (int m = 1; m <= 12; ++m) {
      // The month closes on the side of December's nature; another nature leaves the
      // month's closing alone and passes the opening on.
      if (d.nature == QLatin1String("D") || d.nature == QLatin1String("C")) {
        const double closing =
            book::natureBalance(d.nature, month->before, month->debits, month->credits);
        month->now = closing;
        month->letterNow = *book::letterFor(d.nature, closing);
        carried = closing;
        letter = month->letterNow;
      }
      if (m == 12) break;
      const auto following = byKey.constFind(book::balanceKey(periods[m], pair));
      if (following == byKey.constEnd()) continue; // the next existing month takes it
      write(s, *month);
      month = &rows[*following];
      month->before = carried;
      month->letterBefore = letter;
    }
    write(s, *month);
  }
  return plan;
}

} // namespace carry

OperationResult carryForward(Database& db, const QString& yearText, Progress& progress) {
  using namespace carry;
  if (auto refusal = carryForwardRefusal(db, yearText)) return *refusal;
  const QString year = yearText.trimmed(), next = book::nextYear(year);
  const QString december = book::period(year, 12);
  QVector<DecemberRow> sources;
  {
    Statement st = db.prepare(QStringLiteral(
        "SELECT CodigoContaContabil, CodigoContaCorrente, NaturezaDaConta, SaldoAtual, "
        "TipoSaldoAtual FROM balanco WHERE CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor < ? "
        "AND Periodo = ? ORDER BY CodCtaConCodCtaCor"));
    st.bindAll({december, book::keyLimit(december), december});
    while (st.step())
      sources.push_back({st.text(0), st.text(1), st.text(2), st.text(4), st.real(3)});
  }
  QVector<NextRow> rows;
  {
    const QString first = book::period(next, 1);
    Statement st = db.prepare(QStringLiteral(
        "SELECT rowid, CodCtaConCodCtaCor, ValorDebito, ValorCredito, SaldoAnterior, "
        "TipoSaldoAnterior, SaldoAtual, TipoSaldoAtual FROM balanco "
        "WHERE CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor < ?"));
    st.bindAll({first, book::keyLimit(book::period(next, 12))});
    while (st.step())
      rows.push_back({st.text(1),
                      st.integer(0),
                      st.real(2),
                      st.real(3),
                      st.real(4),
                      st.text(5),
                      st.value(6),
                      st.text(7),
                      {st.value(4), st.text(5), st.value(6), st.text(7)}});
  }

  ProgressSteps steps(progress, sources.size());
  const Plan plan = compute(next, sources, std::move(rows));
  // Nothing is written when a January row is missing.
  if (!plan.missingKey.isEmpty())
    return OperationResult::refused("Erro. Chave " + plan.missingKey +
                                    " não localizada no balancete.");

  Transaction tx(db);
  qsizetype w = 0;
  for (int s = 0; s < sources.size(); ++s) {
    for (; w < plan.writes.size() && plan.writes[w].source == s; ++w) {
      const NextRow& r = plan.writes[w].row;
      db.exec(QStringLiteral("UPDATE balanco SET SaldoAnterior = ?, TipoSaldoAnterior = ?, "
                             "SaldoAtual = ?, TipoSaldoAtual = ? WHERE rowid = ?"),
              {r.before, r.letterBefore, r.now, r.letterNow, r.rowId});
    }
    steps.advance();
  }
  tx.commit();
  return OperationResult::done("Retransposição de saldos de " + year + " para " + next +
                                   " concluída. " + QString::number(sources.size()) +
                                   " contas retranspostas.",
                               {{QStringLiteral("accounts carried"), sources.size()},
                                {QStringLiteral("rows written"), plan.writes.size()}});
}

} // namespace esc
