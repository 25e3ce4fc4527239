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

bool YearOpening::run() {
  const QString year = year_.trimmed();
  if (year.isEmpty()) {
    ui_.message(fiscal::noYearText);
    return false;
  }
  // The next year must fit the four characters of a period's year.
  bool numeric = false;
  const int number = year.toInt(&numeric);
  if (!numeric || number < 1900 || number > 9998) {
    ui_.message("Exercício " + year + " fora do intervalo aceito (1900 a 9998).");
    return false;
  }
  const QString next = fiscal::nextYear(year);
  if (!ui_.confirm("Confirma a abertura do exercício de " + next + "?")) return false;
  Database& db = dm_.database();
  try {
    if (fiscal::situation(db, next)) {
      ui_.message("Exercício de " + next + " já foi aberto anteriormente.");
      return false;
    }
    Table& balance = *dm_.TbBalanco;
    Table& years = *dm_.TbFechamen;
    balance.checkBrowseMode();
    years.checkBrowseMode();
    const QString december = fiscal::period(year, 12);
    QStringList keys;
    for (const QVariantList& r :
         db.select(QStringLiteral("SELECT CodCtaConCodCtaCor FROM balanco WHERE "
                                  "CodCtaConCodCtaCor >= ? AND CodCtaConCodCtaCor < ? AND "
                                  "Periodo = ? ORDER BY CodCtaConCodCtaCor"),
                   {december, fiscal::keyLimit(december), december}))
      keys << r.value(0).toString();
    registerRoundAmount(db);
    Progress& bar = ui_.progress();
    bar.setRange(0, keys.size());
    bar.setPosition(0);
    {
      Transaction tx(db);
      // A hundred slices of the December rows, so that the bar moves while rows are added.
      const qsizetype slice = qMax<qsizetype>(1, keys.size() / 100);
      for (qsizetype from = 0; from < keys.size(); from += slice) {
        const qsizetype to = qMin(from + slice, keys.size());
        db.exec(openingInsert, {next, keys[from], keys[to - 1], december});
        bar.setPosition(int(to));
      }
      // A selected year without its row gets none; the new year's row is added all the same.
      db.exec(QStringLiteral("UPDATE fechamen SET Situacao = 'T' WHERE Exercicio = ?"), {year});
      db.exec(QStringLiteral("INSERT INTO fechamen (Exercicio, Situacao) VALUES (?, '')"), {next});
      tx.commit();
    }
    balance.setFiltered(false);
    years.findKey({next});
    ui_.message("Abertura do exercício de " + next + " concluída.");
    bar.setPosition(0);
    return true;
  } catch (const StoreError& e) {
    if (!e.silent()) ui_.error(e.message());
    return false;
  }
}

} // namespace esc
