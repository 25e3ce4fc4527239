#include "listings.h"

#include "book/period.h"
#include "period/yearPanel.h"
#include "store/formats.h"

#include <QDate>
#include <QVector>

namespace esc::cli {

namespace {

enum class Form { Text, Amount, Date };

struct Column {
  QString title;
  Form form = Form::Text;
};

struct Listing {
  QString name;
  QVector<Column> columns;
  QString sql; // with ?1 the period ("" for all)
};

const QVector<Listing>& listings() {
  static const QVector<Listing> all = {
      {"contas",
       {{"Conta"},
        {"Cta Corrente"},
        {"Nome da Conta Contábil"},
        {"Nome da Conta Corrente"},
        {"D/C"},
        {"Nível"}},
       "SELECT CodigoContaContabil, CodigoContaCorrente, NomeContaContabil, NomeContaCorrente, "
       "TipoDeSaldo, NivelDaConta FROM contas ORDER BY CodigoContaContabil COLLATE ESCI, "
       "CodigoContaCorrente COLLATE ESCI, rowid"},
      {"historicos",
       {{"Código do Histórico"}, {"Nome do Histórico"}},
       "SELECT CodigoHistorico, NomeHistorico FROM historic ORDER BY CodigoHistorico, rowid"},
      {"lancamentos",
       {{"Documento"},
        {"Data", Form::Date},
        {"Conta"},
        {"Cta. Corrente"},
        {"D/C"},
        {"Valor", Form::Amount},
        {"Hist."},
        {"Histórico Complementar"},
        {"Sit."},
        {"Saldo Atual", Form::Amount},
        {"D/C"}},
       "SELECT NumeroDocumento, DataDaContabilizacao, CodigoContaContabil, CodigoContaCorrente, "
       "TipoDeLancamento, ValorLancamento, CodigoHistorico, HistoricoComplementar, Situacao, "
       "SaldoAtual, TipoSaldoAtual FROM lancamen WHERE ?1 = '' OR "
       "(substr(AnoContasMesDia, 1, 4) = substr(?1, 1, 4) AND "
       "substr(AnoContasMesDia, 25, 2) = substr(?1, 5, 2)) ORDER BY AnoContasMesDia, rowid"},
      {"balancete",
       {{"Período"},
        {"Conta"},
        {"Cta. Corrente"},
        {"Nível"},
        {"Natureza"},
        {"Saldo Anterior", Form::Amount},
        {"D/C"},
        {"Débitos", Form::Amount},
        {"Créditos", Form::Amount},
        {"Saldo Atual", Form::Amount},
        {"D/C"}},
       "SELECT Periodo, CodigoContaContabil, CodigoContaCorrente, NivelDaConta, NaturezaDaConta, "
       "SaldoAnterior, TipoSaldoAnterior, ValorDebito, ValorCredito, SaldoAtual, TipoSaldoAtual "
       "FROM balanco WHERE ?1 = '' OR Periodo = ?1 ORDER BY CodCtaConCodCtaCor, rowid"},
  };
  return all;
}

const Listing* find(const QString& name) {
  for (const Listing& l : listings())
    if (l.name == name) return &l;
  return nullptr;
}

// A value as the column shows it: amounts in the book's form (in CSV without grouping, so
// that a spreadsheet reads a number), dates dd/mm/yyyy.
QString shown(const QVariant& v, Form form, bool csv) {
  if (v.isNull()) return {};
  switch (form) {
  case Form::Amount:
    return csv ? fmt::general(v.toDouble()) : fmt::amount(v.toDouble());
  case Form::Date:
    return fmt::date(QDate::fromString(v.toString(), Qt::ISODate));
  case Form::Text:
    break;
  }
  return v.toString();
}

QString csvField(const QString& text) {
  if (!text.contains(';') && !text.contains('"') && !text.contains('\n')) return text;
  return '"' + QString(text).replace('"', QStringLiteral("\"\"")) + '"';
}

void writeCsvLine(const QStringList& row, QTextStream& out) {
  QStringList fields;
  for (const QString& f : row)
    fields << csvField(f);
  out << fields.join(';') << "\r\n";
}

// Rows under their header in columns as wide as their widest value, those marked right-aligned
// (the amounts) to the right.
void writeAligned(const QStringList& header, const QVector<bool>& right,
                  const QVector<QStringList>& rows, QTextStream& out) {
  const int n = int(header.size());
  QVector<int> widths(n);
  for (int i = 0; i < n; ++i)
    widths[i] = int(header[i].size());
  for (const QStringList& row : rows)
    for (int i = 0; i < n; ++i)
      widths[i] = std::max(widths[i], int(row[i].size()));
  auto line = [&](const QStringList& row) {
    QString text;
    for (int i = 0; i < n; ++i) {
      if (i) text += QStringLiteral("  ");
      text += right[i] ? row[i].rightJustified(widths[i]) : row[i].leftJustified(widths[i]);
    }
    out << fmt::trimRight(text) << "\n";
  };
  line(header);
  for (const QStringList& row : rows)
    line(row);
}

} // namespace

bool isListing(const QString& name) {
  return name == panelListing || find(name) != nullptr;
}

bool listingTakesPeriod(const QString& name) {
  return name == QLatin1String("lancamentos") || name == QLatin1String("balancete");
}

qint64 writeRows(Statement& st, const QStringList& header, bool csv, QTextStream& out,
                 const std::function<QString(int column)>& cell,
                 const std::function<bool(int column)>& rightAligned) {
  const int n = int(header.size());
  if (csv) {
    out << QChar(0xFEFF);
    writeCsvLine(header, out);
    qint64 rows = 0;
    while (st.step()) {
      QStringList fields;
      for (int i = 0; i < n; ++i)
        fields << cell(i);
      writeCsvLine(fields, out);
      ++rows;
    }
    return rows;
  }
  // Aligned columns need every row's width first.
  QVector<QStringList> rows;
  while (st.step()) {
    QStringList row;
    for (int i = 0; i < n; ++i)
      row << cell(i);
    rows << row;
  }
  QVector<bool> right(n);
  for (int i = 0; i < n; ++i)
    right[i] = rightAligned(i);
  writeAligned(header, right, rows, out);
  return rows.size();
}

qint64 writeListing(Database& db, const QString& name, const QString& period, bool csv,
                    QTextStream& out) {
  const Listing* listing = find(name);
  if (!listing) return 0;
  QStringList header;
  for (const Column& c : listing->columns)
    header << c.title;
  Statement st =
      listingTakesPeriod(name) ? db.query(listing->sql, {period}) : db.query(listing->sql);
  return writeRows(
      st, header, csv, out,
      [&](int i) { return shown(st.value(i), listing->columns[i].form, csv); },
      [&](int i) { return listing->columns[i].form == Form::Amount; });
}

void writePanelListing(Database& db, const QString& year, bool csv, QTextStream& out) {
  const YearPanel panel = loadYearPanel(db, year);
  auto amount = [csv](double v) { return shown(v, Form::Amount, csv); };
  const QStringList monthHeader = {"Mês",       "Receitas",  "Despesas",
                                   "Resultado", "Acumulado", "Disponível"};
  const QVector<bool> monthRight = {false, true, true, true, true, true};
  QVector<QStringList> months;
  for (int m = 1; m <= 12; ++m) {
    const PanelMonth& p = panel.months[m - 1];
    months << QStringList{QStringLiteral("%1/%2").arg(m, 2, 10, QChar('0')).arg(panel.year),
                          amount(p.revenue),
                          amount(p.expenses),
                          amount(p.result),
                          amount(p.accumulated),
                          amount(p.cash)};
  }
  const QStringList expenseHeader = {"Conta", "Cta. Corrente", "Nome", "Despesa do ano"};
  const QVector<bool> expenseRight = {false, false, false, true};
  QVector<QStringList> expenses;
  for (const PanelExpense& e : panel.largestExpenses)
    expenses << QStringList{e.code, e.current, e.name, amount(e.amount)};
  if (csv) {
    out << QChar(0xFEFF);
    writeCsvLine(monthHeader, out);
    for (const QStringList& row : months)
      writeCsvLine(row, out);
    out << "\r\n";
    writeCsvLine(expenseHeader, out);
    for (const QStringList& row : expenses)
      writeCsvLine(row, out);
    return;
  }
  writeAligned(monthHeader, monthRight, months, out);
  out << "\nMaiores despesas de " << panel.year << "\n";
  writeAligned(expenseHeader, expenseRight, expenses, out);
}

} // namespace esc::cli
