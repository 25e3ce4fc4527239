#include "importedDocuments.h"

#include "book/keys.h"
#include "store/database.h"
#include "store/formats.h"

#include <QStringDecoder>

namespace esc {

namespace {

// Where an entry's complementary text is kept: as the page's box keeps it, in capitals and
// at most the field's 40 characters.
QString complementText(const QString& text) {
  return fmt::trimRight(text.simplified().toUpper().left(40));
}

} // namespace

ImportedDocuments::ImportedDocuments(Database& db, const QString& year)
    : db_(db), year_(year.trimmed()), lookups_(db) {
  lookups_.preload(year_);
}

QVector<EntryFailure> ImportedDocuments::entryFailures(const NewEntry& entry) {
  EntryFields e;
  e.year = year_;
  e.account = entry.account;
  e.current = entry.current;
  e.historico = entry.historico;
  e.type = entry.type.toUpper();
  e.dateText = entry.dateText;
  e.amount = entry.amount;
  e.date = entry.date;
  e.dateShown = entry.dateText;
  // Those of saving an entry on the Lançamentos page, every one of them; the document's
  // number is the writer's to give.
  QVector<EntryFailure> failures =
      savingFailures(lookups_, e, EntryCheck::YearSelected, EntryCheck::DateValid, Stop::Never,
                     {EntryCheck::DocumentLength, EntryCheck::DocumentUsable});
  // A page keys an entry under the year it has selected whatever its date; an import has no
  // one to notice the difference, so the date must be of that year.
  if (entry.date && !year_.isEmpty() && entry.date->year() != year_.toInt())
    failures << EntryFailure{EntryCheck::DocumentInYear,
                             "'" + entry.dateText + "' não é data do exercício " + year_ + "."};
  for (EntryFailure& f : failures)
    f.entry = entry.source;
  return failures;
}

QVector<EntryFailure> ImportedDocuments::documentFailures(const NewDocument& document) {
  QVector<DocumentEntry> entries;
  entries.reserve(document.size());
  for (const NewEntry& n : document) {
    DocumentEntry e;
    e.rowId = n.source;
    e.account = n.account;
    e.current = n.current;
    e.type = n.type.toUpper();
    e.status = QStringLiteral("N");
    e.date = n.date ? fmt::date(*n.date) : n.dateText;
    e.amount = n.amount;
    e.key = book::entryKey(year_, n.account, n.current, e.date.mid(3, 2), e.date.left(2));
    entries << e;
  }
  return esc::documentFailures(lookups_, year_, entries, Stop::Never).failures;
}

OperationResult ImportedDocuments::write(const QVector<NewDocument>& documents,
                                         Progress& progress) {
  int total = 0;
  for (const NewDocument& d : documents)
    total += int(d.size());
  Transaction tx(db_);
  QString refusal;
  const auto firstNumber = firstNewDocument(db_, documents.size(), refusal);
  if (!firstNumber) return OperationResult::refused(refusal);
  const qint64 first = *firstNumber, last = first + documents.size() - 1;
  qint64 next = first;

  Statement insert = db_.prepare(
      "INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
      "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, HistoricoComplementar, "
      "ValorLancamento, NumeroDocumento, Situacao, SaldoAtual, TipoSaldoAtual, "
      "CodCtaConCodCtaCor) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'N', NULL, '', ?)");
  progress.setRange(0, total);
  int written = 0;
  for (const NewDocument& d : documents) {
    const QString number = QString::number(next++).rightJustified(5, '0');
    for (const NewEntry& e : d) {
      const QString account = fmt::trimRight(e.account), current = fmt::trimRight(e.current);
      insert.bindAll(
          {book::entryKey(year_, account, current, e.date->toString("MM"), e.date->toString("dd")),
           e.date->toString(Qt::ISODate), fmt::trimRight(e.historico), account, current,
           e.type.toUpper(), complementText(e.complement), e.amount, number,
           book::accountPair(account, current)});
      insert.run();
      insert.reset();
      if (++written % 512 == 0) progress.setPosition(written);
    }
  }
  tx.commit();
  progress.setPosition(total);
  const auto numbers = [](qint64 n) { return QString::number(n).rightJustified(5, '0'); };
  const QString range =
      documents.size() == 1 ? numbers(first) : numbers(first) + " a " + numbers(last);
  return OperationResult::done(counted(total, "lançamento importado", "lançamentos importados") +
                                   " em " + counted(documents.size(), "documento", "documentos") +
                                   " (" + range + "), a conferir e processar.",
                               {{"documentos", documents.size()},
                                {"lancamentos", total},
                                {"primeiro", first},
                                {"ultimo", last}});
}

QString decodeImportedText(const QByteArray& bytes) {
  QByteArray data = bytes;
  if (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8.decode(data);
  if (!utf8.hasError()) return text;
  // Windows-1252 is Latin-1 but for 0x80 to 0x9F (five of which it leaves unused).
  static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  QString out(data.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < data.size(); ++i) {
    const auto b = static_cast<unsigned char>(data[i]);
    out[i] = b >= 0x80 && b < 0xA0 ? QChar(high[b - 0x80]) : QChar(b);
  }
  return out;
}

QString counted(qint64 n, const QString& singular, const QString& plural) {
  return QString::number(n) + " " + (n == 1 ? singular : plural);
}

} // namespace esc
