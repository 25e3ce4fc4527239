#include "hledgerExport.h"

#include "book/amounts.h"
#include "book/keys.h"
#include "store/formats.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace esc {

namespace {

// A text as one part of an account name or a description: a colon would make a level of its
// own and a semicolon starts a comment; two blanks end an account name.
QString cleanText(const QString& text) {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  QString s = text;
  s.replace(':', '-').replace(';', '-');
  return s.replace(blanks, QStringLiteral(" ")).trimmed();
}

QString part(const QString& code, const QString& name) {
  const QString n = cleanText(name);
  return n.isEmpty() ? code : code + ' ' + n;
}

// An amount in ten-thousandths, as the book rounds every amount it adds.
qint64 units(double amount) {
  return std::llround(roundAmount(amount) * 10000.0);
}

// Two decimals, or four when the amount has them; a decimal point, no grouping.
QString amountText(qint64 u) {
  const bool negative = u < 0;
  const qint64 a = negative ? -u : u;
  QString s = QString::number(a / 10000) + '.';
  const qint64 fraction = a % 10000;
  s += fraction % 100 == 0 ? QString::number(fraction / 100).rightJustified(2, '0')
                           : QString::number(fraction).rightJustified(4, '0');
  return negative ? '-' + s : s;
}

// The hledger names of the book's account pairs, from the chart.
class AccountNames {
public:
  explicit AccountNames(Database& db) {
    Statement st = db.query("SELECT CodigoContaContabil, CodigoContaCorrente, NomeContaContabil, "
                            "NomeContaCorrente, NivelDaConta FROM contas "
                            "ORDER BY CodCtaConCodCtaCor, rowid");
    while (st.step()) {
      const QString code = st.text(0), current = st.text(1), level = st.text(4);
      const Row row{st.text(2), st.text(3)};
      if (!pairs_.contains(code + current)) pairs_.insert(code + current, row);
      if (!codes_.contains(code)) codes_.insert(code, row);
      const int n = level.toInt();
      // A synthetic account heads the analytic accounts whose codes begin with its first n
      // characters, as the synthetic update totals them.
      if (n >= 1 && n <= 5) {
        const QString key = level + code.left(n);
        if (!levels_.contains(key)) levels_.insert(key, part(code, row.name));
      }
      if (current != QLatin1String("999")) withCurrents_.insert(code);
    }
  }

  QString name(const QString& code, const QString& current) {
    const QString pair = code + current;
    auto known = names_.constFind(pair);
    if (known != names_.constEnd()) return *known;
    QStringList parts;
    for (int n = 1; n <= 5; ++n) {
      auto it = levels_.constFind(QString::number(n) + code.left(n));
      if (it != levels_.constEnd()) parts << *it;
    }
    const Row row = pairs_.value(pair, codes_.value(code));
    parts << part(code, row.name);
    if (current != QLatin1String("999") || withCurrents_.contains(code))
      parts << part(current, pairs_.value(pair).currentName);
    return *names_.insert(pair, parts.join(':'));
  }

private:
  struct Row {
    QString name, currentName;
  };
  QHash<QString, Row> pairs_, codes_;
  QHash<QString, QString> levels_; // level + leading characters -> "code name"
  QSet<QString> withCurrents_;     // codes with current accounts other than 999
  QHash<QString, QString> names_;
};

struct Posting {
  QString account;
  qint64 amount = 0; // ten-thousandths, debit positive
  QString comment;
  QDate date; // the entry's date in the fiscal year
  QString bookDate;
};

struct Document {
  QString number, description;
  QDate date;
  QVector<Posting> postings;
};

// An entry's date as a date of the fiscal year: the book posts it to the month of its date
// in the year it was saved under, even when the date's own year differs.
QDate inYear(int year, const QDate& date) {
  if (!date.isValid()) return QDate(year, 1, 1);
  const QDate d(year, date.month(), date.day());
  return d.isValid() ? d : QDate(year, date.month(), 1).addMonths(1).addDays(-1);
}

void writePosting(QString& out, const Posting& p, const QDate& transactionDate) {
  out += QStringLiteral("    %1  %2").arg(p.account, amountText(p.amount));
  QStringList comment;
  if (!p.comment.isEmpty()) comment << p.comment;
  if (p.date != transactionDate) comment << "date:" + p.date.toString(Qt::ISODate);
  if (!p.bookDate.isEmpty()) comment << "data no livro " + p.bookDate;
  if (!comment.isEmpty()) out += "  ; " + comment.join(", ");
  out += '\n';
}

QString header(Database& db, const QString& year) {
  const auto org = db.select("SELECT NomeDaOrganizacao, CNPJDaOrganizacao FROM cabecalh LIMIT 1");
  QString who;
  if (!org.isEmpty())
    who = QStringLiteral(" de %1 (CNPJ %2)")
              .arg(cleanText(org[0][0].toString()), org[0][1].toString());
  return QStringLiteral(
             "; Escrivon: exercício %1%2, exportado em %3.\n"
             "; Os documentos processados do exercício, uma transação por documento, e os saldos\n"
             "; de janeiro das contas analíticas na transação de abertura de 01/01 (tag "
             "abertura).\n"
             ";\n"
             "; Sinais do hledger: débito positivo, crédito negativo. O Escrivon guarda os saldos\n"
             "; com o sinal da natureza da conta (positivo do lado da natureza); aqui o saldo de "
             "uma\n"
             "; conta de natureza credora (passivo, patrimônio líquido, receitas) aparece "
             "negativo:\n"
             "; 1.000,00 C no balancete é -1000.00. Valores em reais, ponto decimal, sem moeda.\n"
             ";\n"
             "; Contas: \"código nome\" na hierarquia do plano de contas (as contas sintéticas de\n"
             "; cada nível, separadas por \":\"), com a conta corrente abaixo da conta analítica;\n"
             "; uma conta sem contas correntes (999) termina na conta analítica.\n"
             ";\n"
             "; Movimento de cada mês, como no balancete:  hledger -f ARQUIVO bal -M "
             "not:tag:abertura\n"
             "; Saldo de fim de cada mês:                  hledger -f ARQUIVO bal -M -H\n"
             "; A conta de resultado 299999/999 recebe o resultado de cada mês pela atualização "
             "de\n"
             "; contas sintéticas, não por lançamentos: aqui tem só os seus lançamentos.\n\n")
      .arg(year, who, fmt::date(QDate::currentDate()));
}

} // namespace

QString hledgerJournal(Database& db, const QString& year, QVector<OperationResult::Figure>* counts,
                       Progress& progress) {
  const int y = year.toInt();
  AccountNames names(db);
  QString out = header(db, year);

  // Opening: January's opening balance of every analytic pair, turned to hledger's sign.
  Posting difference;
  QVector<Posting> opening;
  Statement rows =
      db.query("SELECT CodigoContaContabil, CodigoContaCorrente, NaturezaDaConta, SaldoAnterior "
               "FROM balanco WHERE Periodo = ? AND NivelDaConta = '6' ORDER BY CodCtaConCodCtaCor",
               {year + "01"});
  while (rows.step()) {
    const qint64 u = units(rows.real(3));
    if (u == 0) continue;
    const bool debit = rows.text(2) == QLatin1String("D"); // other natures count as credit
    opening.push_back({names.name(rows.text(0), rows.text(1)), debit ? u : -u, {}, {}, {}});
    difference.amount -= opening.last().amount;
  }
  const QDate first(y, 1, 1);
  if (!opening.isEmpty()) {
    out += first.toString(Qt::ISODate) + " * Saldos de abertura  ; abertura:\n";
    for (const Posting& p : std::as_const(opening))
      writePosting(out, {p.account, p.amount, {}, first, {}}, first);
    // Openings that do not balance (a year carried forward in part) are said, not hidden.
    if (difference.amount != 0)
      writePosting(out,
                   {"Diferença de abertura",
                    difference.amount,
                    "os saldos de abertura do livro não se equilibram",
                    first,
                    {}},
                   first);
    out += '\n';
  }

  // Documents: the processed entries saved under the year, in journal order within each.
  QVector<Document> documents;
  QHash<QString, int> byNumber;
  int postings = 0;
  Statement entries = db.query(
      "SELECT l.NumeroDocumento, l.DataDaContabilizacao, l.CodigoContaContabil, "
      "l.CodigoContaCorrente, upper(l.TipoDeLancamento), l.ValorLancamento, l.CodigoHistorico, "
      "l.HistoricoComplementar, (SELECT h.NomeHistorico FROM historic h "
      "WHERE h.CodigoHistorico = l.CodigoHistorico LIMIT 1) FROM lancamen l "
      "WHERE upper(l.Situacao) = 'P' AND substr(l.AnoContasMesDia, 1, 4) = ? "
      "ORDER BY l.NumeroDocumento, l.AnoContasMesDia, l.rowid",
      {year});
  while (entries.step()) {
    const QString number = entries.text(0);
    const QDate bookDate = QDate::fromString(entries.text(1), Qt::ISODate);
    const QDate date = inYear(y, bookDate);
    const QString historico = cleanText(entries.text(8));
    const QString complement = cleanText(entries.text(7));
    auto it = byNumber.constFind(number);
    if (it == byNumber.constEnd()) {
      it = byNumber.insert(number, int(documents.size()));
      documents.push_back({number, complement.isEmpty() ? historico : complement, date, {}});
    }
    const qint64 u = units(entries.real(5));
    Posting p{names.name(entries.text(2), entries.text(3)),
              entries.text(4) == QLatin1String("D") ? u : -u,
              part(entries.text(6), historico) + (complement.isEmpty() ? "" : " - " + complement),
              date,
              {}};
    if (bookDate.isValid() && bookDate.year() != y) p.bookDate = fmt::date(bookDate);
    documents[*it].postings.push_back(p);
    ++postings;
  }
  std::stable_sort(documents.begin(), documents.end(),
                   [](const Document& a, const Document& b) { return a.date < b.date; });
  progress.setRange(0, int(documents.size()));
  int done = 0;
  for (const Document& d : std::as_const(documents)) {
    out +=
        QStringLiteral("%1 * (%2) %3\n").arg(d.date.toString(Qt::ISODate), d.number, d.description);
    for (const Posting& p : d.postings)
      writePosting(out, p, d.date);
    out += '\n';
    progress.setPosition(++done);
  }
  if (counts)
    *counts = {{"documents", documents.size()},
               {"postings", postings},
               {"opening accounts", opening.size()}};
  return out;
}

OperationResult exportHledger(Database& db, const QString& year, const QString& path,
                              Progress& progress) {
  if (!db.selectValue("SELECT 1 FROM balanco WHERE Periodo = ? LIMIT 1", {year + "01"}).isValid())
    return OperationResult::refused(
        QStringLiteral("Exercício %1 não tem balancete neste livro. Nada exportado.").arg(year));
  QVector<OperationResult::Figure> counts;
  const QString text = hledgerJournal(db, year, &counts, progress);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
    return OperationResult::refused(
        QStringLiteral("Não foi possível gravar %1: %2").arg(path, file.errorString()));
  return OperationResult::done(QStringLiteral("Diário de %1 exportado para o hledger em %2: %3 "
                                              "documento(s), %4 lançamento(s).")
                                   .arg(year, path)
                                   .arg(counts[0].value)
                                   .arg(counts[1].value),
                               counts);
}

} // namespace esc
