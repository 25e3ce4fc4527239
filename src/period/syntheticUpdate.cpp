#include "syntheticUpdate.h"

#include "fiscalYear.h"
#include "journal/posting.h"

#include <QHash>
#include <algorithm>

namespace esc {

namespace {

// One trial-balance row of a month as the roll-up reads it; blank amounts read as 0.
struct MonthRow {
  qint64 rowId = 0;
  QString key, code, level, nature;
  QString letterBefore, letterNow; // TipoSaldoAnterior, TipoSaldoAtual
  double before = 0, now = 0, debits = 0, credits = 0;
  bool beforeBlank = false; // SaldoAnterior stored blank: kept blank unless it is replaced
  // As stored: SaldoAnterior, SaldoAtual, ValorDebito, ValorCredito, TipoSaldoAnterior,
  // TipoSaldoAtual. A row whose new values are these is not written again.
  QVariantList stored;
  // Levels compare as text: "1" to "5" (and a blank) are synthetic, only "6" is analytic.
  bool synthetic() const { return level < QLatin1String("6"); }
  bool analytic() const { return level == QLatin1String("6"); }
};

// The month's rows in key order: period, account code, current-account code.
QVector<MonthRow> monthRows(Database& db, const QString& period) {
  QVector<MonthRow> rows;
  Statement st = db.prepare(QStringLiteral(
      "SELECT rowid, CodCtaConCodCtaCor, CodigoContaContabil, NivelDaConta, NaturezaDaConta, "
      "TipoSaldoAnterior, TipoSaldoAtual, SaldoAnterior, SaldoAtual, ValorDebito, ValorCredito "
      "FROM balanco WHERE CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor < ? AND Periodo = ? "
      "ORDER BY CodCtaConCodCtaCor"));
  st.bindAll({period, book::keyLimit(period), period});
  while (st.step()) {
    MonthRow r;
    r.rowId = st.integer(0);
    r.key = st.text(1);
    r.code = st.text(2);
    r.level = st.text(3);
    r.nature = st.text(4);
    r.letterBefore = st.text(5);
    r.letterNow = st.text(6);
    r.beforeBlank = st.isNull(7);
    r.before = st.real(7);
    r.now = st.real(8);
    r.debits = st.real(9);
    r.credits = st.real(10);
    // Only synthetic rows and the result account's are written.
    if (r.synthetic() || r.code == book::resultAccount)
      r.stored = {st.value(7), st.value(8), st.value(9), st.value(10), r.letterBefore, r.letterNow};
    rows << std::move(r);
  }
  return rows;
}

// The first row whose key is equal to or greater than `key`.
qsizetype nearest(const QVector<MonthRow>& rows, const QString& key) {
  return std::lower_bound(rows.begin(), rows.end(), key,
                          [](const MonthRow& r, const QString& k) { return r.key < k; }) -
         rows.begin();
}

// The month's result: movements of the analytic rows of groups 3 and 4 of a known nature,
// added in key order, group 3 first.
void addGroup(const QVector<MonthRow>& rows, const QString& period, const QString& group,
              double& debits, double& credits) {
  for (qsizetype i = nearest(rows, period + group);
       i < rows.size() && rows[i].code.startsWith(group); ++i) {
    const MonthRow& r = rows[i];
    if (r.analytic() && (r.nature == QLatin1String("D") || r.nature == QLatin1String("C"))) {
      debits += r.debits;
      credits += r.credits;
    }
  }
}

// A synthetic row being summed: it takes every analytic row after it whose code begins
// with its prefix.
struct OpenSum {
  qsizetype row;
  double before = 0, now = 0, debits = 0, credits = 0;
};

// Every synthetic row of the month from the analytic rows below it, in one walk: a synthetic
// row opens its sums where it stands, and each analytic row is added to the open sums of the
// prefixes its code begins with, in key order. The rows whose values change go to `changes`.
// Returns the number of synthetic rows.
int rollUpSynthetic(const QVector<MonthRow>& rows, QVector<SyntheticRowChange>& changes) {
  QVector<OpenSum> sums;
  QHash<QString, QVector<qsizetype>> byPrefix;
  QVector<qsizetype> lengths; // the distinct prefix lengths
  for (qsizetype i = 0; i < rows.size(); ++i) {
    const MonthRow& r = rows[i];
    if (r.synthetic()) {
      const QString prefix = r.code.left(qMax(0, r.level.toInt()));
      byPrefix[prefix] << sums.size();
      sums.push_back({i});
      if (!lengths.contains(prefix.size())) lengths << prefix.size();
    } else if (r.analytic()) {
      for (qsizetype length : lengths) {
        if (length > r.code.size()) continue;
        const auto it = byPrefix.constFind(r.code.left(length));
        if (it == byPrefix.constEnd()) continue;
        for (qsizetype s : *it) {
          OpenSum& sum = sums[s];
          sum.debits += r.debits;
          sum.credits += r.credits;
          if (r.nature == rows[sum.row].nature) {
            sum.before += r.before;
            sum.now += r.now;
          } else {
            sum.before -= r.before;
            sum.now -= r.now;
          }
        }
      }
    }
  }
  for (const OpenSum& sum : sums) {
    const MonthRow& r = rows[sum.row];
    const double before = roundAmount(sum.before), now = roundAmount(sum.now);
    const QVariantList values = {before,
                                 now,
                                 roundAmount(sum.debits),
                                 roundAmount(sum.credits),
                                 book::letterFor(r.nature, before).value_or(r.letterBefore),
                                 book::letterFor(r.nature, now).value_or(r.letterNow)};
    if (fiscal::sameStored(r.stored, values)) continue;
    changes.push_back({r.rowId, r.key, values, false});
  }
  return sums.size();
}

} // namespace

SyntheticRollUp computeSyntheticUpdate(Database& db, const QString& yearText, Progress& progress) {
  const QString year = yearText.trimmed();
  SyntheticRollUp out;
  progress.setRange(0, 12);
  progress.setPosition(0);
  // January's opening balance of the result account starts the chain.
  double carried =
      db.selectValue(
            QStringLiteral("SELECT SaldoAnterior FROM balanco WHERE CodCtaConCodCtaCor = ?"),
            {book::balanceKey(book::period(year, 1), book::resultPair)})
          .toDouble();
  for (int m = 1; m <= 12; ++m) {
    const QString period = book::period(year, m);
    QVector<MonthRow> rows = monthRows(db, period);
    const QString resultKey = book::balanceKey(period, book::resultPair);
    const qsizetype at = nearest(rows, resultKey);
    if (at == rows.size() || rows[at].key != resultKey) {
      out.missingResultMonth = period;
      out.changes.clear();
      return out;
    }
    MonthRow& result = rows[at];
    if (result.before != carried) {
      result.before = carried;
      result.beforeBlank = false;
    }
    double debits = 0, credits = 0;
    addGroup(rows, period, QStringLiteral("3"), debits, credits);
    addGroup(rows, period, QStringLiteral("4"), debits, credits);
    result.debits = roundAmount(debits);
    result.credits = roundAmount(credits);
    // The result account closes on the credit side.
    result.now = book::natureBalance(QStringLiteral("C"), carried, result.debits, result.credits);
    carried = result.now;
    result.letterNow = *book::letterFor(QStringLiteral("C"), result.now);
    // A synthetic result account is rewritten whole by the roll-up below.
    const QVariantList values = {result.beforeBlank ? QVariant() : QVariant(result.before),
                                 result.now,
                                 result.debits,
                                 result.credits,
                                 result.letterBefore,
                                 result.letterNow};
    if (!result.synthetic() && !fiscal::sameStored(result.stored, values))
      out.changes.push_back({result.rowId, result.key, values, true});
    out.synthetic += rollUpSynthetic(rows, out.changes);
    out.monthsDone = m;
    progress.setPosition(m);
  }
  return out;
}

std::optional<OperationResult> syntheticUpdateRefusal(Database& db, const QString& year) {
  const QString y = year.trimmed();
  if (y.isEmpty())
    return OperationResult::refused(book::text::noYearSelected, int(SyntheticRefusal::NoYear));
  if (fiscal::situation(db, y) == QStringLiteral("F"))
    return OperationResult::refused("Exercício de " + y + " está fechado. Reabra antes.",
                                    int(SyntheticRefusal::YearClosed));
  if (!db.selectValue(QStringLiteral("SELECT 1 FROM contas WHERE CodCtaConCodCtaCor = ?"),
                      {book::resultPair})
           .isValid())
    return OperationResult::refused(
        "Conta 299999, conta corrente 999 não cadastrada. Cadastre-a antes.",
        int(SyntheticRefusal::NoResultAccount));
  return std::nullopt;
}

OperationResult syntheticUpdate(Database& db, const QString& year, Progress& progress) {
  if (auto refusal = syntheticUpdateRefusal(db, year)) return *refusal;
  // Read and written under one transaction, so nothing changes between the two.
  Transaction tx(db);
  const SyntheticRollUp rollUp = computeSyntheticUpdate(db, year, progress);
  if (!rollUp.missingResultMonth.isEmpty())
    return OperationResult::refused("Conta 299999 conta corrente 999 não localizada no período " +
                                        rollUp.missingResultMonth,
                                    int(SyntheticRefusal::MissingResultMonth),
                                    {{QStringLiteral("months done"), rollUp.monthsDone}});
  for (const SyntheticRowChange& c : rollUp.changes) {
    // The result account keeps its opening letter.
    if (c.resultAccount)
      db.exec(
          QStringLiteral("UPDATE balanco SET SaldoAnterior = ?, SaldoAtual = ?, "
                         "ValorDebito = ?, ValorCredito = ?, TipoSaldoAtual = ? WHERE rowid = ?"),
          {c.values[0], c.values[1], c.values[2], c.values[3], c.values[5], c.rowId});
    else
      db.exec(
          QStringLiteral("UPDATE balanco SET SaldoAnterior = ?, SaldoAtual = ?, "
                         "ValorDebito = ?, ValorCredito = ?, TipoSaldoAnterior = ?, "
                         "TipoSaldoAtual = ? WHERE rowid = ?"),
          {c.values[0], c.values[1], c.values[2], c.values[3], c.values[4], c.values[5], c.rowId});
  }
  tx.commit();
  return OperationResult::done("Foram atualizadas " + QString::number(rollUp.synthetic) +
                                   " contas sintéticas.",
                               {{QStringLiteral("synthetic rows"), rollUp.synthetic},
                                {QStringLiteral("rows written"), rollUp.changes.size()}});
}

} // namespace esc
