#include "incomeStatementUpdate.h"

#include "book/period.h"
#include "journal/posting.h"
#include "store/formats.h"

namespace esc {

namespace {

struct Line {
  qint64 rowId;
  QString first, last, sign;
  double balance = 0;
  QVariant accumulated; // left as stored for a line of an unknown sign
};

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

OperationResult updateIncomeStatement(Database& db, const QString& typed, Progress& progress,
                                      const std::optional<QVector<qint64>>& lineIds) {
  if (auto refusal = incomeStatementRefusal(db, typed)) return *refusal;
  // Stored texts lose their trailing spaces; the period is matched and stamped the same way.
  const QString period = fmt::trimRight(typed);
  QVector<Line> todo;
  {
    Statement st = db.prepare(QStringLiteral("SELECT rowid, ContaInicial, ContaFinal, "
                                             "SinalDoGrupo, Acumulado FROM demresul WHERE "
                                             "rowid = ?1 OR ?1 IS NULL ORDER BY OrdemDoGrupo"));
    auto read = [&](const QVariant& id) {
      st.reset();
      st.bindAll({id});
      while (st.step())
        todo.push_back({st.integer(0), st.text(1), st.text(2), st.text(3), 0.0, st.value(4)});
    };
    if (!lineIds) read(QVariant());
    for (qint64 id : lineIds.value_or(QVector<qint64>()))
      read(id);
  }
  progress.setRange(0, 2 * todo.size());
  progress.setPosition(0);

  // Pass 1: each line's own total. Balances are stored signed on their own account's
  // nature, so a row adds its balance when its nature is the line's and subtracts it when
  // the nature is the other one; the line's nature is that of the first row of the range,
  // usually the range's synthetic account. The letter only repeats the sign.
  int step = 0;
  for (Line& line : todo) {
    const QString start = period + line.first, end = period + line.last;
    Statement st = db.prepare(inRange);
    st.bindAll({period, start, end});
    double sum = 0;
    bool firstRow = true;
    QString nature;
    while (st.step()) {
      if (firstRow) {
        nature = st.text(2);
        firstRow = false;
      }
      if (st.text(0) != QLatin1String("6")) continue;
      const double value = st.real(1);
      if (st.text(2) == nature)
        sum += value;
      else
        sum -= value;
    }
    line.balance = roundAmount(sum);
    progress.setPosition(++step);
  }

  // Pass 2: the running result, in the lines' order.
  double result = 0;
  Transaction tx(db);
  for (Line& line : todo) {
    QVariant own = line.balance, accumulated = line.accumulated;
    if (line.sign == QLatin1String("+")) {
      accumulated = 0.0;
      result = roundAmount(result + line.balance);
    } else if (line.sign == QLatin1String("-")) {
      accumulated = 0.0;
      result = roundAmount(result - line.balance);
    } else if (line.sign == QLatin1String("=")) {
      accumulated = result;
      own = 0.0;
    } else if (line.sign.trimmed().isEmpty()) {
      accumulated = line.balance;
      own = 0.0;
    }
    db.exec("UPDATE demresul SET SaldoDoGrupo = ?, AnoEMes = ?, Acumulado = ? WHERE rowid = ?",
            {own, period, accumulated, line.rowId});
    progress.setPosition(++step);
  }
  tx.commit();
  return OperationResult::done("Atualização concluída para o período de " +
                                   book::periodMonth(period) + "/" + book::periodYear(period) + ".",
                               {{QStringLiteral("lines written"), todo.size()}});
}

} // namespace esc
