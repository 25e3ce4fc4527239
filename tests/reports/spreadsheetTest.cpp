#include "reports/engine/registry.h"
#include "reports/engine/tableExport.h"
#include "reportsTestSupport.h"
#include "store/formats.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;

namespace {

struct WindowsGuard {
  ~WindowsGuard() {
    for (report::PreviewWindow* w : test::openPreviews())
      delete w;
  }
};

QByteArray bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// CSV text read back: ";" between fields, quoted fields with doubled quotes, a line ending in
// LF or CR LF.
QVector<QStringList> parseCsv(const QString& text, QChar separator = ';') {
  QVector<QStringList> rows;
  QStringList row;
  QString field;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      row << field;
      field.clear();
    } else if (c == '\n') {
      if (field.endsWith('\r')) field.chop(1);
      rows << (row << field);
      row.clear();
      field.clear();
    } else {
      field += c;
    }
  }
  EXPECT_TRUE(row.isEmpty() && field.isEmpty()) << "the last line ends in a line break";
  return rows;
}

// The CSV file as Brazilian spreadsheets read it: UTF-8 with a byte-order mark, CR LF.
QVector<QStringList> readCsv(const QString& path) {
  const QByteArray data = bytes(path);
  EXPECT_TRUE(data.startsWith("\xEF\xBB\xBF")) << "UTF-8 with a byte-order mark";
  EXPECT_EQ(data.count("\r\n"), data.count('\n'));
  return parseCsv(QString::fromUtf8(data.mid(3)));
}

// The workbook read back by xlsx2csv, dates written as ISO dates (a date typed as text would
// keep its own form).
QVector<QStringList> readXlsx(const QString& path) {
  QProcess p;
  p.start("xlsx2csv", {"-d", ";", "-f", "%Y-%m-%d", path});
  p.waitForFinished(60000);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  return parseCsv(QString::fromUtf8(p.readAllStandardOutput()));
}

// What the pages print in the detail band, one list a row, in print order.
QVector<QStringList> printedRows(const QVector<Page>& pages) {
  QVector<QStringList> rows;
  for (const Page& p : pages) {
    double y = -1;
    for (const PageItem& it : p.items) {
      if (it.band != BandKind::Detail || it.kind != PageItem::Kind::Text) continue;
      if (it.y != y) rows << QStringList();
      y = it.y;
      rows.last() << it.text;
    }
  }
  return rows;
}

} // namespace

// The same rows, read three ways: the CSV and the XLSX escrivon-report writes, the CSV the
// preview window saves, and the texts its pages print.
TEST(SpreadsheetExport, ListingAndTrialBalanceHoldTheRowsTheirPagesPrint) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool())) << "build escrivon-report first";
  const bool haveXlsx2csv = !QStandardPaths::findExecutable("xlsx2csv").isEmpty();
  WindowsGuard guard;
  test::PageBook book(true, 2004, true);
  // A text with the separator and quotes must come back whole.
  book.db().exec("UPDATE lancamen SET HistoricoComplementar = 'NF 12; \"URGENTE\"' "
                 "WHERE rowid = (SELECT MIN(rowid) FROM lancamen WHERE Situacao = 'P')");
  QTemporaryDir out;
  struct Case {
    QString id;
    ParamValues values;
    QStringList headings;
  };
  const QVector<Case> cases = {
      {"lancamentos",
       {},
       {"Conta", "Nome da Conta Contábil", "Conta Corrente", "Nome Conta Corrente", "Data", "Hist.",
        "Nome Histórico", "Histórico Complementar", "Docto.", "Valor", "D/C"}},
      {"balancete",
       {{"EdBPeriodo", "200403"}, {"EdBPeriodoAte", "200404"}},
       {"Conta", "Nome da Conta Contábil", "Conta Corrente", "Nome Conta Corrente Contábil",
        "Saldo Anterior", "D/C", "Valor Débitos", "Valor Créditos", "Saldo Atual", "D/C"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id.toStdString());
    const ReportEntry* entry = ReportRegistry::instance().byId(c.id);
    QStringList args = {"--data-dir", book.path(), c.id};
    for (auto it = c.values.begin(); it != c.values.end(); ++it)
      args << "--" + it.key() << it.value();
    for (const char* ext : {"csv", "xlsx"}) {
      const test::ToolResult r =
          test::runReportTool(args + QStringList{"-o", out.filePath(c.id + "." + ext)});
      ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    const QVector<QStringList> csv = readCsv(out.filePath(c.id + ".csv"));
    ASSERT_FALSE(csv.isEmpty());
    EXPECT_EQ(csv[0], c.headings);

    const auto windows = run(book.ctx, *entry, c.values, Output::Video);
    ASSERT_EQ(windows.size(), 1);
    ASSERT_TRUE(windows[0]->saveSheetTo(out.filePath(c.id + "-janela.csv")));
    EXPECT_EQ(bytes(out.filePath(c.id + "-janela.csv")), bytes(out.filePath(c.id + ".csv")));

    BuildContext bc{*book.dm, Output::Video};
    const QVector<TableColumn> columns =
        detailColumns(*entry->build(bc, withInitials(entry->dialog, c.values)).first());
    const QVector<QStringList> printed = printedRows(windows[0]->pages());
    ASSERT_GT(printed.size(), 20);
    ASSERT_EQ(csv.size() - 1, printed.size());
    int amounts = 0;
    for (int r = 0; r < printed.size(); ++r) {
      // Empty cells print nothing; a name may be cut to its column's width.
      QStringList expected;
      for (int i = 0; i < csv[r + 1].size(); ++i) {
        const QString& cell = csv[r + 1][i];
        if (cell.isEmpty()) continue;
        if (columns[i].mask == Mask::Amount) {
          EXPECT_TRUE(QRegularExpression("^-?\\d+,\\d\\d\\d?\\d?$").match(cell).hasMatch())
              << cell.toStdString();
          expected << fmt::amount(fmt::parseNumber(cell).value_or(-1e9));
          ++amounts;
        } else {
          expected << cell;
        }
      }
      ASSERT_EQ(expected.size(), printed[r].size()) << printed[r].join('|').toStdString();
      for (int i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(expected[i].startsWith(printed[r][i]) && !printed[r][i].isEmpty())
            << expected[i].toStdString() << " / " << printed[r][i].toStdString();
    }
    EXPECT_GT(amounts, 20);
    if (c.id == "lancamentos") {
      EXPECT_TRUE(std::any_of(csv.begin(), csv.end(), [](const QStringList& row) {
        return row.contains("NF 12; \"URGENTE\"");
      }));
    }

    if (!haveXlsx2csv) continue;
    const QVector<QStringList> xlsx = readXlsx(out.filePath(c.id + ".xlsx"));
    ASSERT_EQ(xlsx.size(), csv.size());
    EXPECT_EQ(xlsx[0], c.headings);
    for (int r = 1; r < csv.size(); ++r)
      for (int i = 0; i < columns.size(); ++i) {
        const QString& want = csv[r][i];
        const QString& got = xlsx[r].value(i);
        if (columns[i].mask == Mask::Amount && !want.isEmpty())
          EXPECT_NEAR(got.toDouble(), fmt::parseNumber(want).value_or(-1e9), 1e-9);
        else if (columns[i].mask == Mask::ShortDate)
          EXPECT_EQ(got, fmt::parseDate(want)->toString(Qt::ISODate));
        else
          EXPECT_EQ(got, want);
      }
  }
}

// The terms print one record as a page of text: no rows for a spreadsheet, said by the tool
// (as its other refusals, before anything is written) and by the preview window.
TEST(SpreadsheetExport, RefusedForAReportWithoutDetailRows) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool()));
  WindowsGuard guard;
  test::PageBook book;
  QTemporaryDir out;
  const test::ToolResult r =
      test::runReportTool({"--data-dir", book.path(), "termos", "-o", out.filePath("termos.xlsx")});
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(r.err.contains("O relatório termos não tem linhas de detalhe para uma planilha"))
      << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(out.filePath("termos.xlsx")));

  const auto windows = run(book.ctx, *ReportRegistry::instance().byId("termos"), {}, Output::Video);
  ASSERT_EQ(windows.size(), 2);
  EXPECT_FALSE(windows[0]->saveSheetTo(out.filePath("termos.csv")));
  EXPECT_EQ(book.ui.texts("message"),
            QStringList{"Este relatório não tem linhas de detalhe para uma planilha; ele só pode "
                        "ser gravado em PDF."});
  EXPECT_FALSE(QFileInfo::exists(out.filePath("termos.csv")));
}

// A text that a spreadsheet would run as a formula stays a text in the CSV; the XLSX writes
// strings, never formulas.
TEST(SpreadsheetExport, ATextNeverBecomesAFormula) {
  QTemporaryDir out;
  const QString path = out.filePath("t.csv");
  auto w = SheetWriter::create(SheetFormat::Csv, path, "T", {{"A"}, {"B"}, {"C"}, {"D"}});
  ASSERT_TRUE(w->isOpen());
  w->row({"=HIPERLINK(\"x\")", "@SOMA", "- TAXA", "A=B"});
  ASSERT_TRUE(w->finish());
  EXPECT_TRUE(bytes(path).endsWith("\"'=HIPERLINK(\"\"x\"\")\";'@SOMA;- TAXA;A=B\r\n"))
      << bytes(path).toStdString();
}
