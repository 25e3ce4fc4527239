#include "ofxImport.h"

#include "book/amounts.h"
#include "book/keys.h"
#include "importedDocuments.h"
#include "store/database.h"
#include "store/formats.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>
#include <cmath>
#include <ctime>
#include <libofx/libofx.h>

namespace esc {

namespace {

const char* const createSql =
    "CREATE TABLE IF NOT EXISTS main.ofx_transacoes (banco TEXT NOT NULL, conta TEXT NOT NULL, "
    "par TEXT NOT NULL, fitid TEXT NOT NULL, documento TEXT NOT NULL, "
    "PRIMARY KEY (banco, conta, par, fitid))";

struct Reading {
  QVector<OfxTransaction> transactions;
  int statements = 0;
};

QString ofxText(const char* text, int valid) {
  return valid ? decodeImportedText(QByteArray(text)).simplified() : QString();
}

int onTransaction(const OfxTransactionData d, void* data) {
  OfxTransaction t;
  if (d.account_ptr) {
    t.bank = ofxText(d.account_ptr->bank_id, d.account_ptr->bank_id_valid);
    t.bankAccount = ofxText(d.account_ptr->account_id, d.account_ptr->account_id_valid);
  } else {
    t.bankAccount = ofxText(d.account_id, d.account_id_valid);
  }
  t.fitid = ofxText(d.fi_id, d.fi_id_valid);
  if (d.date_posted_valid) {
    // Every posting time was made noon UTC before parsing (see readOfxFile): the day in UTC
    // is the day the bank wrote.
    std::tm utc{};
    const std::time_t posted = d.date_posted;
    gmtime_r(&posted, &utc);
    t.date = QDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday);
  }
  if (d.amount_valid) t.amount = roundAmount(d.amount);
  t.text = ofxText(d.memo, d.memo_valid);
  if (t.text.isEmpty()) t.text = ofxText(d.name, d.name_valid);
  static_cast<Reading*>(data)->transactions << t;
  return 0;
}

int onStatement(const OfxStatementData, void* data) {
  ++static_cast<Reading*>(data)->statements;
  return 0;
}

QString transactionText(const OfxTransaction& t) {
  return "FITID " + (t.fitid.isEmpty() ? QStringLiteral("(nenhum)") : t.fitid) + ", " +
         (t.date ? fmt::date(*t.date) : QStringLiteral("sem data")) + ", " + fmt::amount(t.amount) +
         (t.text.isEmpty() ? QString() : ", " + t.text);
}

QString listed(const QString& heading, const QStringList& lines) {
  return heading + " Nada foi importado.\n" + lines.join('\n');
}

} // namespace

std::optional<QVector<OfxTransaction>> readOfxFile(const QString& path) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
  // libofx turns a posting time into the local time of this machine, so a day could move
  // with the time zone. The date the bank wrote is what the books want: each DTPOSTED is
  // rewritten as noon UTC of its own day before libofx reads it. Latin-1 keeps every byte.
  static const QRegularExpression posted(QStringLiteral("(<DTPOSTED>\\s*)(\\d{8})[^<\\r\\n]*"),
                                         QRegularExpression::CaseInsensitiveOption);
  QString text = QString::fromLatin1(in.readAll());
  text.replace(posted, QStringLiteral("\\1\\2120000[0:GMT]"));
  QTemporaryFile copy;
  copy.setFileTemplate(QDir::tempPath() + "/escrivon-XXXXXX.ofx");
  if (!copy.open() || copy.write(text.toLatin1()) < 0 || !copy.flush()) return std::nullopt;
  copy.close();

  // libofx says everything it does on the error output unless told not to.
  ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg =
      ofx_DEBUG4_msg = ofx_DEBUG5_msg = ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg =
          ofx_ERROR_msg = 0;
  Reading reading;
  LibofxContextPtr context = libofx_get_new_context();
  ofx_set_transaction_cb(context, onTransaction, &reading);
  ofx_set_statement_cb(context, onStatement, &reading);
  const int rc = libofx_proc_file(context, QFile::encodeName(copy.fileName()).constData(), OFX);
  libofx_free_context(context);
  if (rc != 0 || (reading.statements == 0 && reading.transactions.isEmpty())) return std::nullopt;
  return reading.transactions;
}

OperationResult importOfxFile(Database& db, const QString& givenYear, const QString& path,
                              const OfxImportOptions& o, Progress& progress) {
  const auto read = readOfxFile(path);
  if (!read)
    return OperationResult::refused(path + " não é um extrato OFX que o sistema consiga ler.");
  const QVector<OfxTransaction>& all = *read;
  QString year = givenYear.trimmed();
  for (const OfxTransaction& t : all)
    if (year.isEmpty() && t.date) year = QString::number(t.date->year());
  ImportedDocuments writer(db, year);

  // Every transaction must be one the book can take. A FITID is the bank's for one account.
  const auto accountOf = [](const OfxTransaction& t) { return t.bank + '\x1f' + t.bankAccount; };
  QStringList outside, unusable;
  QSet<QString> seen;
  for (const OfxTransaction& t : all) {
    const QString id = accountOf(t) + '\x1f' + t.fitid;
    if (t.fitid.isEmpty() || !t.date || seen.contains(id))
      unusable << transactionText(t);
    else if (t.date->year() != year.toInt())
      outside << transactionText(t);
    seen.insert(id);
  }
  if (!unusable.isEmpty())
    return OperationResult::refused(
        listed("Transações sem FITID, sem data ou com FITID repetido no extrato.", unusable));
  if (!outside.isEmpty())
    return OperationResult::refused(listed("Transações fora do exercício " + year + ".", outside));

  // The accounts and the description, once: every transaction would fail on them alike.
  const QString bankPair = book::accountPair(o.account, o.current);
  const QDate probeDate(year.toInt(), 1, 1);
  const auto entry = [&](int source, bool bank, const QString& type, const OfxTransaction* t) {
    NewEntry e;
    e.source = source;
    e.account = bank ? o.account : o.counterAccount;
    e.current = bank ? o.current : o.counterCurrent;
    e.historico = o.historico;
    e.type = type;
    e.date = t ? t->date : std::optional(probeDate);
    e.dateText = e.date ? fmt::date(*e.date) : QString();
    e.amount = t ? std::abs(t->amount) : 1.0;
    e.complement = t ? t->text : QString();
    return e;
  };
  {
    const NewDocument probe = {entry(1, true, "D", nullptr), entry(2, false, "C", nullptr)};
    QStringList faults;
    auto say = [&](const EntryFailure& f) {
      const bool historico =
          f.check == EntryCheck::HistoricoCode || f.check == EntryCheck::HistoricoOnFile;
      const QString who = historico ? "Histórico " + o.historico
                          : f.entry == 1
                              ? "Conta do banco " + o.account + "/" + o.current
                              : "Contrapartida " + o.counterAccount + "/" + o.counterCurrent;
      const QString line = who + ": " + f.text;
      if (!faults.contains(line)) faults << line;
    };
    for (const NewEntry& e : probe)
      for (const EntryFailure& f : writer.entryFailures(e))
        say(f);
    if (faults.isEmpty())
      for (const EntryFailure& f : writer.documentFailures(probe))
        if (f.entry) say(f);
    if (!faults.isEmpty()) return OperationResult::refused(faults.join('\n'));
  }

  // Those imported before: the ids kept for each of the statement's accounts, read at once.
  const bool kept =
      db.selectValue("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND "
                     "name = 'ofx_transacoes'")
          .toInt() > 0;
  QHash<QString, QSet<QString>> imported;
  QVector<const OfxTransaction*> fresh;
  int repeated = 0;
  for (const OfxTransaction& t : all) {
    const QString account = accountOf(t);
    if (kept && !imported.contains(account)) {
      QSet<QString>& ids = imported[account];
      Statement rows = db.query("SELECT fitid FROM main.ofx_transacoes WHERE banco = ? AND "
                                "conta = ? AND par = ?",
                                {t.bank, t.bankAccount, bankPair});
      while (rows.step())
        ids.insert(rows.text(0));
    }
    if (imported.value(account).contains(t.fitid))
      ++repeated;
    else if (t.amount != 0)
      fresh << &t;
  }

  QVector<NewDocument> documents;
  QStringList faults;
  for (const OfxTransaction* t : fresh) {
    const bool in = t->amount > 0;
    const NewDocument d = {entry(1, true, in ? "D" : "C", t), entry(2, false, in ? "C" : "D", t)};
    for (const NewEntry& e : d)
      for (const EntryFailure& f : writer.entryFailures(e))
        faults << transactionText(*t) + ": " + f.text;
    documents << d;
  }
  if (!faults.isEmpty())
    return OperationResult::refused(listed("Transações que o sistema não aceita.", faults));

  const QString message = counted(fresh.size(), "transação importada", "transações importadas") +
                          ", " + counted(repeated, "já importada antes.", "já importadas antes.");
  QVector<OperationResult::Figure> figures = {{"importadas", fresh.size()},
                                              {"repetidas", repeated}};
  if (documents.isEmpty()) return OperationResult::done(message, figures);
  Transaction tx(db);
  db.exec(createSql);
  const OperationResult written = writer.write(documents, progress);
  if (written.isRefused()) return written;
  qint64 number = written.figure("primeiro");
  for (const OfxTransaction* t : fresh)
    db.exec("INSERT INTO main.ofx_transacoes VALUES (?, ?, ?, ?, ?)",
            {t->bank, t->bankAccount, bankPair, t->fitid,
             QString::number(number++).rightJustified(5, '0')});
  tx.commit();
  return OperationResult::done(message, written.figures() + figures);
}

} // namespace esc
