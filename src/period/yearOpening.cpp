#include "yearOpening.h"

#include "fiscalYear.h"
#include "journal/posting.h"

namespace esc {

namespace {

// Twelve rows of the new year for each December row whose key lies in [first, last]: result
// accounts at zero with their nature as letters, the others with December's balances and
// letters (a blank balance reads as 0, every balance to four decimal places). No movements.
const QString openingInsert = QStringLiteral(
    "WITH months(m) AS (VALUES ('01'), ('02'), ('03'), ('04'), ('05'), ('06'), ('07'), ('08'), "
    "('09'), ('10'), ('11'), ('12')) "
    "INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, CodCtaConCodCtaCor, "
    "TipoSaldoAnterior, SaldoAnterior, ValorCredito, ValorDebito, SaldoAtual, TipoSaldoAtual, "
    "NaturezaDaConta, NivelDaConta) "
    "SELECT d.CodigoContaContabil, d.CodigoContaCorrente, ?1 || m, "
    "?1 || m || d.CodigoContaContabil || d.CodigoContaCorrente, "
    "CASE WHEN substr(d.CodigoContaContabil, 1, 1) >= '3' THEN d.NaturezaDaConta "
    "ELSE d.TipoSaldoAnterior END, "
    "CASE WHEN substr(d.CodigoContaContabil, 1, 1) >= '3' THEN 0.0 "
    "ELSE round_amount(coalesce(d.SaldoAnterior, 0.0)) END, 0.0, 0.0, "
    "CASE WHEN substr(d.CodigoContaContabil, 1, 1) >= '3' THEN 0.0 "
    "ELSE round_amount(coalesce(d.SaldoAtual, 0.0)) END, "
    "CASE WHEN substr(d.CodigoContaContabil, 1, 1) >= '3' THEN d.NaturezaDaConta "
    "ELSE d.TipoSaldoAtual END, d.NaturezaDaConta, d.NivelDaConta "
    "FROM balanco d, months "
    "WHERE d.CodCtaConCodCtaCor >= ?2 AND d.CodCtaConCodCtaCor <= ?3 AND d.Periodo = ?4 "
    "ORDER BY d.CodCtaConCodCtaCor, m");

} // namespace

std::optional<OperationResult> yearOpeningYearRefusal(const QString& year) {
  const QString y = year.trimmed();
  if (y.isEmpty()) return OperationResult::refused(book::text::noYearSelected);
  // The next year must fit the four characters of a period's year.
  bool numeric = false;
  const int number = y.toInt(&numeric);
  if (!numeric || number < 1900 || number > 9998)
    return OperationResult::refused("Exercício " + y + " fora do intervalo aceito (1900 a 9998).");
  return std::nullopt;
}

std::optional<OperationResult> yearOpeningRefusal(Database& db, const QString& year) {
  if (auto refusal = yearOpeningYearRefusal(year)) return refusal;
  const QString next = book::nextYear(year);
  if (fiscal::situation(db, next))
    return OperationResult::refused("Exercício de " + next + " já foi aberto anteriormente.");
  return std::nullopt;
}

OperationResult openNextYear(Database& db, const QString& yearText, Progress& progress) {
  if (auto refusal = yearOpeningRefusal(db, yearText)) return *refusal;
  const QString year = yearText.trimmed(), next = book::nextYear(year);
  const QString december = book::period(year, 12);
  QStringList keys;
  for (const QVariantList& r :
       db.select(QStringLiteral("SELECT CodCtaConCodCtaCor FROM balanco WHERE "
                                "CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor < ? AND "
                                "Periodo = ? ORDER BY CodCtaConCodCtaCor"),
                 {december, book::keyLimit(december), december}))
    keys << r.value(0).toString();
  registerRoundAmount(db);
  progress.setRange(0, keys.size());
  progress.setPosition(0);
  int written = 0;
  Transaction tx(db);
  // A hundred slices of the December rows, so that the bar moves while rows are added.
  const qsizetype slice = qMax<qsizetype>(1, keys.size() / 100);
  for (qsizetype from = 0; from < keys.size(); from += slice) {
    const qsizetype to = qMin(from + slice, keys.size());
    written += db.exec(openingInsert, {next, keys[from], keys[to - 1], december});
    progress.setPosition(int(to));
  }
  // A selected year without its row gets none; the new year's row is added all the same.
  db.exec(QStringLiteral("UPDATE fechamen SET Situacao = 'T' WHERE Exercicio = ?"), {year});
  db.exec(QStringLiteral("INSERT INTO fechamen (Exercicio, Situacao) VALUES (?, '')"), {next});
  tx.commit();
  return OperationResult::done(
      "Abertura do exercício de " + next + " concluída.",
      {{QStringLiteral("accounts"), keys.size()}, {QStringLiteral("rows written"), written}});
}

} // namespace esc
