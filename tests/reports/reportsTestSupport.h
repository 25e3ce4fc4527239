#pragma once
#include "testsupport.h"
#include "ui/mainContext.h"

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

// The text of a PDF file, as pdftotext reads it (layout kept).
inline QString pdfText(const QString& path) {
  QProcess p;
  p.start("pdftotext", {"-layout", path, "-"});
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace esc::test
