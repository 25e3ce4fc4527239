#include "listings.h"

#include "book/period.h"
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

} // namespace

bool isListing(const QString& name) {
  return find(name) != nullptr;
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
    QStringList fields;
    for (const QString& h : header)
      fields << csvField(h);
    out << fields.join(';') << "\r\n";
    qint64 rows = 0;
    while (st.step()) {
      fields.clear();
      for (int i = 0; i < n; ++i)
        fields << csvField(cell(i));
      out << fields.join(';') << "\r\n";
      ++rows;
    }
    return rows;
  }
  // Aligned columns need every row's width first.
  QVector<QStringList> rows;
  QVector<int> widths(n);
  for (int i = 0; i < n; ++i)
    widths[i] = int(header[i].size());
  while (st.step()) {
    QStringList row;
    for (int i = 0; i < n; ++i) {
      row << cell(i);
      widths[i] = std::max(widths[i], int(row[i].size()));
    }
    rows << row;
  }
  QVector<bool> right(n);
  for (int i = 0; i < n; ++i)
    right[i] = rightAligned(i);
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

} // namespace esc::cli
