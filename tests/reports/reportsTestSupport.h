#pragma once
#include "reports/dialogs/previewWindow.h"
#include "testsupport.h"
#include "ui/mainContext.h"

#include <QApplication>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>

namespace esc::test {

// A demo book whose trial balance has amounts: a few rows of 2004 given balances, debits
// and credits (the demo's rows are all zero until documents are processed).
struct ReportBook : OpenBook {
  ReportBook() : ctx(*dm, ui) {
    auto& db = dm->database();
    db.exec("UPDATE balanco SET SaldoAnterior = 100, ValorDebito = 1234.567, ValorCredito = 0.5, "
            "SaldoAtual = 1334.067 WHERE CodigoContaContabil = '111111'");
    db.exec("UPDATE balanco SET SaldoAnterior = -150, TipoSaldoAnterior = 'C', ValorDebito = 0, "
            "ValorCredito = 10, SaldoAtual = -160, TipoSaldoAtual = 'C' "
            "WHERE CodigoContaContabil = '111122'");
  }
  SimpleContext ctx;
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

} // namespace esc::test
