#include "carryForward.h"

#include "fiscalYear.h"
#include "journal/posting.h"

#include <QHash>

namespace esc {

namespace {

// A row of the next year as the chain needs it. Blank movements read as 0; a closing that
// the chain does not compute is written back as it was, blank included.
struct NextRow {
  qint64 rowId = 0;
  double debits = 0, credits = 0;
  double before = 0;
  QString letterBefore;
  QVariant now;
  QString letterNow;
  QVariantList stored; // the four values as they were read: an unchanged row is not written
  QVariantList values() const { return {before, letterBefore, now, letterNow}; }
};

struct DecemberRow {
  QString code, current, nature, letter;
  double closing = 0;
};

} // namespace

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

OperationResult carryForward(Database& db, const QString& yearText, Progress& progress) {
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
  QHash<QString, qsizetype> byKey;
  {
    const QString first = book::period(next, 1);
    Statement st = db.prepare(QStringLiteral(
        "SELECT rowid, CodCtaConCodCtaCor, ValorDebito, ValorCredito, SaldoAnterior, "
        "TipoSaldoAnterior, SaldoAtual, TipoSaldoAtual FROM balanco "
        "WHERE CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor < ?"));
    st.bindAll({first, book::keyLimit(book::period(next, 12))});
    while (st.step()) {
      byKey.insert(st.text(1), rows.size());
      rows.push_back({st.integer(0),
                      st.real(2),
                      st.real(3),
                      st.real(4),
                      st.text(5),
                      st.value(6),
                      st.text(7),
                      {st.value(4), st.text(5), st.value(6), st.text(7)}});
    }
  }

  Transaction tx(db);
  ProgressSteps steps(progress, sources.size());
  int written = 0;
  auto write = [&](const NextRow& r) {
    if (fiscal::sameStored(r.stored, r.values())) return;
    db.exec(QStringLiteral("UPDATE balanco SET SaldoAnterior = ?, TipoSaldoAnterior = ?, "
                           "SaldoAtual = ?, TipoSaldoAtual = ? WHERE rowid = ?"),
            {r.before, r.letterBefore, r.now, r.letterNow, r.rowId});
    ++written;
  };
  QStringList periods; // the next year's twelve periods
  for (int m = 1; m <= 12; ++m)
    periods << book::period(next, m);
  for (const DecemberRow& d : sources) {
    const QString pair = book::accountPair(d.code, d.current);
    const bool result = book::isResultAccount(d.code);
    double carried = result ? 0.0 : roundAmount(d.closing);
    QString letter = result ? d.nature : d.letter;
    const QString januaryKey = book::balanceKey(periods[0], pair);
    const auto january = byKey.constFind(januaryKey);
    // The transaction rolls back the accounts already carried.
    if (january == byKey.constEnd())
      return OperationResult::refused("Erro. Chave " + januaryKey +
                                      " não localizada no balancete.");
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
      write(*month);
      month = &rows[*following];
      month->before = carried;
      month->letterBefore = letter;
    }
    write(*month);
    steps.advance();
  }
  tx.commit();
  return OperationResult::done("Retransposição de saldos de " + year + " para " + next +
                                   " concluída. " + QString::number(sources.size()) +
                                   " contas retranspostas.",
                               {{QStringLiteral("accounts carried"), sources.size()},
                                {QStringLiteral("rows written"), written}});
}

} // namespace esc
