#include "documentProcessing.h"

#include "posting.h"

#include "book/keys.h"
#include "book/period.h"
#include "book/texts.h"
#include "store/formats.h"
#include "store/storeerror.h"
#include "store/table.h"

#include <QDate>
#include <QScopeGuard>
#include <QSet>
#include <array>
#include <cmath>
#include <utility>

namespace esc {

namespace {

QString alreadyProcessedText(int processed) {
  if (processed == 1)
    return QStringLiteral("Existe 1 lançamento já processado.Documento não pode ser reprocessado.");
  return "Existem " + QString::number(processed) + " lançamentos já processados." +
         "Documento não pode ser reprocessado.";
}

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
  if (present > marked) return alreadyProcessedText(present - marked);
  return QStringLiteral("Documento alterado por outro programa. Processamento cancelado.");
}

// A trial-balance month row of a pair, as read and as posting changes it.
struct MonthRow {
  bool exists = false;
  qint64 rowId = 0;
  QString key;
  QString nature;
  double opening = 0.0;
  QString openingLetter;
  double debits = 0.0;
  double credits = 0.0;
  double closing = 0.0;
  QString closingLetter;
  // What posting changed; the rest is written back as it was read (a blank stays blank).
  bool openingSet = false, debitsSet = false, creditsSet = false, closingSet = false;
};

} // namespace

// The twelve month rows of a pair of the year, and the entries of the batch posted to it.
struct DocumentProcessing::Pair {
  QString prefix; // the entries' first 24 characters of AnoContasMesDia
  double seed = 0.0;
  std::array<MonthRow, 12> months;
  QVector<const DocumentEntry*> entries;
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

double DocumentProcessing::addToTotal(double total, double amount) {
  return std::round(total + amount * 10000.0);
}

QString DocumentProcessing::totalText(double total) {
  return fmt::general(total / 10000.0);
}

QString DocumentProcessing::level(const QString& accountPair) {
  auto it = levels_.find(accountPair);
  if (it != levels_.end()) return *it;
  // The first of the pair in the chart's primary order, as the chart's cursor finds it.
  const auto rows = db_.select(
      "SELECT NivelDaConta FROM contas WHERE CodCtaConCodCtaCor = ? ORDER BY CodCtaConCodCtaCor, "
      "CodigoContaContabil, NomeContaContabil, CodigoContaCorrente, NomeContaCorrente, rowid "
      "LIMIT 1",
      {fmt::trimRight(accountPair)});
  // A pair missing from the chart is told apart from one with a blank level by the dot.
  return levels_[accountPair] = rows.isEmpty() ? QString() : rows[0].value(0).toString() + '.';
}

bool DocumentProcessing::hasJanuaryRow(const QString& key) {
  auto it = januaryRows_.find(key);
  if (it != januaryRows_.end()) return *it;
  return januaryRows_[key] =
             db_.selectValue("SELECT 1 FROM balanco WHERE CodCtaConCodCtaCor = ?", {key}).isValid();
}

DocumentCheck DocumentProcessing::check(const QString& document) {
  levels_.clear();
  januaryRows_.clear();
  return checkDocument(document);
}

DocumentCheck DocumentProcessing::checkDocument(const QString& document) {
  DocumentCheck c;
  c.document = fmt::trimRight(document);
  {
    // Journal order: the order the entries are posted and the ledger prints them.
    Statement st = db_.query(
        "SELECT rowid, CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, Situacao, "
        "DataDaContabilizacao, ValorLancamento, AnoContasMesDia FROM lancamen "
        "WHERE NumeroDocumento COLLATE ESCI = ?1 AND NumeroDocumento = ?1 "
        "ORDER BY AnoContasMesDia COLLATE ESCI, rowid",
        {c.document});
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
      c.entries << e;
    }
  }
  auto refuse = [&](const QString& text, qint64 entry = 0) {
    c.refusal = text;
    c.refusedEntry = entry;
    return c;
  };
  if (c.entries.isEmpty())
    return refuse("Documento inválido. Não contém lançamentos para processar.");

  const QString firstDate = c.entries.first().date;
  // No year selected never matches, whatever the entry's date.
  if (year_.trimmed().isEmpty() || firstDate.mid(8, 2) != year_.mid(2, 2))
    // clang-format off
    return refuse("Data do Documento não confere com o exercício para o qual o sistema está selecionado.");
  // clang-format on

  int processed = 0;
  for (int i = 0; i < c.entries.size(); ++i) {
    const DocumentEntry& e = c.entries[i];
    // The key carries the year selected when the entry was saved. Posted in another year, the
    // entry would move this year's trial balance while the running balances of its own year
    // were rewritten.
    if (e.key.left(4) != year_)
      return refuse("Lançamento " + e.key + " pertence a outro exercício, não ao exercício " +
                        year_ + " selecionado.",
                    e.rowId);
    const QString pair = e.account + e.current;
    ++c.accountsLookedUp;
    const QString lvl = level(pair);
    if (lvl.isEmpty())
      return refuse("Conta " + pair + " não cadastrada. Operação cancelada", e.rowId);
    if (lvl.chopped(1) < QLatin1String("6"))
      return refuse("Conta " + pair + " é sintética." + "Não pode receber lançamentos.", e.rowId);
    const QString january = PostingRule::balanceKey(year_, "01", e.account, e.current);
    if (!hasJanuaryRow(january))
      return refuse("Contas " + january.mid(6, 6) + " " + january.mid(12, 14).trimmed() +
                        " não cadastradas para este exercicio.",
                    e.rowId);
    if (e.status == QLatin1String("P")) ++processed;
    if (e.type == QLatin1String("D"))
      c.debits = addToTotal(c.debits, e.amount);
    else if (e.type == QLatin1String("C"))
      c.credits = addToTotal(c.credits, e.amount);
    if (e.date != firstDate)
      return refuse("Data do lançamento n. " + QString::number(i + 1) +
                        " diverge do lançamento n. 1",
                    e.rowId);
    // An entry neither debit nor credit would count in neither total and could not be
    // posted; "&Gravar" refuses it with this message, so processing does too.
    if (e.type != QLatin1String("D") && e.type != QLatin1String("C"))
      return refuse(book::text::entryTypeDC, e.rowId);
  }
  c.totalsKnown = true;
  if (processed > 0) return refuse(alreadyProcessedText(processed));
  if (c.credits != c.debits)
    return refuse("Documento inválido. Soma de Créditos: " + totalText(c.credits) +
                  " - Débitos: " + totalText(c.debits));
  return c;
}

DocumentProcessing::Pair& DocumentProcessing::pair(const DocumentEntry& e) {
  const QString prefix = e.key.left(24);
  auto it = pairs_.find(prefix);
  if (it != pairs_.end()) return **it;
  auto p = std::make_shared<Pair>();
  p->prefix = prefix;
  QHash<QString, int> monthOfKey;
  for (int m = 1; m <= 12; ++m) {
    p->months[m - 1].key =
        book::balanceKey(book::period(year_, m), book::accountPair(e.account, e.current));
    monthOfKey.insert(p->months[m - 1].key, m - 1);
  }
  Statement st =
      db_.query("SELECT rowid, CodCtaConCodCtaCor, SaldoAnterior, TipoSaldoAnterior, ValorDebito, "
                "ValorCredito, NaturezaDaConta FROM balanco WHERE CodCtaConCodCtaCor IN "
                "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  for (int m = 0; m < 12; ++m)
    st.bind(m + 1, p->months[m].key);
  while (st.step()) {
    MonthRow& row = p->months[monthOfKey.value(st.text(1))];
    if (row.exists) continue; // the first row of a key, as a lookup by key finds it
    row.exists = true;
    row.rowId = st.integer(0);
    row.opening = st.real(2);
    row.openingLetter = st.text(3);
    row.debits = st.real(4);
    row.credits = st.real(5);
    row.nature = st.text(6);
  }
  p->seed = p->months[0].opening;
  return *pairs_.insert(prefix, p).value();
}

// The trial-balance rows a checked document posts to: each entry's month row must exist and
// hold a nature D or C. The first entry at fault, in posting order, refuses the document.
QString DocumentProcessing::postingRefusal(const DocumentCheck& c, qint64& entry) {
  for (const DocumentEntry& e : c.entries) {
    const MonthRow& row = pair(e).months[e.date.mid(3, 2).toInt() - 1];
    entry = e.rowId;
    if (!row.exists) return "Erro. Chave " + row.key + " não localizada no balancete.";
    if (row.nature != QLatin1String("D") && row.nature != QLatin1String("C"))
      return "Erro. Chave " + row.key + " do balancete sem natureza D ou C.";
  }
  entry = 0;
  return {};
}

namespace {

// One entry's amount into its month row, then each later existing month opens with the
// closing balance of the last one before it; months with no row are skipped. Balances are
// signed on the side of the entry's month row's nature.
void postAmount(std::array<MonthRow, 12>& months, int month, bool debit, double amount) {
  const QString nature = months[month].nature;
  const QString other = nature == QLatin1String("D") ? QStringLiteral("C") : QStringLiteral("D");
  auto letterOf = [&](double value) { return value < 0 ? other : nature; };
  double carried = 0.0;
  for (int m = month; m < 12; ++m) {
    MonthRow& row = months[m];
    if (!row.exists) continue;
    if (m == month) {
      double& movement = debit ? row.debits : row.credits;
      movement = roundAmount(movement + amount);
      (debit ? row.debitsSet : row.creditsSet) = true;
    } else {
      row.opening = carried;
      row.openingLetter = letterOf(carried);
      row.openingSet = true;
    }
    carried = book::natureBalance(nature, row.opening, row.debits, row.credits);
    row.closing = carried;
    row.closingLetter = letterOf(carried);
    row.closingSet = true;
  }
}

} // namespace

ProcessingResult DocumentProcessing::run(const QStringList& documents, Progress& progress) {
  levels_.clear();
  januaryRows_.clear();
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

  // Checked under the transaction's write lock, so nothing changes between the checks and the
  // posting.
  QVector<DocumentCheck> checked;
  QSet<QString> seen;
  for (const QString& document : documents) {
    if (seen.contains(fmt::trimRight(document))) continue; // a document is processed once
    seen.insert(fmt::trimRight(document));
    DocumentCheck c = checkDocument(document);
    qint64 entry = c.refusedEntry;
    if (c.passed()) c.refusal = postingRefusal(c, entry);
    if (!c.passed())
      result.refusals << ProcessingRefusal{c.document, c.refusal, entry};
    else
      checked << std::move(c);
  }
  if (!result.isDone()) return result;

  // Marking comes first and must find every entry still unprocessed: the checks read the
  // status, and this guards the posting against any other way in.
  for (const DocumentCheck& c : std::as_const(checked))
    if (const QString refusal = claimEntries(db_, c.entries); !refusal.isEmpty())
      result.refusals << ProcessingRefusal{c.document, refusal, 0};
  if (!result.isDone()) return result;

  // Pairs in the order they are first posted to, each with its entries in posting order.
  QVector<Pair*> order;
  for (const DocumentCheck& c : std::as_const(checked))
    for (const DocumentEntry& e : c.entries) {
      Pair& p = pair(e);
      if (p.entries.isEmpty()) order << &p;
      p.entries << &e;
      ++result.entries;
    }
  progress.setRange(0, result.entries);

  // The pairs are independent of one another, so posting pair by pair leaves what posting
  // entry by entry leaves. The running balances depend only on the pair's entries and
  // January's opening, not on which are processed, so each pair is walked once, signed on the
  // nature of the month row of its last entry, as the last of the per-entry walks would.
  Statement writeRow =
      db_.prepare("UPDATE balanco SET "
                  "SaldoAnterior = CASE WHEN ?1 THEN ?2 ELSE SaldoAnterior END, "
                  "TipoSaldoAnterior = CASE WHEN ?1 THEN ?3 ELSE TipoSaldoAnterior END, "
                  "ValorDebito = CASE WHEN ?4 THEN ?5 ELSE ValorDebito END, "
                  "ValorCredito = CASE WHEN ?6 THEN ?7 ELSE ValorCredito END, "
                  "SaldoAtual = ?8, TipoSaldoAtual = ?9 WHERE rowid = ?10");
  int posted = 0;
  for (Pair* p : order) {
    for (const DocumentEntry* e : p->entries) {
      postAmount(p->months, e->date.mid(3, 2).toInt() - 1, e->type == QLatin1String("D"),
                 e->amount);
      progress.setPosition(++posted);
    }
    for (const MonthRow& row : p->months) {
      if (!row.closingSet) continue;
      writeRow.reset();
      writeRow.bindAll({row.openingSet, row.opening, row.openingLetter, row.debitsSet, row.debits,
                        row.creditsSet, row.credits, row.closing, row.closingLetter, row.rowId});
      writeRow.run();
    }
    const DocumentEntry* last = p->entries.last();
    walkRunningBalances(db_, p->prefix, p->seed,
                        p->months[last->date.mid(3, 2).toInt() - 1].nature);
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
