#include "bookCheck.h"

#include "book/amounts.h"
#include "book/keys.h"
#include "book/period.h"
#include "store/formats.h"
#include "store/operationResult.h"
#include "syntheticUpdate.h"

#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QSet>

namespace esc {

namespace {

using Kind = BookFinding::Kind;

bool differ(double a, double b) {
  return roundAmount(a - b) != 0.0;
}

QString pairText(const QString& code, const QString& current) {
  return "conta " + code + " conta corrente " + current;
}

struct Movement {
  double debits = 0, credits = 0;
};

class Checker {
public:
  Checker(Database& db, Progress& progress) : db_(db), progress_(progress) {}

  BookCheck run() {
    const QVector<QVariantList> files = db_.select(QStringLiteral(
        "SELECT name, file FROM pragma_database_list WHERE name <> 'temp' AND file <> ''"));
    years_ = yearsOfTheTrialBalance();
    progress_.setRange(0, int(files.size() + years_.size()));
    int step = 0;
    for (const QVariantList& f : files) {
      checkFile(f[0].toString(), f[1].toString());
      progress_.setPosition(++step);
    }
    checkDocuments();
    checkTrialBalance();
    for (const QString& year : years_) {
      checkSynthetic(year);
      progress_.setPosition(++step);
    }
    checkBalanceSheet();
    checkIncomeStatement();
    return std::move(out_);
  }

private:
  void fault(Kind kind, const QString& where, const QString& text) {
    out_.faults.push_back({kind, where, text});
  }
  void warn(Kind kind, const QString& where, const QString& text) {
    out_.warnings.push_back({kind, where, text});
  }

  QStringList yearsOfTheTrialBalance() {
    QStringList years;
    for (const QVariantList& r :
         db_.select(QStringLiteral("SELECT DISTINCT substr(Periodo, 1, 4) FROM balanco "
                                   "WHERE Periodo <> '' ORDER BY 1")))
      years << r[0].toString();
    return years;
  }

  // SQLite's own check of one attached file: pages, records and every index.
  void checkFile(const QString& schema, const QString& path) {
    ++out_.checks;
    const QString name = QFileInfo(path).fileName();
    Statement st = db_.prepare(QStringLiteral("PRAGMA \"%1\".integrity_check(20)").arg(schema));
    QStringList problems;
    while (st.step())
      if (st.text(0) != QLatin1String("ok")) problems << st.text(0);
    if (!problems.isEmpty())
      fault(Kind::DamagedFile, name, "Arquivo " + name + " danificado: " + problems.join("; "));
  }

  // Processing marks all of a document's entries in one transaction, so a document is either
  // wholly processed or not at all.
  void checkDocuments() {
    ++out_.checks;
    for (const QVariantList& r : db_.select(QStringLiteral(
             "SELECT NumeroDocumento, sum(Situacao = 'P'), count(*) FROM lancamen "
             "GROUP BY NumeroDocumento HAVING sum(Situacao = 'P') BETWEEN 1 AND count(*) - 1 "
             "ORDER BY NumeroDocumento")))
      fault(Kind::PartlyProcessed, r[0].toString(),
            QStringLiteral("Documento %1 processado em parte: %2 de %3 lançamentos processados.")
                .arg(r[0].toString())
                .arg(r[1].toLongLong())
                .arg(r[2].toLongLong()));
  }

  // The processed entries' movements by trial-balance key (the fiscal year and the month of
  // the entry's key, then its account pair).
  QHash<QString, Movement> processedMovements() {
    QHash<QString, Movement> sums;
    Statement st = db_.query(
        QStringLiteral("SELECT substr(AnoContasMesDia, 1, 4) || substr(AnoContasMesDia, 25, 2), "
                       "CodigoContaContabil, CodigoContaCorrente, "
                       "total(CASE WHEN TipoDeLancamento = 'D' THEN ValorLancamento END), "
                       "total(CASE WHEN TipoDeLancamento = 'C' THEN ValorLancamento END) "
                       "FROM lancamen WHERE Situacao = 'P' GROUP BY 1, 2, 3"));
    while (st.step())
      sums.insert(book::balanceKey(st.text(0), book::accountPair(st.text(1), st.text(2))),
                  {st.real(3), st.real(4)});
    return sums;
  }

  // One walk over every trial-balance row in key order (period, then account pair) checks
  // each row against itself, against the month before it and against its entries, and adds
  // up each month.
  void checkTrialBalance() {
    out_.checks += 5 * int(years_.size());
    QHash<QString, Movement> entries = processedMovements();
    struct Previous {
      QString year;
      QString period;
      double closing = 0;
    };
    QHash<QString, Previous> previous; // by account pair
    QMap<QString, quint16> months;     // by year and pair: a bit per month present
    QMap<QString, QString> pairNames;
    QMap<QString, Movement> monthTotals; // by period, analytic rows
    Statement st = db_.query(QStringLiteral(
        "SELECT CodCtaConCodCtaCor, Periodo, CodigoContaContabil, CodigoContaCorrente, "
        "NivelDaConta, NaturezaDaConta, SaldoAnterior, SaldoAtual, ValorDebito, ValorCredito "
        "FROM balanco ORDER BY CodCtaConCodCtaCor, rowid"));
    while (st.step()) {
      const QString key = st.text(0), period = st.text(1), code = st.text(2), current = st.text(3),
                    level = st.text(4);
      const QString year = book::periodYear(period);
      const int month = book::periodMonth(period).toInt();
      const QString pair = book::accountPair(code, current);
      const bool result = pair == book::resultPair;
      // The result account closes on the credit side whatever its nature says.
      const QString nature = result ? QStringLiteral("C") : st.text(5);
      const double opening = st.real(6), closing = st.real(7), debits = st.real(8),
                   credits = st.real(9);
      const QString where = period + " " + pairText(code, current);

      if (month >= 1 && month <= 12) months[year + "|" + pair] |= quint16(1u << (month - 1));
      pairNames.insert(year + "|" + pair, pairText(code, current));

      const bool known = nature == QLatin1String("D") || nature == QLatin1String("C");
      if (known) {
        const double expected = book::natureBalance(nature, opening, debits, credits);
        if (differ(closing, expected))
          fault(Kind::ClosingDiffers, key,
                "Período " + where + ": saldo atual " + fmt::amount(closing) +
                    ", mas saldo anterior mais o movimento dá " + fmt::amount(expected) + ".");
        const auto prev = previous.constFind(pair);
        if (prev != previous.cend() && prev->year == year && differ(opening, prev->closing))
          fault(Kind::OpeningDiffers, key,
                "Período " + where + ": saldo anterior " + fmt::amount(opening) +
                    " difere do saldo atual de " + prev->period + ", " +
                    fmt::amount(prev->closing) + ".");
      }
      previous.insert(pair, {year, period, closing});

      if (level == QLatin1String("6") && !result) {
        const Movement posted = entries.take(key);
        if (differ(debits, posted.debits) || differ(credits, posted.credits))
          fault(Kind::MovementsDiffer, key,
                "Período " + where + ": débitos " + fmt::amount(debits) + " e créditos " +
                    fmt::amount(credits) + " no balancete, " + fmt::amount(posted.debits) + " e " +
                    fmt::amount(posted.credits) + " nos lançamentos processados.");
        Movement& total = monthTotals[period];
        total.debits += debits;
        total.credits += credits;
      }
    }
    // Processed entries whose month row is missing or not analytic.
    QStringList orphans = entries.keys();
    orphans.sort();
    for (const QString& key : orphans) {
      const Movement& m = entries[key];
      if (!differ(m.debits, 0) && !differ(m.credits, 0)) continue;
      fault(Kind::MovementsDiffer, key,
            "Chave " + key + ": débitos " + fmt::amount(m.debits) + " e créditos " +
                fmt::amount(m.credits) +
                " nos lançamentos processados, sem linha analítica no balancete.");
    }
    for (auto it = months.cbegin(); it != months.cend(); ++it) {
      if (it.value() == 0xFFF) continue;
      QStringList missing;
      for (int m = 1; m <= 12; ++m)
        if (!(it.value() & (1u << (m - 1)))) missing << QString::number(m).rightJustified(2, '0');
      const QString year = it.key().section('|', 0, 0);
      fault(Kind::MissingMonths, it.key(),
            "Exercício " + year + ", " + pairNames.value(it.key()) + ": faltam os meses " +
                missing.join(", ") + ".");
    }
    for (auto it = monthTotals.cbegin(); it != monthTotals.cend(); ++it)
      if (differ(it->debits, it->credits))
        fault(Kind::MonthUnbalanced, it.key(),
              "Período " + it.key() + ": débitos " + fmt::amount(it->debits) +
                  " diferentes dos créditos " + fmt::amount(it->credits) +
                  " nas contas analíticas.");
  }

  // The synthetic rows and the result account as the roll-up would write them now.
  void checkSynthetic(const QString& year) {
    ++out_.checks;
    NoProgress quiet;
    const SyntheticRollUp rollUp = computeSyntheticUpdate(db_, year, quiet);
    if (!rollUp.missingResultMonth.isEmpty()) {
      warn(Kind::SyntheticOutdated, year,
           "Exercício " + year + ": conta 299999 conta corrente 999 não localizada no período " +
               rollUp.missingResultMonth + "; as contas sintéticas não foram conferidas.");
    } else if (!rollUp.changes.isEmpty()) {
      warn(Kind::SyntheticOutdated, year,
           QStringLiteral("Exercício %1: %2 linha(s) de contas sintéticas ou da conta de "
                          "resultado diferem do balancete analítico (a primeira, %3); execute "
                          "a atualização de contas sintéticas.")
               .arg(year)
               .arg(rollUp.changes.size())
               .arg(rollUp.changes.first().key));
    }
  }

  // The analytic rows of the balance sheet against the year's trial balance they were
  // totalled from: movements of the year, January's opening and December's closing.
  void checkBalanceSheet() {
    const QString year =
        db_.selectValue(QStringLiteral("SELECT Periodo FROM balpatri LIMIT 1")).toString();
    if (year.isEmpty()) return;
    ++out_.checks;
    const QString january = book::period(year, 1), december = book::period(year, 12);
    QHash<QString, QVector<double>> fromTrialBalance;
    for (const QVariantList& r : db_.select(
             QStringLiteral("SELECT CodigoContaContabil, total(ValorDebito), total(ValorCredito), "
                            "total(CASE WHEN Periodo = ?1 THEN SaldoAnterior END), "
                            "total(CASE WHEN Periodo = ?2 THEN SaldoAtual END) FROM balanco "
                            "WHERE Periodo >= ?1 AND Periodo <= ?2 AND substr(CodigoContaContabil, "
                            "1, 1) < '3' "
                            "GROUP BY CodigoContaContabil"),
             {january, december}))
      fromTrialBalance.insert(r[0].toString(),
                              {r[1].toDouble(), r[2].toDouble(), r[3].toDouble(), r[4].toDouble()});
    bool outdated = false;
    QSet<QString> seen;
    for (const QVariantList& r : db_.select(QStringLiteral(
             "SELECT CodigoContaContabil, NivelDaConta, ValorDebito, ValorCredito, SaldoAnterior, "
             "SaldoAtual FROM balpatri"))) {
      const QString code = r[0].toString();
      seen.insert(code);
      const auto it = fromTrialBalance.constFind(code);
      if (it == fromTrialBalance.cend()) {
        outdated = true;
        continue;
      }
      if (r[1].toString() != QLatin1String("6")) continue;
      for (int i = 0; i < 4; ++i)
        outdated = outdated || differ(r[2 + i].toDouble(), (*it)[i]);
    }
    outdated = outdated || seen.size() != fromTrialBalance.size();
    if (outdated)
      warn(Kind::StatementOutdated, year,
           "O balanço patrimonial de " + year +
               " é anterior ao balancete; execute a atualização do balanço patrimonial.");
  }

  // Each line of the income statement against its period's closing balances: the analytic
  // rows of its range, signed on the nature of the range's first row.
  void checkIncomeStatement() {
    const QVector<QVariantList> lines = db_.select(QStringLiteral(
        "SELECT AnoEMes, ContaInicial, ContaFinal, SinalDoGrupo, SaldoDoGrupo, Acumulado, "
        "OrdemDoGrupo FROM demresul WHERE AnoEMes <> '' ORDER BY OrdemDoGrupo"));
    if (lines.isEmpty()) return;
    ++out_.checks;
    QStringList outdated;
    for (const QVariantList& line : lines) {
      const QString period = line[0].toString(), sign = line[3].toString();
      if (sign == QLatin1String("=")) continue; // the running result of the lines above
      Statement st = db_.query(
          QStringLiteral("SELECT NivelDaConta, SaldoAtual, NaturezaDaConta FROM balanco "
                         "WHERE Periodo = ? AND CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor "
                         "<= ? ORDER BY CodCtaConCodCtaCor, rowid"),
          {period, period + line[1].toString(), period + line[2].toString()});
      double sum = 0;
      QString nature;
      bool first = true;
      while (st.step()) {
        if (first) nature = st.text(2);
        first = false;
        if (st.text(0) != QLatin1String("6")) continue;
        sum += st.text(2) == nature ? st.real(1) : -st.real(1);
      }
      const double stored = sign.trimmed().isEmpty() ? line[5].toDouble() : line[4].toDouble();
      if (differ(stored, roundAmount(sum)) && !outdated.contains(period)) outdated << period;
    }
    for (const QString& period : outdated)
      warn(Kind::StatementOutdated, period,
           "A demonstração de resultado de " + book::periodMonth(period) + "/" +
               book::periodYear(period) +
               " é anterior ao balancete; execute a atualização da demonstração de resultado.");
  }

  Database& db_;
  Progress& progress_;
  QStringList years_;
  BookCheck out_;
};

} // namespace

BookCheck checkBook(Database& db, Progress& progress) {
  return Checker(db, progress).run();
}

} // namespace esc
