#include "bookFixture.h"

namespace esc::test {

PageBook::PageBook(bool demo, int year, bool demoYear)
    : OpenBook(demo, year, demoYear), ctx(*dm, ui) {
  ctx.year = QString::number(year);
}

QString twoDigits(int month) {
  return QStringLiteral("%1").arg(month, 2, 10, QChar('0'));
}

void addChartAccount(Database& db, const QString& code, const QString& current, const QString& name,
                     const QString& nature, const QString& level, const QString& currentName) {
  db.exec("INSERT INTO contas VALUES (?, ?, ?, ?, ?, ?, ?)",
          {code + current, code, name, current, currentName, nature, level});
}

void addYearRows(Database& db, const QString& code, const QString& current, const QString& year,
                 const QString& nature, const QString& level, double before, double now,
                 const QString& letter) {
  for (int m = 1; m <= 12; ++m) {
    const QString period = year + twoDigits(m);
    db.exec("INSERT INTO balanco VALUES (?, ?, ?, ?, ?, ?, 0.0, 0.0, ?, ?, ?, ?)",
            {code, current, period, period + code + current, letter, before, now, letter, nature,
             level});
  }
}

void addCarriedYearRows(Database& db, const QString& code, const QString& current,
                        const QString& year, const QString& nature, const QString& level,
                        double balance) {
  const QString letter = balance < 0 ? (nature == "D" ? "C" : "D") : nature;
  addYearRows(db, code, current, year, nature, level, balance, balance, letter);
}

qint64 addEntry(Database& db, const QString& year, const QString& doc, const QDate& date,
                const QString& code, const QString& current, const QString& type, double value,
                const QString& status, const QString& hist, const QString& complement,
                const QVariant& balance, const QString& letter) {
  const QString key = year + code + current.leftJustified(14, ' ') + date.toString("MMdd");
  db.exec("INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
          "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, HistoricoComplementar, "
          "ValorLancamento, NumeroDocumento, Situacao, SaldoAtual, TipoSaldoAtual, "
          "CodCtaConCodCtaCor) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
          {key, date.toString(Qt::ISODate), hist, code, current, type, complement, value, doc,
           status, balance, letter, code + current});
  return db.lastInsertRowId();
}

} // namespace esc::test
