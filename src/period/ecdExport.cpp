#include "ecdExport.h"

#include "book/amounts.h"
#include "book/keys.h"
#include "book/period.h"
#include "book/taxIds.h"
#include "spedData.h"
#include "syntheticUpdate.h"

#include <QDate>
#include <QHash>
#include <QSaveFile>
#include <QVector>
#include <cmath>
#include <optional>

namespace esc {

namespace {

using Fields = std::initializer_list<QString>;

// The file being built, block by block, in memory: the terms (I030, J900) state the file's
// line count, known only at the end, so their lines are kept apart and filled in last.
class EcdWriter {
public:
  EcdWriter() { chunks_.push_back({}); }

  void line(Fields fields) {
    count(*fields.begin());
    append(chunks_.last(), fields);
  }
  // Counts a line whose fields are known later; fill() writes it.
  int reserve(const QString& reg) {
    count(reg);
    chunks_.push_back({});
    const int at = int(chunks_.size()) - 1;
    chunks_.push_back({});
    return at;
  }
  void fill(int at, Fields fields) { append(chunks_[at], fields); }

  int lines() const { return lines_; }
  // Lines since the last mark (a block's count for its x990, which counts itself).
  int markedLines() const { return lines_ - mark_; }
  void mark() { mark_ = lines_; }
  int pipes() const { return pipes_; }
  int replaced() const { return replaced_; }
  const QStringList& registers() const { return order_; }
  int countOf(const QString& reg) const { return counts_.value(reg); }
  const QVector<QByteArray>& chunks() const { return chunks_; }

private:
  void count(const QString& reg) {
    ++lines_;
    auto it = counts_.find(reg);
    if (it == counts_.end()) {
      counts_.insert(reg, 1);
      order_ << reg;
    } else {
      ++*it;
    }
  }
  void append(QByteArray& out, Fields fields) {
    out += '|';
    for (const QString& f : fields) {
      for (QChar c : f) {
        const char16_t u = c.unicode();
        if (u == '|') {
          ++pipes_;
          out += '-';
        } else if (u == '\r' || u == '\n' || u == '\t') {
          out += ' ';
        } else if (u > 255) {
          ++replaced_;
          out += '?';
        } else {
          out += char(u);
        }
      }
      out += '|';
    }
    out += "\r\n";
  }

  QVector<QByteArray> chunks_;
  QHash<QString, int> counts_;
  QStringList order_;
  int lines_ = 0, mark_ = 0, pipes_ = 0, replaced_ = 0;
};

// Cents, for amounts that hold whole cents (the checks refuse any other).
qint64 centsOf(double value) {
  return std::llround(value * 100.0);
}

QString amountText(qint64 cents) {
  const qint64 a = cents < 0 ? -cents : cents;
  return QStringLiteral("%1,%2").arg(a / 100).arg(a % 100, 2, 10, QChar('0'));
}

QString dateText(const QDate& d) {
  return d.isValid() ? d.toString(QStringLiteral("ddMMyyyy")) : QString();
}
// A stored ISO date "yyyy-mm-dd" as DDMMAAAA.
QString isoDateText(const QString& iso) {
  return iso.mid(8, 2) + iso.mid(5, 2) + iso.left(4);
}

QString other(const QString& letter) {
  return letter == QLatin1String("D") ? QStringLiteral("C") : QStringLiteral("D");
}
// The letter of a balance signed on the side of `nature` (the nature's letter from zero up);
// a nature other than "D" counts on the credit side, as the balances of the book do.
QString letterOf(const QString& nature, qint64 cents) {
  const QString n = nature == QLatin1String("D") ? QStringLiteral("D") : QStringLiteral("C");
  return cents >= 0 ? n : other(n);
}

QString groupedNumber(qint64 n) {
  QString digits = QString::number(n);
  for (int i = int(digits.size()) - 3; i > 0; i -= 3)
    digits.insert(i, ' ');
  return digits;
}

// COD_CTA of an analytic account pair.
QString accountCode(const QString& code, const QString& current) {
  return current == QLatin1String("999") ? code : code + current;
}

// The code of the nearest earlier account of a lower level whose code shares its prefix of that
// level: `stack` holds the open accounts of each level (1 to 6) while walking in code order.
QString superiorOf(const QString& code, int level, const QVector<QString>& stack) {
  for (int l = level - 1; l >= 1; --l)
    if (!stack[l].isEmpty() && code.startsWith(stack[l].left(l))) return stack[l];
  return {};
}

struct Entry {
  QString document, date, code, current, dc, historic, complement;
  qint64 cents = 0;
  int month = 0;
};

struct ChartAccount {
  QString code, current, name, currentName, level;
};

struct MonthRow {
  QString code, current, nature;
  qint64 opening = 0, debits = 0, credits = 0, closing = 0; // signed on the nature
};

struct Line {
  QString order, first, last, name, sign;
  double own = 0, accumulated = 0;
};

OperationResult refuse(EcdRefusal why, const QString& text) {
  return OperationResult::refused(text, int(why));
}

OperationResult missing(const QString& field) {
  return refuse(EcdRefusal::MissingData,
                QStringLiteral("Dado para o SPED não informado: %1. Nada foi gravado.").arg(field));
}

} // namespace

OperationResult exportEcd(Database& db, const QString& year, const QString& path,
                          Progress& progress) {
  const int y = year.toInt();
  const QDate first(y, 1, 1), last(y, 12, 31);

  // ---- The organization and the SPED data.
  const auto org = db.select("SELECT NomeDaOrganizacao, CNPJDaOrganizacao, Livro FROM cabecalh "
                             "LIMIT 1");
  const QString name = org.isEmpty() ? QString() : org[0][0].toString().trimmed();
  const QString cnpjTyped = org.isEmpty() ? QString() : org[0][1].toString();
  const QString cnpj = book::digitsOf(cnpjTyped);
  const qint64 bookNumber = org.isEmpty() ? 0 : org[0][2].toLongLong();
  const SpedData sped = loadSpedData(db);
  if (name.isEmpty()) return missing(QStringLiteral("nome da organização"));
  if (cnpj.isEmpty()) return missing(QStringLiteral("CNPJ da organização"));
  if (bookNumber <= 0) return missing(QStringLiteral("número do livro"));
  if (sped.uf.isEmpty()) return missing(QStringLiteral("UF"));
  if (sped.municipalityCode.isEmpty()) return missing(QStringLiteral("código IBGE do município"));
  if (sped.municipalityName.isEmpty()) return missing(QStringLiteral("nome do município"));
  if (!sped.nireDate.isValid()) return missing(QStringLiteral("data do arquivamento (NIRE)"));
  if (sped.signatories.isEmpty()) return missing(QStringLiteral("signatários"));
  const SpedSignatory* accountant = nullptr;
  int responsible = 0;
  for (const SpedSignatory& s : sped.signatories) {
    if (s.accountant() && !accountant) accountant = &s;
    if (s.legalResponsible) ++responsible;
    if (s.qualification.isEmpty())
      return missing(QStringLiteral("qualificação do signatário %1").arg(s.name));
  }
  if (!accountant) return missing(QStringLiteral("signatário contador (código 900)"));
  if (responsible != 1) return missing(QStringLiteral("um (e só um) responsável legal"));
  const QString who = QStringLiteral(" do contador %1").arg(accountant->name);
  if (accountant->crc.isEmpty()) return missing("CRC" + who);
  if (accountant->crcUf.isEmpty()) return missing("UF do CRC" + who);
  if (accountant->crcSequence.isEmpty()) return missing("número da certidão do CRC" + who);
  if (!accountant->crcValidity.isValid()) return missing("validade da certidão do CRC" + who);
  if (accountant->email.isEmpty()) return missing("e-mail" + who);
  if (accountant->phone.isEmpty()) return missing("telefone" + who);
  if (!book::validCnpj(cnpj))
    return refuse(EcdRefusal::InvalidTaxId,
                  QStringLiteral("CNPJ %1 da organização inválido: dígitos verificadores "
                                 "errados. Nada foi gravado.")
                      .arg(cnpjTyped));
  for (const SpedSignatory& s : sped.signatories)
    if (!(s.cpf.size() == 14 ? book::validCnpj(s.cpf) : book::validCpf(s.cpf)))
      return refuse(EcdRefusal::InvalidTaxId,
                    QStringLiteral("CPF %1 do signatário %2 inválido: dígitos verificadores "
                                   "errados. Nada foi gravado.")
                        .arg(s.cpf, s.name));

  // ---- The journal of the year, in document order.
  const auto unprocessed =
      db.selectValue("SELECT NumeroDocumento FROM lancamen WHERE substr(AnoContasMesDia, 1, 4) = "
                     "? AND Situacao <> 'P' ORDER BY NumeroDocumento LIMIT 1",
                     {year});
  if (unprocessed.isValid())
    return refuse(EcdRefusal::Unprocessed,
                  QStringLiteral("Documento %1 do exercício de %2 não processado. Processe-o "
                                 "antes. Nada foi gravado.")
                      .arg(unprocessed.toString(), year));
  QVector<Entry> entries;
  {
    Statement q =
        db.query("SELECT NumeroDocumento, DataDaContabilizacao, CodigoContaContabil, "
                 "CodigoContaCorrente, TipoDeLancamento, ValorLancamento, CodigoHistorico, "
                 "HistoricoComplementar FROM lancamen WHERE substr(AnoContasMesDia, 1, 4) = ? "
                 "ORDER BY NumeroDocumento, Ordem",
                 {year});
    while (q.step()) {
      Entry e;
      e.document = q.text(0);
      e.date = q.text(1);
      e.code = q.text(2);
      e.current = q.text(3);
      e.dc = q.text(4);
      const double value = q.real(5);
      e.cents = centsOf(value);
      if (std::fabs(value * 100.0 - double(e.cents)) > 1e-6)
        return refuse(EcdRefusal::FractionOfCent,
                      QStringLiteral("Documento %1: valor %2 da conta %3 / %4 com fração de "
                                     "centavo; o arquivo tem duas casas decimais. Nada foi "
                                     "gravado.")
                          .arg(e.document, QString::number(value, 'f', 4).replace('.', ','), e.code,
                               e.current));
      e.historic = q.text(6);
      e.complement = q.text(7).trimmed();
      e.month = e.date.mid(5, 2).toInt();
      entries.push_back(std::move(e));
    }
  }
  // Each document balances.
  for (int i = 0; i < entries.size();) {
    qint64 debits = 0, credits = 0;
    int j = i;
    for (; j < entries.size() && entries[j].document == entries[i].document; ++j)
      (entries[j].dc == QLatin1String("D") ? debits : credits) += entries[j].cents;
    if (debits != credits)
      return refuse(EcdRefusal::Unbalanced,
                    QStringLiteral("Documento %1: débitos %2 diferem dos créditos %3. Nada foi "
                                   "gravado.")
                        .arg(entries[i].document, amountText(debits), amountText(credits)));
    i = j;
  }

  // ---- The statements and the roll-up must be those of the book as it is now.
  {
    NoProgress quiet;
    const SyntheticRollUp rollUp = computeSyntheticUpdate(db, year, quiet);
    if (!rollUp.missingResultMonth.isEmpty() || !rollUp.changes.isEmpty())
      return refuse(EcdRefusal::SyntheticOutdated,
                    QStringLiteral("Os saldos das contas sintéticas de %1 não estão atualizados: "
                                   "execute a atualização de contas sintéticas. Nada foi "
                                   "gravado.")
                        .arg(year));
  }
  QVector<Line> lines;
  for (const QVariantList& r :
       db.select("SELECT OrdemDoGrupo, ContaInicial, ContaFinal, NomeDoGrupo, SinalDoGrupo, "
                 "SaldoDoGrupo, Acumulado, AnoEMes FROM demresul ORDER BY OrdemDoGrupo")) {
    const QString period = r[7].toString();
    if (period != book::period(year, 12))
      return refuse(
          EcdRefusal::IncomeStatement,
          QStringLiteral("A demonstração de resultado está atualizada para o período "
                         "%1: atualize-a para %2. Nada foi gravado.")
              .arg(period.isEmpty() ? QStringLiteral("(nenhum)") : period, book::period(year, 12)));
    lines.push_back({r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(),
                     r[4].toString().trimmed(), r[5].toDouble(), r[6].toDouble()});
  }
  if (lines.isEmpty())
    return refuse(EcdRefusal::IncomeStatement,
                  QStringLiteral("A demonstração de resultado não tem linhas. Nada foi gravado."));
  const auto sheet = db.select("SELECT CodigoContaContabil, NivelDaConta, NaturezaDaConta, "
                               "SaldoAnterior, SaldoAtual, Periodo FROM balpatri ORDER BY "
                               "CodigoContaContabil");
  {
    qint64 assets = 0, liabilities = 0;
    for (const QVariantList& r : sheet) {
      if (r[5].toString() != year)
        return refuse(EcdRefusal::BalanceSheet,
                      QStringLiteral("O balanço patrimonial é do exercício %1: execute a "
                                     "atualização do balanço patrimonial de %2. Nada foi "
                                     "gravado.")
                          .arg(r[5].toString(), year));
      if (r[1].toString() != QLatin1String("6")) continue;
      const QString code = r[0].toString(), nature = r[2].toString();
      const qint64 closing = centsOf(r[4].toDouble());
      if (code.startsWith('1')) assets += nature == QLatin1String("C") ? -closing : closing;
      if (code.startsWith('2')) liabilities += nature == QLatin1String("D") ? -closing : closing;
    }
    if (sheet.isEmpty())
      return refuse(EcdRefusal::BalanceSheet,
                    QStringLiteral("O balanço patrimonial está vazio: execute a atualização do "
                                   "balanço patrimonial de %1. Nada foi gravado.")
                        .arg(year));
    if (assets != liabilities)
      return refuse(EcdRefusal::BalanceSheet,
                    QStringLiteral("O balanço patrimonial de %1 não fecha: ativo %2, passivo e "
                                   "patrimônio líquido %3. Nada foi gravado.")
                        .arg(year, amountText(assets), amountText(liabilities)));
  }

  // ---- The chart and the trial balance's analytic rows of the year.
  QVector<ChartAccount> chart;
  for (const QVariantList& r :
       db.select("SELECT CodigoContaContabil, CodigoContaCorrente, NomeContaContabil, "
                 "NomeContaCorrente, NivelDaConta FROM contas ORDER BY CodigoContaContabil, "
                 "CodigoContaCorrente"))
    chart.push_back({r[0].toString(), r[1].toString(), r[2].toString().trimmed(),
                     r[3].toString().trimmed(), r[4].toString()});
  QVector<QVector<MonthRow>> months(13);
  {
    Statement q = db.query(
        "SELECT CodigoContaContabil, CodigoContaCorrente, Periodo, NaturezaDaConta, "
        "SaldoAnterior, ValorDebito, ValorCredito, SaldoAtual FROM balanco WHERE Periodo >= ? "
        "AND Periodo <= ? AND NivelDaConta = '6' ORDER BY Periodo, CodCtaConCodCtaCor",
        {book::period(year, 1), book::period(year, 12)});
    while (q.step()) {
      MonthRow r{q.text(0),          q.text(1),          q.text(3),         centsOf(q.real(4)),
                 centsOf(q.real(5)), centsOf(q.real(6)), centsOf(q.real(7))};
      months[book::periodMonth(q.text(2)).toInt()].push_back(std::move(r));
    }
  }
  // The accounts the result account collects: analytic rows of groups 3 and 4.
  auto closesIntoResult = [](const QString& code) {
    return code.startsWith('3') || code.startsWith('4');
  };
  // Movement without a nature code.
  for (int m = 1; m <= 12; ++m)
    for (const MonthRow& r : months[m])
      if ((r.opening || r.debits || r.credits) && sped.natureOf(r.code).isEmpty())
        return refuse(EcdRefusal::NoNature,
                      QStringLiteral("Conta %1 / %2 com movimento e sem natureza SPED: informe-a "
                                     "nos dados para o SPED. Nada foi gravado.")
                          .arg(r.code, r.current));

  progress.setRange(0, int(entries.size()) + 24);
  int step = 0;

  // ---- The closing entry: every account of groups 3 and 4 to zero against the result account.
  struct Closing {
    QString code, current, dc, nature;
    qint64 cents = 0, balance = 0;
  };
  QVector<Closing> closing;
  qint64 toResult = 0; // credit to the result account when positive
  for (const MonthRow& r : months[12]) {
    if (!closesIntoResult(r.code) || r.closing == 0) continue;
    const QString nature =
        r.nature == QLatin1String("D") ? QStringLiteral("D") : QStringLiteral("C");
    const QString dc = r.closing > 0 ? other(nature) : nature;
    const qint64 cents = r.closing > 0 ? r.closing : -r.closing;
    closing.push_back({r.code, r.current, dc, nature, cents, r.closing});
    toResult += dc == QLatin1String("D") ? cents : -cents;
  }
  const QString closingNumber = "E" + year;

  // ---- The result account's months in the file: moved by entries only.
  const QString resultPair = book::resultPair;
  QVector<qint64> resultDebits(13, 0), resultCredits(13, 0);
  for (const Entry& e : entries)
    if (book::accountPair(e.code, e.current) == resultPair)
      (e.dc == QLatin1String("D") ? resultDebits : resultCredits)[e.month] += e.cents;
  if (toResult > 0) resultCredits[12] += toResult;
  if (toResult < 0) resultDebits[12] -= toResult;
  {
    qint64 carried = 0;
    bool first = true;
    for (int m = 1; m <= 12; ++m)
      for (MonthRow& r : months[m]) {
        if (book::accountPair(r.code, r.current) == resultPair) {
          if (first) carried = r.opening;
          first = false;
          r.opening = carried;
          r.debits = resultDebits[m];
          r.credits = resultCredits[m];
          r.closing = r.nature == QLatin1String("D") ? r.opening + r.debits - r.credits
                                                     : r.opening + r.credits - r.debits;
          carried = r.closing;
        } else if (m == 12 && closesIntoResult(r.code) && r.closing != 0) {
          if (r.closing > 0 ? r.nature == QLatin1String("D") : r.nature != QLatin1String("D"))
            r.credits += r.closing > 0 ? r.closing : -r.closing;
          else
            r.debits += r.closing > 0 ? r.closing : -r.closing;
          r.closing = 0;
        }
      }
  }

  // ---- Aggregation codes: the balance sheet's rows, the income statement's lines.
  QHash<QString, QString> sheetCodes; // account code -> COD_AGL
  for (const QVariantList& r : sheet)
    sheetCodes.insert(r[0].toString(), r[0].toString());
  auto statementCode = [&](const QString& pair) -> QString {
    for (const Line& l : lines)
      if (l.sign != QLatin1String("=") && !l.first.isEmpty() && pair >= l.first && pair <= l.last)
        return "R" + l.order;
    return {};
  };

  EcdWriter w;
  const QString ini = dateText(first), fin = dateText(last);

  // ---- Block 0.
  w.line({"0000",
          "LECD",
          ini,
          fin,
          name,
          cnpj,
          sped.uf,
          sped.stateRegistration,
          sped.municipalityCode,
          sped.municipalRegistration,
          sped.specialSituation,
          sped.startSituation,
          sped.nire.isEmpty() ? "0" : "1",
          sped.finality,
          sped.finality == QLatin1String("1") ? sped.substitutedHash.trimmed() : QString(),
          sped.largeCompany,
          "0",
          "",
          "N",
          "N",
          "0",
          sped.chartChanged,
          sped.referentialChart});
  w.line({"0001", "0"});
  for (const SpedRegistration& r : sped.otherRegistrations)
    w.line({"0007", r.entity, r.number});
  w.line({"0990", QString::number(w.markedLines() + 1)});
  w.mark();

  // ---- Block I.
  w.line({"I001", "0"});
  w.line({"I010", "G", "9.00"});
  const int openingTerm = w.reserve("I030");
  QStringList withoutReferential;
  {
    QVector<QString> stack(7);
    for (const ChartAccount& a : chart) {
      const int level = a.level.toInt();
      if (level < 1 || level > 6) continue;
      const bool analytic = level == 6;
      const QString code = analytic ? accountCode(a.code, a.current) : a.code;
      const QString title =
          analytic && a.current != QLatin1String("999") && !a.currentName.isEmpty()
              ? a.name + " - " + a.currentName
              : a.name;
      w.line({"I050", ini, sped.natureOf(a.code), analytic ? "A" : "S", QString::number(level),
              code, superiorOf(a.code, level, stack), title});
      if (!analytic) {
        stack[level] = a.code;
        for (int l = level + 1; l <= 6; ++l)
          stack[l].clear();
        continue;
      }
      const QString pair = book::accountPair(a.code, a.current);
      if (!sped.referentialChart.isEmpty()) {
        const QString ref = sped.referentialCodes.value(pair);
        if (ref.isEmpty())
          withoutReferential << a.code + " " + a.current;
        else
          w.line({"I051", "", ref});
      }
      const QString agl =
          book::isResultAccount(a.code) ? statementCode(pair) : sheetCodes.value(a.code);
      if (!agl.isEmpty()) w.line({"I052", "", agl});
    }
  }
  for (const QVariantList& r :
       db.select("SELECT CodigoHistorico, NomeHistorico FROM historic ORDER BY CodigoHistorico"))
    w.line({"I075", r[0].toString(), r[1].toString().trimmed()});
  for (int m = 1; m <= 12; ++m) {
    const QDate start(y, m, 1);
    w.line({"I150", dateText(start), dateText(start.addMonths(1).addDays(-1))});
    for (const MonthRow& r : months[m]) {
      if (!r.opening && !r.debits && !r.credits && !r.closing) continue;
      w.line({"I155", accountCode(r.code, r.current), "", amountText(r.opening),
              letterOf(r.nature, r.opening), amountText(r.debits), amountText(r.credits),
              amountText(r.closing), letterOf(r.nature, r.closing)});
    }
    progress.setPosition(++step);
  }
  QHash<QString, QString> historics;
  for (const QVariantList& r : db.select("SELECT CodigoHistorico, NomeHistorico FROM historic"))
    historics.insert(r[0].toString(), r[1].toString().trimmed());
  int documents = 0;
  for (int i = 0; i < entries.size();) {
    int j = i;
    qint64 total = 0;
    for (; j < entries.size() && entries[j].document == entries[i].document; ++j)
      if (entries[j].dc == QLatin1String("D")) total += entries[j].cents;
    w.line({"I200", entries[i].document, isoDateText(entries[i].date), amountText(total), "N", ""});
    ++documents;
    for (; i < j; ++i) {
      const Entry& e = entries[i];
      const QString text = historics.value(e.historic);
      w.line({"I250", accountCode(e.code, e.current), "", amountText(e.cents), e.dc, "", e.historic,
              e.complement.isEmpty() ? text
              : text.isEmpty()       ? e.complement
                                     : text + " " + e.complement,
              ""});
    }
    if (documents % 500 == 0) progress.setPosition(step + i);
  }
  step += int(entries.size());
  if (!closing.isEmpty()) {
    qint64 total = 0;
    for (const Closing& c : closing)
      if (c.dc == QLatin1String("D")) total += c.cents;
    if (toResult < 0) total -= toResult;
    w.line({"I200", closingNumber, fin, amountText(total), "E", ""});
    const QString text = QStringLiteral("ENCERRAMENTO DO EXERCÍCIO DE %1").arg(year);
    for (const Closing& c : closing)
      w.line({"I250", accountCode(c.code, c.current), "", amountText(c.cents), c.dc, "", "", text,
              ""});
    if (toResult != 0)
      w.line({"I250", accountCode(book::resultAccount, "999"), "", amountText(toResult),
              toResult > 0 ? "C" : "D", "", "", text, ""});
    w.line({"I350", fin});
    for (const Closing& c : closing)
      w.line({"I355", accountCode(c.code, c.current), "", amountText(c.balance),
              letterOf(c.nature, c.balance)});
  }
  w.line({"I990", QString::number(w.markedLines() + 1)});
  w.mark();

  // ---- Block J.
  w.line({"J001", "0"});
  w.line({"J005", ini, fin, "1", ""});
  {
    QHash<QString, QString> names; // an account code's name, from its first chart row
    for (const ChartAccount& a : chart)
      if (!names.contains(a.code)) names.insert(a.code, a.name);
    QVector<QString> stack(7);
    for (const QVariantList& r : sheet) {
      const QString code = r[0].toString(), nature = r[2].toString();
      const int level = r[1].toString().toInt();
      if (level < 1 || level > 6) continue;
      const qint64 opening = centsOf(r[3].toDouble()), closingBalance = centsOf(r[4].toDouble());
      w.line({"J100", code, level == 6 ? "D" : "T", QString::number(level),
              superiorOf(code, level, stack), code.startsWith('1') ? "A" : "P",
              names.value(code, code), amountText(opening), letterOf(nature, opening),
              amountText(closingBalance), letterOf(nature, closingBalance), ""});
      stack[level] = code;
      for (int l = level + 1; l <= 6; ++l)
        stack[l].clear();
    }
  }
  {
    // Levels: the last "=" on 1, each earlier "=" one below the next; "+" and "-" lines one
    // below the "=" that follows them.
    const int n = int(lines.size());
    QVector<int> level(n, 1);
    QVector<QString> superior(n);
    int nextTotal = -1;
    for (int i = n - 1; i >= 0; --i) {
      const QString& s = lines[i].sign;
      if (s == QLatin1String("=")) {
        if (nextTotal >= 0) {
          level[i] = level[nextTotal] + 1;
          superior[i] = "R" + lines[nextTotal].order;
        }
        nextTotal = i;
      } else if ((s == QLatin1String("+") || s == QLatin1String("-")) && nextTotal >= 0) {
        level[i] = level[nextTotal] + 1;
        superior[i] = "R" + lines[nextTotal].order;
      }
    }
    for (int i = 0; i < n; ++i) {
      const Line& l = lines[i];
      const bool total = l.sign == QLatin1String("=");
      const bool plus = l.sign == QLatin1String("+"), minus = l.sign == QLatin1String("-");
      const qint64 cents = centsOf(plus || minus ? l.own : l.accumulated);
      // A "+" line's positive amount is on the credit side, a "-" line's on the debit side;
      // a total's or a line without sign's positive amount is a credit (a gain).
      const QString letter = minus ? (cents >= 0 ? "D" : "C") : (cents >= 0 ? "C" : "D");
      const QString group = plus ? "R" : minus ? "D" : (cents >= 0 ? "R" : "D");
      w.line({"J150", QString::number(i + 1), "R" + l.order, total ? "T" : "D",
              QString::number(level[i]), superior[i], l.name.trimmed(), amountText(qint64(0)),
              letter, amountText(cents), letter, group, ""});
    }
  }
  const int closingTerm = w.reserve("J900");
  for (const SpedSignatory& s : sped.signatories)
    w.line({"J930", s.name, s.cpf, s.qualification, s.code, s.accountant() ? s.crc : QString(),
            s.email, s.phone, s.accountant() ? s.crcUf : QString(),
            s.accountant() ? s.crcSequence : QString(),
            s.accountant() ? dateText(s.crcValidity) : QString(), s.legalResponsible ? "S" : "N"});
  w.line({"J990", QString::number(w.markedLines() + 1)});
  w.mark();

  // ---- Block 9: one 9900 per register, these of block 9 included.
  QStringList registers = w.registers();
  registers << "9001"
            << "9900"
            << "9990"
            << "9999";
  const int total = w.lines() + 1 + int(registers.size()) + 2;
  w.line({"9001", "0"});
  for (const QString& reg : registers) {
    const int count = reg == QLatin1String("9900") ? int(registers.size())
                      : reg.startsWith(QLatin1String("99")) || reg == QLatin1String("9001")
                          ? 1
                          : w.countOf(reg);
    w.line({"9900", reg, QString::number(count)});
  }
  w.line({"9990", QString::number(w.markedLines() + 2)});
  w.line({"9999", QString::number(total)});

  const QString lineCount = QString::number(total);
  w.fill(openingTerm,
         {"I030", "TERMO DE ABERTURA", QString::number(bookNumber), "DIARIO GERAL", lineCount, name,
          sped.nire, cnpj, dateText(sped.nireDate), "", sped.municipalityName, fin});
  w.fill(closingTerm, {"J900", "TERMO DE ENCERRAMENTO", QString::number(bookNumber), "DIARIO GERAL",
                       name, lineCount, ini, fin});

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return refuse(EcdRefusal::WriteFailed,
                  QStringLiteral("Não foi possível gravar %1: %2").arg(path, file.errorString()));
  for (const QByteArray& chunk : w.chunks())
    file.write(chunk);
  if (!file.commit())
    return refuse(EcdRefusal::WriteFailed,
                  QStringLiteral("Não foi possível gravar %1: %2").arg(path, file.errorString()));
  progress.setPosition(step + 12);

  QString message = QStringLiteral("ECD de %1 gravada: %2 linhas, %3 lançamentos.")
                        .arg(year, groupedNumber(total), groupedNumber(documents));
  if (w.pipes())
    message += QStringLiteral(" %1 caractere(s) \"|\" substituído(s) por \"-\".")
                   .arg(groupedNumber(w.pipes()));
  if (w.replaced())
    message += QStringLiteral(" %1 caractere(s) fora do ISO-8859-1 gravado(s) como \"?\".")
                   .arg(groupedNumber(w.replaced()));
  if (!withoutReferential.isEmpty()) {
    QStringList shown = withoutReferential.mid(0, 10);
    if (withoutReferential.size() > 10) shown << "...";
    message += QStringLiteral(" Aviso: %1 conta(s) analítica(s) sem código referencial (%2).")
                   .arg(withoutReferential.size())
                   .arg(shown.join(", "));
  }
  return OperationResult::done(message,
                               {{"lines", total},
                                {"documents", documents},
                                {"closing entries", closing.isEmpty() ? 0 : 1},
                                {"pipes replaced", w.pipes()},
                                {"characters replaced", w.replaced()},
                                {"accounts without referential code", withoutReferential.size()}});
}

} // namespace esc
