#pragma once
// What the report tests share: books with amounts and entries written straight into their
// tables, the escrivon-report tool, a printer that writes each job to a PDF file, and the texts
// of PDFs and laid-out pages.
#include "bookFixture.h"
#include "reports/dialogs/previewWindow.h"
#include "reports/dialogs/reportRun.h"
#include "reports/engine/layout.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace esc::test {

// A demo book whose trial balance has amounts: a few rows of 2004 given balances, debits
// and credits (the demo's rows are all zero until documents are processed).
struct ReportBook : PageBook {
  ReportBook() {
    db().exec("UPDATE balanco SET SaldoAnterior = 100, ValorDebito = 1234.567, ValorCredito = 0.5, "
              "SaldoAtual = 1334.067 WHERE CodigoContaContabil = '111111'");
    db().exec("UPDATE balanco SET SaldoAnterior = -150, TipoSaldoAnterior = 'C', ValorDebito = 0, "
              "ValorCredito = 10, SaldoAtual = -160, TipoSaldoAtual = 'C' "
              "WHERE CodigoContaContabil = '111122'");
  }
};

// The text of a PDF file, as pdftotext reads it (layout kept); empty when it cannot.
inline QString pdfText(const QString& path) {
  QProcess p;
  p.start("pdftotext", {"-layout", path, "-"});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
  return QString::fromUtf8(p.readAllStandardOutput());
}

// The preview windows open now.
inline QVector<report::PreviewWindow*> openPreviews() {
  QVector<report::PreviewWindow*> r;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* p = qobject_cast<report::PreviewWindow*>(w)) r << p;
  return r;
}

// A demo book to which a test adds journal entries as document processing leaves them.
struct LedgerBook : PageBook {
  // An entry of fiscal year `year`; `date` is "yyyy-mm-dd", `balance` the stored running
  // balance (signed on the side of the account's nature) and `letter` its letter.
  void entry(int year, const QString& code, const QString& current, const QString& date,
             const QString& dc, double value, double balance, const QString& letter,
             const QString& situation = "P", const QString& document = "00001",
             const QString& hist = "0001", const QString& complement = "") {
    addEntry(db(), QString::number(year), document, QDate::fromString(date, Qt::ISODate), code,
             current, dc, value, situation, hist, complement, balance, letter);
  }
};

inline QString reportTool() {
  return QCoreApplication::applicationDirPath() + "/../tools/escrivon-report";
}

struct ToolResult {
  int code;
  QString out, err;
};

inline ToolResult runReportTool(const QStringList& args) {
  QProcess p;
  p.start(reportTool(), args);
  p.waitForFinished(120000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput()),
          QString::fromUtf8(p.readAllStandardError())};
}

// The pages of a PDF's text, as pdftotext separates them.
inline QStringList pdfPages(const QString& path) {
  QStringList pages = pdfText(path).split('\f');
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

// Prints into PDF files of a folder, numbered in job order, and remembers the jobs' names.
struct PdfPrinters {
  PdfPrinters() {
    report::setPrinterFactory([this](const QString& title) {
      titles << title;
      return std::make_unique<QPdfWriter>(dir.filePath(QString("job%1.pdf").arg(titles.size())));
    });
  }
  ~PdfPrinters() { report::setPrinterFactory({}); }
  QString job(int n) const { return dir.filePath(QString("job%1.pdf").arg(n)); }
  QTemporaryDir dir;
  QStringList titles;
};

// The texts a band printed on a page, in print order.
inline QStringList bandTexts(const report::Page& p, report::BandKind band) {
  QStringList r;
  for (const report::PageItem& it : p.items)
    if (it.band == band && it.kind == report::PageItem::Kind::Text) r << it.text;
  return r;
}

inline const report::PageItem* findItem(const report::Page& p, const QString& text,
                                        report::BandKind band) {
  for (const report::PageItem& it : p.items)
    if (it.band == band && it.text == text) return &it;
  return nullptr;
}

} // namespace esc::test
