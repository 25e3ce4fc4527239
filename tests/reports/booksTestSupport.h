#pragma once
// What the tests of the books and statements share: a book with processed entries and
// statement rows written straight into its tables, the escrivon-report tool, and a printer
// that writes each job to a PDF file.
#include "reports/dialogs/previewWindow.h"
#include "reports/dialogs/reportRun.h"
#include "reports/engine/layout.h"
#include "reportsTestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QTemporaryDir>

namespace esc::test {

// A demo book to which a test adds journal entries as document processing leaves them.
struct LedgerBook : OpenBook {
  LedgerBook() : ctx(*dm, ui) {}

  // An entry of fiscal year `year`; `date` is "yyyy-mm-dd", `balance` the stored running
  // balance (signed on the side of the account's nature) and `letter` its letter.
  void entry(int year, const QString& code, const QString& current, const QString& date,
             const QString& dc, double value, double balance, const QString& letter,
             const QString& situation = "P", const QString& document = "00001",
             const QString& hist = "0001", const QString& complement = "") {
    const QDate d = QDate::fromString(date, Qt::ISODate);
    const QString key =
        QString::number(year) + code + current.leftJustified(14, ' ') + d.toString("MMdd");
    dm->database().exec(
        "INSERT INTO lancamen (AnoContasMesDia, DataDaContabilizacao, CodigoHistorico, "
        "CodigoContaContabil, CodigoContaCorrente, TipoDeLancamento, HistoricoComplementar, "
        "ValorLancamento, NumeroDocumento, Situacao, SaldoAtual, TipoSaldoAtual, "
        "CodCtaConCodCtaCor) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {key, date, hist, code, current, dc, complement, value, document, situation, balance,
         letter, code + current});
  }
  SimpleContext ctx;
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
