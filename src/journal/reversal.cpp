#include "reversal.h"

#include "documentProcessing.h"
#include "entryChecks.h"

#include "book/keys.h"
#include "book/texts.h"
#include "store/formats.h"
#include "store/schema.h"

#include <QVector>
#include <algorithm>

namespace esc {

namespace {

// The link, in the anchor file (schema main) like the book's other tables of its own: one row
// per reversed document. Both numbers are unique: a document is reversed once, and a
// reversal reverses one document.
const char* const createLinks =
    "CREATE TABLE IF NOT EXISTS main.estornos (documento TEXT PRIMARY KEY, "
    "estorno TEXT NOT NULL UNIQUE, data TEXT NOT NULL)";

bool hasLinks(Database& db) {
  return db.selectValue("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND "
                        "name = 'estornos'")
             .toInt() > 0;
}

struct Entry {
  QString account, current, historico, type, complement, status, yearSaved;
  double amount = 0.0;
  QDate date;
};

QVector<Entry> readEntries(Database& db, const QString& document) {
  QVector<Entry> out;
  // Journal order, as processing posts them; the first comparison lets the index serve.
  Statement st = db.query(
      "SELECT CodigoContaContabil, CodigoContaCorrente, CodigoHistorico, TipoDeLancamento, "
      "HistoricoComplementar, Situacao, AnoContasMesDia, ValorLancamento, DataDaContabilizacao "
      "FROM lancamen WHERE NumeroDocumento COLLATE ESCI = ?1 AND NumeroDocumento = ?1 "
      "ORDER BY AnoContasMesDia COLLATE ESCI, rowid",
      {document});
  while (st.step()) {
    Entry e;
    e.account = st.text(0);
    e.current = st.text(1);
    e.historico = st.text(2);
    e.type = st.text(3).toUpper();
    e.complement = st.text(4);
    e.status = st.text(5).toUpper();
    e.yearSaved = book::entryKeyYear(st.text(6));
    e.amount = st.real(7);
    e.date = QDate::fromString(st.text(8), Qt::ISODate);
    out << e;
  }
  return out;
}

// The latest date of the document's entries (processing gives them all one date).
QDate documentDate(const QVector<Entry>& entries) {
  QDate latest;
  for (const Entry& e : entries)
    if (e.date.isValid() && (!latest.isValid() || e.date > latest)) latest = e.date;
  return latest;
}

std::optional<QString> refusal(Database& db, const QString& year, const QString& document,
                               const QVector<Entry>& entries) {
  if (year.trimmed().isEmpty()) return book::text::noYearSelected;
  if (entries.isEmpty())
    return QStringLiteral("Documento %1 não contém lançamentos. Nada a estornar.").arg(document);
  for (const Entry& e : entries)
    if (e.yearSaved != year)
      return QStringLiteral("Documento %1 não é do exercício %2. Selecione o exercício do "
                            "documento para estorná-lo.")
          .arg(document, year);
  for (const Entry& e : entries)
    if (e.status != QLatin1String("P"))
      return QStringLiteral("Documento %1 não foi processado. Só um documento processado é "
                            "estornado; um não processado pode ser alterado.")
          .arg(document);
  if (const auto original = reversedDocument(db, document))
    return QStringLiteral("Documento %1 é o estorno do documento %2 e não pode ser estornado.")
        .arg(document, *original);
  if (const auto reversal = reversingDocument(db, document))
    return QStringLiteral("Documento %1 já foi estornado pelo documento %2.")
        .arg(document, *reversal);
  return std::nullopt;
}

} // namespace

QString reversalComplement(const QString& document, const QString& complement) {
  static const int width = tableDef("TbLancamen").field("HistoricoComplementar").width;
  return fmt::trimRight(("ESTORNO DOC " + document + " " + complement).left(width));
}

std::optional<QString> reversingDocument(Database& db, const QString& document) {
  if (!hasLinks(db)) return std::nullopt;
  const QVariant v = db.selectValue("SELECT estorno FROM main.estornos WHERE documento = ?",
                                    {fmt::trimRight(document)});
  return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
}

std::optional<QString> reversedDocument(Database& db, const QString& document) {
  if (!hasLinks(db)) return std::nullopt;
  const QVariant v = db.selectValue("SELECT documento FROM main.estornos WHERE estorno = ?",
                                    {fmt::trimRight(document)});
  return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
}

std::optional<QString> reversalRefusal(Database& db, const QString& year, const QString& document) {
  const QString number = fmt::trimRight(document);
  return refusal(db, year.trimmed(), number, readEntries(db, number));
}

QDate defaultReversalDate(Database& db, const QString& year, const QString& document,
                          const QDate& today) {
  const QDate original = documentDate(readEntries(db, fmt::trimRight(document)));
  if (!original.isValid()) return {};
  const int y = year.trimmed().toInt();
  const QDate first(y, 1, 1), last(y, 12, 31);
  if (!first.isValid()) return original;
  const QDate earliest = std::max(first, original);
  return std::clamp(today, earliest, std::max(earliest, last));
}

ReversalResult reverseDocument(Database& db, const QString& yearText, const QString& typed,
                               const QDate& date, Progress& progress) {
  const QString year = yearText.trimmed();
  const QString document = fmt::trimRight(typed);
  ReversalResult result;
  // Checked under the transaction's write lock, so nothing changes between the checks and the
  // writing.
  Transaction tx(db);
  const QVector<Entry> entries = readEntries(db, document);
  if (const auto r = refusal(db, year, document, entries)) {
    result.message = *r;
    return result;
  }
  if (!date.isValid() || date.year() != year.toInt()) {
    result.message = QStringLiteral("Data do estorno %1 fora do exercício %2.")
                         .arg(date.isValid() ? fmt::date(date) : QStringLiteral("inválida"), year);
    return result;
  }
  const QDate original = documentDate(entries);
  if (date < original) {
    result.message = QStringLiteral("Data do estorno %1 é anterior à do documento %2 (%3).")
                         .arg(fmt::date(date), document, fmt::date(original));
    return result;
  }
  const auto next = firstNewDocument(db, 1, result.message);
  if (!next) return result;
  const QString number = QString::number(*next).rightJustified(5, '0');

  Statement insert = db.prepare(
      "INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
      "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, HistoricoComplementar, "
      "ValorLancamento, NumeroDocumento, Situacao, CodCtaConCodCtaCor) "
      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'N', ?)");
  const QString month = date.toString("MM"), day = date.toString("dd");
  for (const Entry& e : entries) {
    insert.reset();
    insert.bindAll({book::entryKey(year, e.account, e.current, month, day),
                    date.toString(Qt::ISODate), e.historico, e.account, e.current,
                    e.type == QLatin1String("D") ? "C" : "D",
                    reversalComplement(document, e.complement), e.amount, number,
                    book::accountPair(e.account, e.current)});
    insert.run();
  }
  const ProcessingResult processed = DocumentProcessing(db, year).run({number}, progress);
  if (!processed.isDone()) {
    // The new document would post where the original could not: said as processing says it.
    result.message = QStringLiteral("Estorno não processado: ") + processed.refusals.first().text;
    return result;
  }
  db.execScript(createLinks);
  db.exec("INSERT INTO main.estornos (documento, estorno, data) VALUES (?, ?, ?)",
          {document, number, date.toString(Qt::ISODate)});
  tx.commit();
  result.done = true;
  result.document = number;
  result.entries = int(entries.size());
  result.message = QStringLiteral("Documento %1 estornado pelo documento %2, de %3.")
                       .arg(document, number, fmt::date(date));
  return result;
}

} // namespace esc
