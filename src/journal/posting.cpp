#include "posting.h"

#include "book/keys.h"
#include "book/period.h"
#include "store/formats.h"
#include "store/storeerror.h"

#include <QHash>

namespace esc {

namespace {

// A trial-balance row of the pair from the entry's month on, as read before writing.
struct MonthRow {
  qint64 rowId = 0;
  double opening = 0.0;
  double debits = 0.0;
  double credits = 0.0;
  QString nature;
};

void requireOpen(const Table* t) {
  if (!t->isOpen())
    throw StoreError(
        QStringLiteral("Cannot perform this operation on a closed dataset (%1).").arg(t->name()));
}

} // namespace

QString PostingRule::balanceKey(const QString& year, const QString& month, const QString& account,
                                const QString& currentAccount) {
  return book::balanceKey(year, month, account, currentAccount);
}

PostingInput PostingInput::fromEntry(Table& journal, const QString& year) {
  PostingInput in;
  in.year = year;
  in.accountCode = journal.field("CodigoContaContabil").asString();
  in.currentAccount = journal.field("CodigoContaCorrente").asString();
  in.month = fmt::date(journal.field("DataDaContabilizacao").asDate()).mid(3, 2);
  in.entryType = journal.field("TipoDeLancamento").asString();
  in.amount = journal.field("ValorLancamento").asFloat();
  in.journalPrefix = book::entryKeyPrefix(journal.field("AnoContasMesDia").asString());
  return in;
}

struct PostingRule::Checked {
  QString monthKey;
  double seed = 0.0;
  QStringList keys; // the month's key and the later months', in order
  QHash<QString, MonthRow> found;
  QString nature;
};

// Everything is read and checked before the first write, so a refusal changes nothing.
PostingResult PostingRule::check(const PostingInput& entry, Checked& c) {
  requireOpen(dm_.TbBalanco);
  requireOpen(dm_.TbLancamen);
  dm_.TbBalanco->checkBrowseMode();
  Database& db = dm_.database();
  c.monthKey = balanceKey(entry.year, entry.month, entry.accountCode, entry.currentAccount);
  if (entry.entryType != QLatin1String("D") && entry.entryType != QLatin1String("C"))
    return {PostingResult::Status::UnknownEntryType, c.monthKey};

  const QString januaryKey =
      balanceKey(entry.year, QStringLiteral("01"), entry.accountCode, entry.currentAccount);
  const auto january =
      db.select("SELECT SaldoAnterior FROM balanco WHERE CodCtaConCodCtaCor = ?", {januaryKey});
  if (january.isEmpty()) return {PostingResult::Status::MissingMonthRow, januaryKey};
  c.seed = january.first().value(0).toDouble();

  bool monthValid = false;
  const int month = entry.month.toInt(&monthValid);
  if (monthValid && month >= 1 && month <= 12 && entry.month.size() == 2)
    for (int m = month; m <= 12; ++m)
      c.keys << book::balanceKey(book::period(entry.year, m),
                                 book::accountPair(entry.accountCode, entry.currentAccount));
  if (!c.keys.isEmpty()) {
    Statement st =
        db.prepare("SELECT rowid, CodCtaConCodCtaCor, SaldoAnterior, ValorDebito, ValorCredito, "
                   "NaturezaDaConta FROM balanco WHERE CodCtaConCodCtaCor IN (" +
                   QString("?, ").repeated(c.keys.size() - 1) + "?)");
    for (int i = 0; i < c.keys.size(); ++i)
      st.bind(i + 1, c.keys[i]);
    while (st.step())
      c.found.insert(st.text(1),
                     MonthRow{st.integer(0), st.real(2), st.real(3), st.real(4), st.text(5)});
  }
  if (!c.found.contains(c.monthKey)) return {PostingResult::Status::MissingMonthRow, c.monthKey};
  c.nature = c.found.value(c.monthKey).nature;
  if (c.nature != QLatin1String("D") && c.nature != QLatin1String("C"))
    return {PostingResult::Status::UnknownNature, c.monthKey};
  return {};
}

PostingResult PostingRule::post(const PostingInput& entry, Walk walkWhen) {
  Checked c;
  if (PostingResult refused = check(entry, c); !refused.done()) return refused;
  Database& db = dm_.database();
  const bool debit = entry.entryType == QLatin1String("D");
  const QString nature = c.nature;
  auto letterOf = [&](double value) { return *book::letterFor(nature, value); };

  // The walk covers entries of every document, so the journal stops showing only one. A
  // refused entry leaves the journal's view as it was.
  if (walkWhen == Walk::Now) dm_.TbLancamen->setFiltered(false);
  Transaction tx(db);

  // The month's movement and its closing balance, then each later existing month opens with
  // the closing balance of the last one before it; months with no row are skipped.
  double carried = 0.0;
  for (int i = 0; i < c.keys.size(); ++i) {
    auto it = c.found.find(c.keys[i]);
    if (it == c.found.end()) continue;
    MonthRow& row = *it;
    if (i == 0) {
      double& movement = debit ? row.debits : row.credits;
      movement = roundAmount(movement + entry.amount);
    } else {
      row.opening = carried;
    }
    carried = book::natureBalance(nature, row.opening, row.debits, row.credits);
    if (i == 0) {
      db.exec(debit ? QStringLiteral("UPDATE balanco SET ValorDebito = ?, SaldoAtual = ?, "
                                     "TipoSaldoAtual = ? WHERE rowid = ?")
                    : QStringLiteral("UPDATE balanco SET ValorCredito = ?, SaldoAtual = ?, "
                                     "TipoSaldoAtual = ? WHERE rowid = ?"),
              {debit ? row.debits : row.credits, carried, letterOf(carried), row.rowId});
    } else {
      db.exec("UPDATE balanco SET SaldoAnterior = ?, TipoSaldoAnterior = ?, SaldoAtual = ?, "
              "TipoSaldoAtual = ? WHERE rowid = ?",
              {row.opening, letterOf(row.opening), carried, letterOf(carried), row.rowId});
    }
  }
  if (walkWhen == Walk::Now) walk(entry, c.seed, nature);

  tx.commit();
  dm_.TbBalanco->refresh();
  dm_.TbLancamen->refresh();
  return {};
}

PostingResult PostingRule::rewriteRunningBalances(const PostingInput& entry) {
  Checked c;
  if (PostingResult refused = check(entry, c); !refused.done()) return refused;
  Transaction tx(dm_.database());
  walk(entry, c.seed, c.nature);
  tx.commit();
  dm_.TbLancamen->refresh();
  return {};
}

void PostingRule::walk(const PostingInput& entry, double seed, const QString& nature) {
  walkRunningBalances(dm_.database(), entry.journalPrefix, seed, nature);
}

// The pair's entries of the year, in journal order; Ordem (the order of recording) separates
// entries of the same day and document, as the ledger prints them. The scan starts at the prefix
// and stops at the first entry of another pair or year. Everything read comes out of SQLite as
// numbers, so a pair of ten thousand entries is read without an allocation per entry.
QVector<posting::JournalLine> readJournalLines(Database& db, const QString& journalPrefix) {
  QVector<posting::JournalLine> lines;
  Statement st = db.prepare(
      "SELECT rowid, substr(AnoContasMesDia, 1, 24) = ?1, "
      "CASE TipoDeLancamento WHEN 'D' THEN 1 WHEN 'C' THEN 2 ELSE 0 END, ValorLancamento, "
      "SaldoAtual, CASE TipoSaldoAtual WHEN 'D' THEN 1 WHEN 'C' THEN 2 ELSE 0 END "
      "FROM lancamen WHERE AnoContasMesDia COLLATE ESCI >= ?1 "
      "ORDER BY AnoContasMesDia COLLATE ESCI, NumeroDocumento COLLATE ESCI, Ordem");
  st.bind(1, journalPrefix);
  auto side = [](qint64 code) {
    return code == 1 ? posting::Side::D : code == 2 ? posting::Side::C : posting::Side::None;
  };
  while (st.step() && st.integer(1) == 1)
    lines.push_back({st.integer(0), side(st.integer(2)), st.real(3),
                     st.isNull(4) ? std::nullopt : std::optional(st.real(4)), side(st.integer(5))});
  return lines;
}

void writeBalances(Database& db, const QVector<posting::BalanceWrite>& writes) {
  if (writes.empty()) return;
  // Held for the whole walk: a long walk would otherwise look each statement up per entry.
  Statement balance = db.prepare("UPDATE lancamen SET SaldoAtual = ?1 WHERE rowid = ?2");
  Statement withLetter =
      db.prepare("UPDATE lancamen SET SaldoAtual = ?1, TipoSaldoAtual = ?3 WHERE rowid = ?2");
  for (const posting::BalanceWrite& w : writes) {
    const bool keepLetter = w.letter == posting::Side::None;
    Statement& st = keepLetter ? balance : withLetter;
    st.reset();
    st.bind(1, w.balance).bind(2, w.rowId);
    if (!keepLetter) st.bind(3, posting::letterOf(w.letter));
    st.run();
  }
}

// Rows are written after the scan, so it never runs over rows it has just changed; a row that
// already holds its new values is left alone, as rewriting it would change nothing.
void walkRunningBalances(Database& db, const QString& journalPrefix, double seed,
                         const QString& nature) {
  writeBalances(db, posting::walkBalances(readJournalLines(db, journalPrefix), seed,
                                          posting::sideOf(nature)));
}

} // namespace esc
