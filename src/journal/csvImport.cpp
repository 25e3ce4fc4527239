#include "csvImport.h"

#include "importedDocuments.h"
#include "store/formats.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <array>
#include <cmath>

namespace esc {

namespace {

enum Column { Data, Documento, Conta, Corrente, Dc, Valor, Historico, Complemento, Columns };
const std::array<const char*, Columns> columnNames = {
    "data", "documento", "conta", "corrente", "dc", "valor", "historico", "complemento"};
const QString allColumns =
    QStringLiteral("data;documento;conta;corrente;dc;valor;historico;complemento");

// The column whose value a failed check is about.
std::optional<Column> columnOf(EntryCheck check) {
  using C = EntryCheck;
  switch (check) {
  case C::AccountCode:
  case C::PairAnalytic:
  case C::PairRegistered:
  case C::PairPostable:
  case C::JanuaryRow:
    return Conta;
  case C::CurrentAccountCode:
  case C::PairOnChart:
    return Corrente;
  case C::HistoricoCode:
  case C::HistoricoOnFile:
    return Historico;
  case C::EntryType:
  case C::PostedType:
    return Dc;
  case C::DateText:
  case C::DateValid:
  case C::DocumentInYear:
  case C::SameDate:
  case C::EntryInYear:
    return Data;
  case C::Amount:
    return Valor;
  default:
    return std::nullopt;
  }
}

struct Record {
  int line = 0; // of its first character
  QStringList fields;
};

// The records of a CSV text: fields split at `separator` outside double quotes, a quoted
// field taking "" for a quote and running over line ends.
QVector<Record> records(const QString& text, QChar separator) {
  QVector<Record> out;
  Record r{1, {}};
  QString field;
  bool quoted = false, wasQuoted = false;
  int line = 1;
  auto endField = [&] {
    r.fields << (wasQuoted ? field : field.trimmed());
    field.clear();
    wasQuoted = false;
  };
  auto endRecord = [&] {
    endField();
    out << r;
    r = Record{line, {}};
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
    } else if (c == '"' && field.trimmed().isEmpty()) {
      field.clear();
      quoted = wasQuoted = true;
    } else if (c == separator) {
      endField();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++line;
      endRecord();
    } else {
      field += c;
    }
  }
  if (!field.isEmpty() || !r.fields.isEmpty() || wasQuoted) endRecord();
  return out;
}

// A column's name as typed in the header, without case or accents.
QString plainName(const QString& name) {
  QString out;
  for (const QChar c : name.trimmed().toLower().normalized(QString::NormalizationForm_D))
    if (c.category() != QChar::Mark_NonSpacing) out += c;
  return out;
}

// Whether the file's amounts are written with a decimal comma ("1.234,56") rather than a dot
// ("1,234.56"): the mark that ends an amount before one, two or four digits, or that follows
// the other mark, is the decimal one. With nothing to tell them apart, the comma.
bool decimalComma(const QVector<Record>& rows, int column) {
  static const QRegularExpression tail(QStringLiteral("([.,])(\\d+)$"));
  int commas = 0, dots = 0;
  for (const Record& r : rows) {
    if (column >= r.fields.size()) continue;
    const QString v = r.fields[column];
    const auto m = tail.match(v);
    if (!m.hasMatch()) continue;
    const QChar mark = m.captured(1)[0];
    const QChar other = mark == ',' ? '.' : ',';
    if (m.captured(2).size() != 3 || v.left(m.capturedStart(1)).contains(other))
      ++(mark == ',' ? commas : dots);
  }
  return commas >= dots;
}

std::optional<double> amountOf(const QString& text, bool comma) {
  if (comma) return fmt::parseAmount(text);
  // The dot's form read as the comma's: the two marks change places.
  QString swapped = text;
  for (QChar& c : swapped)
    if (c == '.')
      c = ',';
    else if (c == ',')
      c = '.';
  return fmt::parseAmount(swapped);
}

std::optional<QDate> dateOf(const QString& text) {
  if (auto d = fmt::parseDate(text)) return d;
  // The form spreadsheets write when told to keep dates as dates: yyyy-mm-dd.
  const QDate iso = QDate::fromString(text, Qt::ISODate);
  if (iso.isValid() && text.size() == 10) return iso;
  return std::nullopt;
}

QString lineList(QVector<int> lines) {
  std::sort(lines.begin(), lines.end());
  if (lines.size() == 1) return "linha " + QString::number(lines.first());
  if (lines.last() - lines.first() == lines.size() - 1)
    return "linhas " + QString::number(lines.first()) + " a " + QString::number(lines.last());
  QStringList numbers;
  for (int l : lines)
    numbers << QString::number(l);
  return "linhas " + numbers.join(", ");
}

struct Failure {
  int line;
  QString text;
};

} // namespace

OperationResult importCsvFile(Database& db, const QString& year, const QString& path,
                              Progress& progress) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return OperationResult::refused("Não foi possível ler " + path + ": " + f.errorString());
  return importCsv(db, year, f.readAll(), progress);
}

OperationResult importCsv(Database& db, const QString& givenYear, const QByteArray& data,
                          Progress& progress) {
  const QString text = decodeImportedText(data);
  const QString firstLine = text.left(text.indexOf('\n'));
  const QChar separator = firstLine.count(';') >= firstLine.count(',') ? ';' : ',';
  QVector<Record> rows = records(text, separator);
  if (rows.isEmpty())
    return OperationResult::refused("O arquivo está vazio; a primeira linha deve nomear as "
                                    "colunas: " +
                                    allColumns + ".");

  // The header: which field holds which column.
  std::array<int, Columns> at;
  at.fill(-1);
  QStringList headerFaults;
  const Record header = rows.takeFirst();
  for (int i = 0; i < header.fields.size(); ++i) {
    const QString name = plainName(header.fields[i]);
    const auto known = std::find(columnNames.begin(), columnNames.end(), name);
    if (name.isEmpty()) continue;
    if (known == columnNames.end())
      headerFaults << "linha 1: coluna desconhecida '" + header.fields[i] + "'.";
    else if (at[known - columnNames.begin()] >= 0)
      headerFaults << "linha 1: coluna '" + name + "' repetida.";
    else
      at[known - columnNames.begin()] = i;
  }
  for (int c = 0; c < Columns; ++c)
    if (at[c] < 0 && c != Documento && c != Complemento)
      headerFaults << QStringLiteral("linha 1: falta a coluna '%1'.").arg(columnNames[c]);
  if (!headerFaults.isEmpty())
    return OperationResult::refused(headerFaults.join('\n') + "\nAs colunas são: " + allColumns +
                                    ".");

  const bool comma = decimalComma(rows, at[Valor]);
  const auto value = [&](const Record& r, Column c) {
    return at[c] >= 0 && at[c] < r.fields.size() ? r.fields[at[c]] : QString();
  };

  // Each line read into an entry; what cannot be read is said of its column.
  QVector<Failure> failures;
  QVector<NewEntry> entries;
  QSet<int> badLines;
  auto fail = [&](int line, std::optional<Column> column, const QString& what) {
    failures << Failure{
        line, "linha " + QString::number(line) +
                  (column ? QStringLiteral(", coluna ") + columnNames[*column] : QString()) + ": " +
                  what};
    badLines.insert(line);
  };
  QString year = givenYear.trimmed();
  QVector<QString> groups; // each entry's `documento`
  QSet<int> amountUnread;
  for (const Record& r : rows) {
    if (std::all_of(r.fields.begin(), r.fields.end(), [](const QString& s) { return s.isEmpty(); }))
      continue; // a blank line, as spreadsheets leave at the end
    NewEntry e;
    e.source = r.line;
    e.account = value(r, Conta);
    e.current = value(r, Corrente);
    e.historico = value(r, Historico);
    e.type = value(r, Dc).toUpper();
    e.complement = value(r, Complemento);
    e.dateText = value(r, Data);
    e.date = dateOf(e.dateText);
    if (year.isEmpty() && e.date) year = QString::number(e.date->year());
    if (r.fields.size() > header.fields.size())
      fail(r.line, std::nullopt,
           QStringLiteral("%1 colunas, o cabeçalho tem %2.")
               .arg(r.fields.size())
               .arg(header.fields.size()));
    const QString amount = value(r, Valor);
    if (!amount.isEmpty()) {
      if (const auto v = amountOf(amount, comma)) {
        e.amount = *v;
      } else {
        fail(r.line, Valor, fmt::invalidAmount(amount));
        amountUnread.insert(r.line);
      }
    }
    entries << e;
    groups << value(r, Documento);
  }
  if (entries.isEmpty())
    return OperationResult::refused(QStringLiteral("O arquivo não tem lançamentos."));

  ImportedDocuments writer(db, year);
  progress.setRange(0, int(entries.size()));
  for (int i = 0; i < entries.size(); ++i) {
    const NewEntry& e = entries[i];
    for (const EntryFailure& f : writer.entryFailures(e))
      // An amount that could not be read was said as such, not as zero.
      if (f.check != EntryCheck::Amount || !amountUnread.contains(e.source))
        fail(e.source, columnOf(f.check), f.text);
    if (i % 1024 == 0) progress.setPosition(i);
  }

  // The documents: by `documento`, or by runs of lines that balance when it is blank; in the
  // order of their first lines.
  QVector<NewDocument> documents;
  QVector<QString> names;
  QHash<QString, int> byName;
  NewDocument run;
  double balance = 0; // debits less credits of the run, in ten-thousandths
  for (int i = 0; i < entries.size(); ++i) {
    const NewEntry& e = entries[i];
    if (!groups[i].isEmpty()) {
      auto it = byName.constFind(groups[i]);
      if (it == byName.constEnd()) {
        it = byName.insert(groups[i], int(documents.size()));
        documents << NewDocument{};
        names << "documento '" + groups[i] + "'";
      }
      documents[*it] << e;
      continue;
    }
    run << e;
    if (e.type == "D") balance = addToTotal(balance, e.amount);
    if (e.type == "C") balance = addToTotal(balance, -e.amount);
    if (balance == 0) {
      documents << run;
      names << QString();
      run.clear();
    }
  }
  if (!run.isEmpty()) {
    documents << run;
    names << QString();
  }
  for (int d = 0; d < documents.size(); ++d) {
    const NewDocument& doc = documents[d];
    QVector<int> lines;
    for (const NewEntry& e : doc)
      lines << e.source;
    if (std::any_of(lines.begin(), lines.end(), [&](int l) { return badLines.contains(l); }))
      continue; // its totals would not be its own
    for (const EntryFailure& f : writer.documentFailures(doc)) {
      if (f.entry) {
        fail(int(f.entry), columnOf(f.check), f.text);
      } else {
        const QString who =
            names[d].isEmpty() ? lineList(lines) : names[d] + " (" + lineList(lines) + ")";
        failures << Failure{lines.first(), who + ": " + f.text};
      }
    }
  }
  progress.reset();
  if (!failures.isEmpty()) {
    std::stable_sort(failures.begin(), failures.end(),
                     [](const Failure& a, const Failure& b) { return a.line < b.line; });
    QStringList out;
    for (const Failure& f : failures)
      out << f.text;
    return OperationResult::refused("Nada foi importado.\n" + out.join('\n'));
  }
  std::stable_sort(documents.begin(), documents.end(),
                   [](const NewDocument& a, const NewDocument& b) {
                     return a.first().source < b.first().source;
                   });
  return writer.write(documents, progress);
}

} // namespace esc
