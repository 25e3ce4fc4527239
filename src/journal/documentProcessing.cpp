#include "documentProcessing.h"

#include "posting.h"

#include "book/keys.h"
#include "book/period.h"
#include "store/formats.h"
#include "store/storeerror.h"
#include "store/table.h"

#include <QDate>
#include <QScopeGuard>
#include <QSet>
#include <utility>

namespace esc {

namespace {

// Marks the document's entries "P", each only while it is not processed yet; inside the
// caller's transaction. The refusal's text when some entry is processed already or gone.
QString claimEntries(Database& db, const QVector<DocumentEntry>& entries) {
  // The row ids go in as one bound JSON array.
  QStringList ids;
  for (const DocumentEntry& e : entries)
    ids << QString::number(e.rowId);
  const QString list = '[' + ids.join(',') + ']';
  const QString inList = QStringLiteral("rowid IN (SELECT value FROM json_each(?))");
  const int marked = db.exec(
      "UPDATE lancamen SET Situacao = 'P' WHERE " + inList + " AND Situacao <> 'P'", {list});
  if (marked == entries.size()) return {};
  const int present =
      db.selectValue("SELECT count(*) FROM lancamen WHERE " + inList, {list}).toInt();
  if (present > marked) return processedEntriesText(present - marked);
  return QStringLiteral("Documento alterado por outro programa. Processamento cancelado.");
}

} // namespace

// A pair of the batch: its twelve month rows of the year and its journal entries as read, and
// the movements of the batch's entries posted to it.
struct DocumentProcessing::Pair {
  QString prefix; // the entries' first 24 characters of AnoContasMesDia
  posting::PairBooks books;
  QVector<posting::Movement> movements;
};

bool DocumentProcessing::entryProcessed(Database& db, qint64 rowId) {
  return db.selectValue("SELECT 1 FROM lancamen WHERE rowid = ? AND upper(Situacao) = 'P'", {rowId})
      .isValid();
}

bool DocumentProcessing::documentProcessed(Database& db, const QString& document) {
  return db
      .selectValue("SELECT 1 FROM lancamen WHERE NumeroDocumento = ? AND "
                   "upper(Situacao) = 'P' LIMIT 1",
                   {fmt::trimRight(document)})
      .isValid();
}

DocumentCheck DocumentProcessing::check(const QString& document) {
  lookups_.clear();
  return checkDocument(document);
}

QVector<EntryFailure> DocumentProcessing::failures(const QString& document) {
  lookups_.clear();
  pairs_.clear();
  const QVector<DocumentEntry> entries = readEntries(document);
  QVector<EntryFailure> all = documentFailures(lookups_, year_, entries, Stop::Never).failures;
  if (all.isEmpty())
    for (const DocumentEntry& e : entries) {
      const posting::MonthRow& row = pair(e).books.months[e.month() - 1];
      if (auto f = monthRowFailure(e, row.key, row.exists, row.nature)) all << *f;
    }
  return all;
}

QVector<DocumentEntry> DocumentProcessing::readEntries(const QString& document) {
  QVector<DocumentEntry> entries;
  // Journal order: the order the entries are posted and the ledger prints them.
  Statement st = db_.query(
      "SELECT rowid, CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, Situacao, "
      "DataDaContabilizacao, ValorLancamento, AnoContasMesDia FROM lancamen "
      "WHERE NumeroDocumento COLLATE ESCI = ?1 AND NumeroDocumento = ?1 "
      "ORDER BY AnoContasMesDia COLLATE ESCI, rowid",
      {fmt::trimRight(document)});
  while (st.step()) {
    DocumentEntry e;
    e.rowId = st.integer(0);
    e.account = st.text(1);
    e.current = st.text(2);
    e.type = st.text(3);
    e.status = st.text(4);
    e.date = fmt::date(QDate::fromString(st.text(5), Qt::ISODate));
    e.amount = st.real(6);
    e.key = st.text(7);
    entries << e;
  }
  return entries;
}

DocumentCheck DocumentProcessing::checkDocument(const QString& document) {
  DocumentCheck c;
  c.document = fmt::trimRight(document);
  c.entries = readEntries(c.document);
  const DocumentVerdict v = documentFailures(lookups_, year_, c.entries, Stop::AtFirst);
  if (!v.failures.isEmpty()) {
    c.refusal = v.failures.first().text;
    c.refusedEntry = v.failures.first().entry;
  }
  c.accountsLookedUp = v.accountsLookedUp;
  c.totalsKnown = v.totalsKnown;
  c.debits = v.debits;
  c.credits = v.credits;
  return c;
}

DocumentProcessing::Pair& DocumentProcessing::pair(const DocumentEntry& e) {
  const QString prefix = book::entryKeyPrefix(e.key);
  auto it = pairs_.find(prefix);
  if (it != pairs_.end()) return **it;
  auto p = std::make_shared<Pair>();
  p->prefix = prefix;
  posting::Year& months = p->books.months;
  QHash<QString, int> monthOfKey;
  for (int m = 1; m <= 12; ++m) {
    months[m - 1].key =
        book::balanceKey(book::period(year_, m), book::accountPair(e.account, e.current));
    monthOfKey.insert(months[m - 1].key, m - 1);
  }
  Statement st =
      db_.query("SELECT rowid, CodCtaConCodCtaCor, SaldoAnterior, TipoSaldoAnterior, ValorDebito, "
                "ValorCredito, NaturezaDaConta FROM balanco WHERE CodCtaConCodCtaCor IN "
                "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  for (int m = 0; m < 12; ++m)
    st.bind(m + 1, months[m].key);
  while (st.step()) {
    posting::MonthRow& row = months[monthOfKey.value(st.text(1))];
    if (row.exists) continue; // the first row of a key, as a lookup by key finds it
    row.exists = true;
    row.rowId = st.integer(0);
    row.opening = st.real(2);
    row.openingLetter = st.text(3);
    row.debits = st.real(4);
    row.credits = st.real(5);
    row.nature = st.text(6);
  }
  return *pairs_.insert(prefix, p).value();
}

// The trial-balance rows a checked document posts to: each entry's month row must exist and
// hold a nature D or C. The first entry at fault, in posting order, refuses the document.
std::optional<EntryFailure> DocumentProcessing::postingFailure(const DocumentCheck& c) {
  for (const DocumentEntry& e : c.entries) {
    const posting::MonthRow& row = pair(e).books.months[e.month() - 1];
    if (auto f = monthRowFailure(e, row.key, row.exists, row.nature)) return f;
  }
  return std::nullopt;
}

ProcessingResult DocumentProcessing::run(const QStringList& documents, Progress& progress) {
  lookups_.clear();
  pairs_.clear();
  ProcessingResult result;
  // A batch rewrites pages all over the journal and the trial balance. With SQLite's small
  // default cache the changed pages spill into the files before the commit, each spill
  // writing the rollback journal too; the cache grows only as far as the batch needs.
  const QString cache = QStringLiteral("PRAGMA f_%1.cache_size");
  QVector<std::pair<QString, QVariant>> caches;
  for (const char* table : {"lancamen", "balanco"})
    caches.push_back({cache.arg(table), db_.selectValue(cache.arg(table))});
  auto restore = qScopeGuard([&] {
    try {
      for (const auto& [pragma, size] : caches)
        db_.execScript(pragma + " = " + QString::number(size.toLongLong()));
    } catch (const StoreError&) {
      // Only the cache's size is at stake; the batch's outcome stands.
    }
  });
  for (const auto& c : caches)
    db_.execScript(c.first + " = -65536");
  Transaction tx(db_);

  // Reading. Checked under the transaction's write lock, so nothing changes between the checks
  // and the posting.
  QVector<DocumentCheck> checked;
  QSet<QString> seen;
  for (const QString& document : documents) {
    if (seen.contains(fmt::trimRight(document))) continue; // a document is processed once
    seen.insert(fmt::trimRight(document));
    DocumentCheck c = checkDocument(document);
    qint64 entry = c.refusedEntry;
    if (c.passed())
      if (auto f = postingFailure(c)) {
        c.refusal = f->text;
        entry = f->entry;
      }
    if (!c.passed())
      result.refusals << ProcessingRefusal{c.document, c.refusal, entry};
    else
      checked << std::move(c);
  }
  if (!result.isDone()) return result;
  // Pairs in the order they are first posted to, each with its movements in posting order and
  // its journal entries of the year.
  QVector<Pair*> order;
  int entries = 0;
  for (const DocumentCheck& c : std::as_const(checked))
    for (const DocumentEntry& e : c.entries) {
      Pair& p = pair(e);
      if (p.movements.isEmpty()) order << &p;
      p.movements << posting::Movement{e.month() - 1, e.type == QLatin1String("D"), e.amount};
      ++entries;
    }
  for (Pair* p : std::as_const(order))
    p->books.journal = readJournalLines(db_, p->prefix);

  // Computing. The pairs are independent of one another, so posting pair by pair leaves what
  // posting entry by entry leaves.
  QVector<posting::PairPosted> posted;
  posted.reserve(order.size());
  for (const Pair* p : std::as_const(order))
    posted << posting::postPair(p->books, p->movements);

  // Writing. Marking comes first and must find every entry still unprocessed: the checks read
  // the status, and this guards the posting against any other way in.
  for (const DocumentCheck& c : std::as_const(checked))
    if (const QString refusal = claimEntries(db_, c.entries); !refusal.isEmpty())
      result.refusals << ProcessingRefusal{c.document, refusal, 0};
  if (!result.isDone()) return result;
  result.entries = entries;
  progress.setRange(0, entries);
  Statement writeRow =
      db_.prepare("UPDATE balanco SET "
                  "SaldoAnterior = CASE WHEN ?1 THEN ?2 ELSE SaldoAnterior END, "
                  "TipoSaldoAnterior = CASE WHEN ?1 THEN ?3 ELSE TipoSaldoAnterior END, "
                  "ValorDebito = CASE WHEN ?4 THEN ?5 ELSE ValorDebito END, "
                  "ValorCredito = CASE WHEN ?6 THEN ?7 ELSE ValorCredito END, "
                  "SaldoAtual = ?8, TipoSaldoAtual = ?9 WHERE rowid = ?10");
  int done = 0;
  for (int i = 0; i < order.size(); ++i) {
    for (const posting::MonthRow& row : posted[i].months) {
      if (!row.closingSet) continue;
      writeRow.reset();
      writeRow.bindAll({row.openingSet, row.opening, row.openingLetter, row.debitsSet, row.debits,
                        row.creditsSet, row.credits, row.closing, row.closingLetter, row.rowId});
      writeRow.run();
    }
    writeBalances(db_, posted[i].balances);
    for (int n = 0; n < order[i]->movements.size(); ++n)
      progress.setPosition(++done);
  }
  tx.commit();
  result.documents = checked.size();
  return result;
}

bool DocumentProcessing::removeEntry(Table& journal) {
  Database& db = journal.database();
  // The status is read again under the write lock: another program may have processed the
  // entry since this one read it.
  Transaction tx(db);
  if (entryProcessed(db, journal.bookmark().rowId)) return false;
  journal.remove();
  tx.commit();
  return true;
}

} // namespace esc
