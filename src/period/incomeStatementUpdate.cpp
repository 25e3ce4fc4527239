#include "incomeStatementUpdate.h"

#include "book/amounts.h"
#include "book/period.h"
#include "store/formats.h"

namespace esc {

namespace {

// The key order of the trial balance, so that sums are added in the sequence the rows are
// kept in and come out the same to the last bit however often the update runs.
const QString inRange =
    QStringLiteral("SELECT NivelDaConta, SaldoAtual, NaturezaDaConta FROM balanco "
                   "WHERE Periodo = ? AND CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor <= ? "
                   "ORDER BY CodCtaConCodCtaCor, rowid");

} // namespace

std::optional<OperationResult> incomeStatementRefusal(Database& db, const QString& typed) {
  const QString period = fmt::trimRight(typed);
  // An empty period is no restriction at all: it must not match the rows of a blank period.
  const bool any =
      !period.trimmed().isEmpty() &&
      db.selectValue("SELECT 1 FROM balanco WHERE Periodo = ? LIMIT 1", {period}).isValid();
  if (!any)
    return OperationResult::refused(
        QStringLiteral("Não existem registros para o período informado."));
  return std::nullopt;
}

namespace incomeStatement {

QVector<Values> compute(const QVector<Line>& lines) {
  QVector<Values> out;
  out.reserve(lines.size());
  double result = 0;
  for (const Line& line : lines) {
    // Balances are stored signed on their own account's nature, so a row adds its balance
    // when its nature is the line's and subtracts it when the nature is the other one; the
    // line's nature is that of the first row of the range, usually the range's synthetic
    // account. The letter only repeats the sign.
    double sum = 0;
    for (const RangeRow& r : line.rows) {
      if (r.level != QLatin1String("6")) continue;
      if (r.nature == line.rows.first().nature)
        sum += r.balance;
      else
        sum -= r.balance;
    }
    const double balance = roundAmount(sum);
    QVariant own = balance, accumulated = line.accumulated;
    if (line.sign == QLatin1String("+")) {
      accumulated = 0.0;
      result = roundAmount(result + balance);
    } else if (line.sign == QLatin1String("-")) {
      accumulated = 0.0;
      result = roundAmount(result - balance);
    } else if (line.sign == QLatin1String("=")) {
      accumulated = result;
      own = 0.0;
    } else if (line.sign.trimmed().isEmpty()) {
      accumulated = balance;
      own = 0.0;
    }
    out.push_back({line.rowId, own, accumulated});
  }
  return out;
}

} // namespace incomeStatement

OperationResult updateIncomeStatement(Database& db, const QString& typed, Progress& progress,
                                      const std::optional<QVector<qint64>>& lineIds) {
  using namespace incomeStatement;
  if (auto refusal = incomeStatementRefusal(db, typed)) return *refusal;
  // Stored texts lose their trailing spaces; the period is matched and stamped the same way.
  const QString period = fmt::trimRight(typed);
  QVector<Line> todo;
  QVector<std::pair<QString, QString>> ranges; // each line's first and last account
  {
    Statement st = db.prepare(QStringLiteral("SELECT rowid, ContaInicial, ContaFinal, "
                                             "SinalDoGrupo, Acumulado FROM demresul WHERE "
                                             "rowid = ?1 OR ?1 IS NULL ORDER BY OrdemDoGrupo"));
    auto read = [&](const QVariant& id) {
      st.reset();
      st.bindAll({id});
      while (st.step()) {
        todo.push_back({st.integer(0), st.text(3), st.value(4), {}});
        ranges.push_back({st.text(1), st.text(2)});
      }
    };
    if (!lineIds) read(QVariant());
    for (qint64 id : lineIds.value_or(QVector<qint64>()))
      read(id);
  }
  progress.setRange(0, 2 * todo.size());
  progress.setPosition(0);

  // The rows of each line's range, one pass of the bar.
  int step = 0;
  for (qsizetype i = 0; i < todo.size(); ++i) {
    Statement st = db.prepare(inRange);
    st.bindAll({period, period + ranges[i].first, period + ranges[i].second});
    while (st.step())
      todo[i].rows.push_back({st.text(0), st.text(2), st.real(1)});
    progress.setPosition(++step);
  }

  // The lines' values, written in the lines' order, the other pass.
  const QVector<Values> values = compute(todo);
  Transaction tx(db);
  for (const Values& v : values) {
    db.exec("UPDATE demresul SET SaldoDoGrupo = ?, AnoEMes = ?, Acumulado = ? WHERE rowid = ?",
            {v.own, period, v.accumulated, v.rowId});
    progress.setPosition(++step);
  }
  tx.commit();
  return OperationResult::done("Atualização concluída para o período de " +
                                   book::periodMonth(period) + "/" + book::periodYear(period) + ".",
                               {{QStringLiteral("lines written"), todo.size()}});
}

} // namespace esc
