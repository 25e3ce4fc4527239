#include "processing.h"

#include "posting.h"
#include "store/formats.h"
#include "store/storeerror.h"

#include <QHash>
#include <QScopeGuard>
#include <cmath>
#include <optional>

namespace esc {

namespace {

// One entry of the document as read from the journal view.
struct DocEntry {
  qint64 rowId = 0;
  QString account;
  QString current;
  QString type;
  QString status;
  QString date; // dd/mm/yyyy
  double amount = 0.0;
  QString key; // AnoContasMesDia
};

QVector<DocEntry> readView(Table& journal) {
  QVector<DocEntry> out;
  const QVector<Record> rows = journal.rows(0, journal.recordCount());
  out.reserve(rows.size());
  for (const Record& r : rows) {
    DocEntry e;
    e.rowId = r.rowId;
    e.account = journal.valueOf(r, "CodigoContaContabil").toString();
    e.current = journal.valueOf(r, "CodigoContaCorrente").toString();
    e.type = journal.valueOf(r, "TipoDeLancamento").toString();
    e.status = journal.valueOf(r, "Situacao").toString();
    e.date = fmt::date(journal.valueOf(r, "DataDaContabilizacao").toDate());
    e.amount = journal.valueOf(r, "ValorLancamento").toDouble();
    e.key = journal.valueOf(r, "AnoContasMesDia").toString();
    out << e;
  }
  return out;
}

QString alreadyProcessedText(int processed) {
  if (processed == 1)
    return QStringLiteral("Existe 1 lançamento já processado.Documento não pode ser reprocessado.");
  return "Existem " + QString::number(processed) + " lançamentos já processados." +
         "Documento não pode ser reprocessado.";
}

// Marks the document's entries "P", each only while it is not processed yet; inside the
// caller's transaction. The refusal's text when some entry is processed already or gone.
QString claimEntries(Database& db, const QVector<DocEntry>& entries) {
  // The row ids go in as one bound JSON array.
  QStringList ids;
  for (const DocEntry& e : entries)
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

} // namespace

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

bool DocumentProcessing::run() {
  // The page offers Processar only while browsing; an entry half typed is never processed.
  if (ctx_.dm().TbLancamen->isEditing()) return false;
  try {
    return validate() && post();
  } catch (const StoreError& e) {
    if (!e.silent()) ctx_.ui().error(e.message());
    return false;
  }
}

bool DocumentProcessing::validate() {
  TDEscrivon& dm = ctx_.dm();
  Ui& ui = ctx_.ui();
  Table& journal = *dm.TbLancamen;
  Table& chart = *dm.TbContas;
  Database& db = dm.database();

  // The view is read as it is now, not as it was when the document was chosen: an entry
  // changed since Filtrar is checked with its new values.
  const QVector<DocEntry> entries = readView(journal);
  if (entries.isEmpty()) {
    ui.message("Documento inválido. Não contém lançamentos para processar.");
    return false;
  }
  chart.setOrder("");
  ctx_.setSearchText(SearchKind::Contas, chart.field("CodigoContaContabil").asString());
  journal.first();

  const QString year = ctx_.selectedYear();
  const QString firstDate = entries.first().date;
  // No year selected never matches, whatever the entry's date.
  if (year.trimmed().isEmpty() || firstDate.mid(8, 2) != year.mid(2, 2)) {
    // clang-format off
    ui.message("Data do Documento não confere com o exercício para o qual o sistema está selecionado.");
    // clang-format on
    return false;
  }

  double debits = 0.0, credits = 0.0;
  int processed = 0;
  for (int i = 0; i < entries.size(); ++i) {
    const DocEntry& e = entries[i];
    auto refuse = [&](const QString& text) {
      journal.gotoBookmark({e.rowId}); // left on the entry the check stopped at
      ui.message(text);
      return false;
    };
    // The key carries the year selected when the entry was saved. Posted in another year, the
    // entry would move this year's trial balance while the running balances of its own year
    // were rewritten.
    if (e.key.left(4) != year)
      return refuse("Lançamento " + e.key + " pertence a outro exercício, não ao exercício " +
                    year + " selecionado.");
    const QString pair = e.account + e.current;
    if (!chart.findKey({pair}))
      return refuse("Conta " + pair + " não cadastrada. Operação cancelada");
    if (chart.field("NivelDaConta").asString() < QLatin1String("6"))
      return refuse("Conta " + pair + " é sintética." + "Não pode receber lançamentos.");
    const QString january = PostingRule::balanceKey(year, "01", e.account, e.current);
    if (db.select("SELECT 1 FROM balanco WHERE CodCtaConCodCtaCor = ?", {january}).isEmpty())
      return refuse("Contas " + january.mid(6, 6) + " " + january.mid(12, 14).trimmed() +
                    " não cadastradas para este exercicio.");
    if (e.status == QLatin1String("P")) ++processed;
    if (e.type == QLatin1String("D"))
      debits = addToTotal(debits, e.amount);
    else if (e.type == QLatin1String("C"))
      credits = addToTotal(credits, e.amount);
    if (e.date != firstDate)
      return refuse("Data do lançamento n. " + QString::number(i + 1) +
                    " diverge do lançamento n. 1");
    // An entry neither debit nor credit would count in neither total and could not be
    // posted; "&Gravar" refuses it with this message, so processing does too.
    if (e.type != QLatin1String("D") && e.type != QLatin1String("C"))
      return refuse("Tipo de lançamento só pode ser D (Débito) ou C (Crédito).");
  }
  journal.gotoBookmark({entries.last().rowId});
  entryCount_ = entries.size();

  if (showTotals) showTotals(totalText(debits), totalText(credits));
  if (processed > 0) {
    ui.message(alreadyProcessedText(processed));
    return false;
  }
  if (credits != debits) {
    ui.message("Documento inválido. Soma de Créditos: " + totalText(credits) +
               " - Débitos: " + totalText(debits));
    return false;
  }
  return ui.confirm("Confirma o processamento deste documento?");
}

bool DocumentProcessing::post() {
  TDEscrivon& dm = ctx_.dm();
  Ui& ui = ctx_.ui();
  Table& journal = *dm.TbLancamen;
  Table& balance = *dm.TbBalanco;
  Database& db = dm.database();
  const QString year = ctx_.selectedYear();

  balance.setOrder("");
  ctx_.setSearchText(SearchKind::Balanco, balance.field("CodCtaConCodCtaCor").asString());
  journal.setOrder("SI_AnoContasMesDia");
  ctx_.setSearchText(SearchKind::Lancamentos, journal.field("AnoContasMesDia").asString());
  journal.first();

  // The grids bound to the journal and the trial balance would repaint at every row.
  journal.disableControls();
  balance.disableControls();
  Progress& progress = ui.progress();
  auto thaw = qScopeGuard([&] {
    progress.reset();
    balance.enableControls();
    journal.enableControls();
  });

  // The entries in the order they are posted, at most as many as validation counted.
  QVector<DocEntry> entries = readView(journal);
  if (entries.size() > entryCount_) entries.resize(entryCount_);
  progress.setRange(0, entries.size());

  PostingRule rule(dm);
  auto inputOf = [&](const DocEntry& e) {
    PostingInput in;
    in.year = year;
    in.accountCode = e.account;
    in.currentAccount = e.current;
    in.month = e.date.mid(3, 2);
    in.entryType = e.type;
    in.amount = e.amount;
    in.journalPrefix = e.key.left(24);
    return in;
  };
  auto failureText = [](const PostingResult& r) {
    if (r.status == PostingResult::Status::UnknownNature)
      return "Erro. Chave " + r.key + " do balancete sem natureza D ou C.";
    if (r.status == PostingResult::Status::UnknownEntryType)
      return QStringLiteral("Tipo de lançamento só pode ser D (Débito) ou C (Crédito).");
    return "Erro. Chave " + r.key + " não localizada no balancete.";
  };

  std::optional<PostingResult> failure;
  int failedAt = 0;
  QString claimRefusal;
  {
    Transaction tx(db);
    // Checked before the transaction, the document may have been processed since by another
    // program on the same files. Marking comes first, under the transaction's write lock, and
    // must find every entry still unprocessed.
    claimRefusal = claimEntries(db, entries);
    // Movements first; each pair's running balances are walked once afterwards, which
    // leaves the same rows as walking after every entry (the walk reads neither the status
    // nor the trial balance's movements). The walk of a pair takes the nature of the month
    // row of its last entry, as the last of the per-entry walks would.
    QHash<QString, int> lastOfPair;
    QStringList pairs;
    for (int i = 0; claimRefusal.isEmpty() && i < entries.size(); ++i) {
      const PostingInput in = inputOf(entries[i]);
      const PostingResult r = rule.post(in, PostingRule::Walk::Later);
      if (!r.done()) {
        failure = r;
        failedAt = i;
        break;
      }
      if (!lastOfPair.contains(in.journalPrefix)) pairs << in.journalPrefix;
      lastOfPair[in.journalPrefix] = i;
      progress.setPosition(i + 1);
    }
    if (claimRefusal.isEmpty() && !failure) {
      for (const QString& pair : pairs) {
        const PostingResult r = rule.rewriteRunningBalances(inputOf(entries[lastOfPair[pair]]));
        if (!r.done()) throw StoreError(failureText(r)); // its rows were just posted
      }
      tx.commit();
    }
  } // not committed: every row of the document is as it was, and the cursors re-read
  // The posting run walks with the document filter on (nothing switched it off), so the
  // journal still shows the document; it stays on the last entry posted or the one that failed.
  if (!claimRefusal.isEmpty()) {
    journal.gotoBookmark({entries.first().rowId});
    ui.message(claimRefusal);
    return false;
  }
  if (failure) {
    journal.gotoBookmark({entries[failedAt].rowId});
    ui.message(failureText(*failure));
    return false;
  }
  journal.gotoBookmark({entries.last().rowId});
  ui.message("Processamento do documento concluído com sucesso");
  return true;
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
