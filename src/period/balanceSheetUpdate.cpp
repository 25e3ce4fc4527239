#include "balanceSheetUpdate.h"

#include "fiscalYear.h"

#include <QHash>
#include <algorithm>

namespace esc {

namespace {

// Steps of one progress run, without a message per row on a large book.
class Run {
public:
  Run(Progress& p, int maximum) : p_(p), max_(std::max(maximum, 0)) {
    p_.setRange(0, max_);
    p_.setPosition(0);
  }
  void step(int n = 1) {
    done_ += n;
    const int at = std::min(done_, max_);
    if (at * 100LL / std::max(max_, 1) != shown_ || at == max_) {
      shown_ = int(at * 100LL / std::max(max_, 1));
      p_.setPosition(at);
    }
  }

private:
  Progress& p_;
  int max_, done_ = 0, shown_ = -1;
};

// The letter of a balance: analytic rows follow the nature "C" or else "D"; synthetic
// rows follow "C" or "D" and keep `current` for any other nature.
QString analyticLetter(const QString& nature, double value) {
  return *book::letterFor(nature == QLatin1String("C") ? nature : QStringLiteral("D"), value);
}

QString syntheticLetter(const QString& nature, double value, const QString& current) {
  return book::letterFor(nature, value).value_or(current);
}

} // namespace

namespace balanceSheet {

QVector<Row> compute(const QVector<Account>& accounts, const QVector<Movement>& movements) {
  QVector<Row> rows;
  rows.reserve(accounts.size());
  for (const Account& a : accounts) {
    Row r;
    r.code = a.code;
    r.nature = a.nature;
    r.level = a.level;
    r.openingLetter = a.openingLetter;
    r.opening = r.analytic() ? 0 : a.opening;
    rows.push_back(r);
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.code.toUtf8() < b.code.toUtf8(); });
  QHash<QString, int> byCode;
  for (int i = 0; i < rows.size(); ++i)
    byCode.insert(rows[i].code, i);

  // Analytic totals, added in the trial balance's key order, so each code's sums come out as
  // a row-by-row walk would add them.
  for (const Movement& m : movements) {
    const auto it = byCode.constFind(m.code);
    if (it == byCode.cend()) continue;
    Row& r = rows[*it];
    if (!r.analytic()) continue;
    r.debits += m.debits;
    r.credits += m.credits;
    if (m.month == 1) r.opening += m.opening;
    if (m.month == 12) r.closing += m.closing;
  }
  for (Row& r : rows) {
    if (!r.analytic()) continue;
    r.debits = roundAmount(r.debits);
    r.credits = roundAmount(r.credits);
    r.opening = roundAmount(r.opening);
    r.closing = roundAmount(r.closing);
    r.openingLetter = analyticLetter(r.nature, r.opening);
    r.closingLetter = analyticLetter(r.nature, r.closing);
  }

  // Roll-up: a synthetic row totals the analytic rows after it whose codes begin with its
  // first n characters. In the table's text order those rows follow it without a gap, so the
  // scan ends at the first code outside the prefix.
  for (int i = 0; i < rows.size(); ++i) {
    Row& s = rows[i];
    if (!(s.level < QLatin1String("6"))) continue;
    // A level that is not a number names no prefix: every later analytic row counts.
    const QString prefix = s.code.left(std::max(s.level.toInt(), 0));
    double debits = 0, credits = 0, opening = 0, closing = 0;
    for (int j = i + 1; j < rows.size() && rows[j].code.startsWith(prefix); ++j) {
      const Row& a = rows[j];
      if (!a.analytic()) continue;
      debits += a.debits;
      credits += a.credits;
      if (a.nature == s.nature) {
        opening += a.opening;
        closing += a.closing;
      } else {
        opening -= a.opening;
        closing -= a.closing;
      }
    }
    s.debits = roundAmount(debits);
    s.credits = roundAmount(credits);
    s.opening = roundAmount(opening);
    s.closing = roundAmount(closing);
    s.openingLetter = syntheticLetter(s.nature, s.opening, s.openingLetter);
    s.closingLetter = syntheticLetter(s.nature, s.closing, s.closingLetter);
  }
  return rows;
}

} // namespace balanceSheet

OperationResult updateBalanceSheet(Database& db, const QString& yearText, Progress& progress) {
  using namespace balanceSheet;
  const QString year = yearText.trimmed();
  if (year.isEmpty()) return OperationResult::refused(book::text::noYearSelected);
  const QString january = book::period(year, 1), december = book::period(year, 12);

  // The old rows go first, one progress step each.
  const int old = db.selectValue("SELECT count(*) FROM balpatri").toInt();
  Run(progress, old).step(old);

  // One walk over the year's rows of groups 1 and 2 in account order gives each code its
  // row (nature, level and opening balance of the code's first row). The walk stops at
  // the first code of group 3, so every code that begins below "3" takes part.
  const int toWalk = db.selectValue("SELECT count(*) FROM balanco WHERE Periodo >= ? AND "
                                    "Periodo <= ? AND CodigoContaContabil < '300000'",
                                    {january, december})
                         .toInt();
  QVector<Account> accounts;
  int analytic = 0;
  {
    Run copying(progress, toWalk);
    Statement st = db.prepare(
        "SELECT CodigoContaContabil, NaturezaDaConta, NivelDaConta, TipoSaldoAnterior, "
        "SaldoAnterior FROM balanco WHERE Periodo >= ? AND Periodo <= ? "
        "AND substr(CodigoContaContabil, 1, 1) < '3' "
        "ORDER BY CodigoContaContabil COLLATE ESCI, CodigoContaCorrente COLLATE ESCI, rowid");
    st.bindAll({january, december});
    QString previous = QStringLiteral("999999");
    while (st.step()) {
      const QString code = st.text(0);
      if (code != previous) {
        accounts.push_back({code, st.text(1), st.text(2), st.text(3), st.real(4)});
        analytic += accounts.last().level == QLatin1String("6");
        previous = code;
      }
      copying.step();
    }
  }

  QVector<Movement> movements;
  Run totals(progress, analytic);
  {
    Statement st =
        db.prepare("SELECT CodigoContaContabil, Periodo, ValorDebito, ValorCredito, SaldoAnterior, "
                   "SaldoAtual FROM balanco WHERE Periodo >= ? AND Periodo <= ? "
                   "AND substr(CodigoContaContabil, 1, 1) < '3' "
                   "ORDER BY CodCtaConCodCtaCor COLLATE ESCI, rowid");
    st.bindAll({january, december});
    while (st.step()) {
      const QString p = st.text(1);
      const int month = p == january ? 1 : p == december ? 12 : 0;
      movements.push_back({st.text(0), month, st.real(2), st.real(3), st.real(4), st.real(5)});
    }
  }

  const QVector<Row> rows = compute(accounts, movements);
  totals.step(analytic);
  Run(progress, rows.size()).step(rows.size());

  Transaction tx(db);
  db.exec("DELETE FROM balpatri");
  for (const Row& r : rows)
    db.exec("INSERT INTO balpatri (CodigoContaContabil, TipoSaldoAnterior, SaldoAnterior, "
            "ValorCredito, ValorDebito, SaldoAtual, TipoSaldoAtual, NaturezaDaConta, "
            "NivelDaConta, Periodo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {r.code, r.openingLetter, r.opening, r.credits, r.debits, r.closing, r.closingLetter,
             r.nature, r.level, year});
  tx.commit();
  return OperationResult::done("Atualização concluída para o período de " + year,
                               {{QStringLiteral("rows written"), rows.size()}});
}

} // namespace esc
