// The ECD export on the demo book after a year's work, read back with the tests' own reader.
#include "period/ecdExport.h"
#include "book/taxIds.h"
#include "demobook.h"
#include "ecdReader.h"
#include "journal/documentProcessing.h"
#include "period/balanceSheetUpdate.h"
#include "period/incomeStatementUpdate.h"
#include "period/spedData.h"
#include "period/syntheticUpdate.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace esc::test {

namespace {

class EcdExport : public ::testing::Test {
protected:
  EcdExport() {
    InitOptions o;
    o.directory = dir.path();
    o.year = 2024;
    o.demo = true;
    o.demoYear = true;
    createDataDirectory(o);
    dm = std::make_unique<TDEscrivon>(ui);
    dm->connectDirectory(dir.path());
    for (Table* t : dm->tables())
      t->open();
  }
  Database& db() { return dm->database(); }

  // The year's work: the two documents left typed processed, the synthetic accounts, the
  // income statement of December and the balance sheet brought up to date.
  void closeYear() {
    NoProgress quiet;
    ASSERT_TRUE(DocumentProcessing(db(), "2024").run({"00001", "00002"}, quiet).isDone());
    ASSERT_TRUE(syntheticUpdate(db(), "2024", quiet).isDone());
    ASSERT_TRUE(updateIncomeStatement(db(), "202412", quiet).isDone());
    ASSERT_TRUE(updateBalanceSheet(db(), "2024", quiet).isDone());
  }
  OperationResult exportTo(const QString& path) {
    NoProgress quiet;
    return exportEcd(db(), "2024", path, quiet);
  }
  QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  QTemporaryDir dir, out;
  ScriptedUi ui;
  std::unique_ptr<TDEscrivon> dm;
};

TEST_F(EcdExport, TheYearReadsBackByTheLayoutsRules) {
  closeYear();
  // A typed "|" and a character outside ISO-8859-1 in an entry's text.
  db().exec("UPDATE lancamen SET HistoricoComplementar = 'NF 1|2 – A' WHERE NumeroDocumento = "
            "'00002' AND TipoDeLancamento = 'D'");
  const QString path = out.filePath("ECD.txt");
  const OperationResult r = exportTo(path);
  ASSERT_TRUE(r.isDone()) << r.message().toStdString();

  EcdFile file = readEcd(read(path));
  checkBookkeeping(file);
  EXPECT_TRUE(file.faults.isEmpty()) << file.faults.join("\n").toStdString();
  // The reader sees a partida taken out: the document, the month, the counts.
  QByteArray cut = read(path);
  const qsizetype at = cut.indexOf("|I250|");
  cut.remove(at, cut.indexOf('\n', at) + 1 - at);
  EcdFile damaged = readEcd(cut);
  checkBookkeeping(damaged);
  EXPECT_GE(damaged.faults.size(), 4) << damaged.faults.join("\n").toStdString();

  const int documents = int(db().selectValue("SELECT count(DISTINCT NumeroDocumento) FROM "
                                             "lancamen")
                                .toInt());
  EXPECT_EQ(r.message(), QStringLiteral("ECD de 2024 gravada: %1 linhas, %2 lançamentos. 1 "
                                        "caractere(s) \"|\" substituído(s) por \"-\". 1 "
                                        "caractere(s) fora do ISO-8859-1 gravado(s) como \"?\".")
                             .arg(file.lines.size())
                             .arg(documents));
  EXPECT_EQ(file.all("I200").size(), documents + 1); // and the closing entry
  const EcdLine* head = file.first("0000");
  EXPECT_EQ(head->at(6), "11222333000181");
  EXPECT_EQ(head->at(5), QStringLiteral("ORGANIZAÇÃO EXEMPLO LTDA")); // read as ISO-8859-1
  EXPECT_TRUE(read(path).contains("NF 1-2 ? A"));

  // The result account moves only in December, by the closing entry, which brings every
  // account of groups 3 and 4 to zero; I355 keeps their balances before it.
  const auto resultLines = [&] {
    QVector<const EcdLine*> out;
    for (const EcdLine* l : file.all("I155"))
      if (l->at(2) == "299999") out << l;
    return out;
  }();
  ASSERT_EQ(resultLines.size(), 1);
  const EcdLine* closing = file.all("I200").last();
  EXPECT_EQ(closing->at(5), "E");
  EXPECT_EQ(closing->at(3), "31122024");
  const double result = db().selectValue("SELECT Acumulado FROM demresul WHERE SinalDoGrupo = "
                                         "'='")
                            .toDouble();
  EXPECT_EQ(resultLines[0]->cents(8), qRound64(result * 100));
  EXPECT_EQ(resultLines[0]->at(9), "C");
  int december = 0;
  QString month;
  for (const EcdLine& l : file.lines) {
    if (l.reg() == "I150") month = l.at(2).mid(2, 2);
    if (l.reg() == "I155" && month == "12" && (l.at(2)[0] == '3' || l.at(2)[0] == '4')) {
      EXPECT_EQ(l.cents(8), 0) << l.at(2).toStdString();
      ++december;
    }
  }
  EXPECT_GT(december, 0);
  EXPECT_EQ(file.all("I355").size(), 6);

  // Exactly one legal responsible; the accountant with the CRC's data.
  int responsible = 0;
  for (const EcdLine* l : file.all("J930")) {
    responsible += l->at(12) == "S";
    if (l->at(5) == "900") {
      EXPECT_FALSE(l->at(6).isEmpty() || l->at(11).isEmpty());
    }
  }
  EXPECT_EQ(responsible, 1);
}

TEST_F(EcdExport, RefusesABookItCannotStateTrulyAndWritesNothing) {
  const QString path = out.filePath("ECD.txt");
  auto refusal = [&]() {
    const OperationResult r = exportTo(path);
    EXPECT_TRUE(r.isRefused());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(out.path()).isEmpty()); // no temporary file left either
    return r.message();
  };
  // Two documents of the demo are still typed only.
  EXPECT_EQ(refusal(), "Documento 00001 do exercício de 2024 não processado. Processe-o antes. "
                       "Nada foi gravado.");
  closeYear();

  // A synthetic row the roll-up would change.
  db().exec("UPDATE balanco SET SaldoAtual = SaldoAtual + 1 WHERE CodCtaConCodCtaCor = "
            "'202406111000999'");
  EXPECT_TRUE(refusal().contains("execute a atualização de contas sintéticas"));
  NoProgress quiet;
  syntheticUpdate(db(), "2024", quiet);

  // The income statement of another month.
  updateIncomeStatement(db(), "202406", quiet);
  EXPECT_TRUE(refusal().contains("para o período 202406: atualize-a para 202412"));
  updateIncomeStatement(db(), "202412", quiet);

  // A fraction of a cent.
  db().exec("UPDATE lancamen SET ValorLancamento = ValorLancamento + 0.001 WHERE "
            "NumeroDocumento = '00005'");
  EXPECT_TRUE(refusal().startsWith("Documento 00005: valor"));
  db().exec("UPDATE lancamen SET ValorLancamento = round(ValorLancamento, 2) WHERE "
            "NumeroDocumento = '00005'");

  // Wrong check digits, and a missing mandatory value.
  db().exec("UPDATE cabecalh SET CNPJDaOrganizacao = '11.222.333/0001-80'");
  EXPECT_TRUE(refusal().startsWith("CNPJ 11.222.333/0001-80 da organização inválido"));
  db().exec("UPDATE cabecalh SET CNPJDaOrganizacao = '11.222.333/0001-81'");
  SpedData data = loadSpedData(db());
  data.municipalityCode.clear();
  ASSERT_TRUE(saveSpedData(db(), data).isDone());
  EXPECT_EQ(refusal(),
            "Dado para o SPED não informado: código IBGE do município. Nada foi gravado.");
  data.municipalityCode = "3550308";
  ASSERT_TRUE(saveSpedData(db(), data).isDone());
  EXPECT_TRUE(exportTo(path).isDone());
}

TEST(SpedData, KeptInTheAnchorAndCheckedBeforeSaving) {
  EXPECT_TRUE(book::validCnpj("11222333000181"));
  EXPECT_FALSE(book::validCnpj("11222333000180"));
  EXPECT_TRUE(book::validCpf("52998224725"));
  EXPECT_FALSE(book::validCpf("52998224715"));
  EXPECT_FALSE(book::validCpf("11111111111"));

  OpenBook book(false);
  Database& db = book.dm->database();
  // A book made before reads as holding none.
  EXPECT_TRUE(loadSpedData(db).signatories.isEmpty());
  EXPECT_EQ(loadSpedData(db).natureOf("290000"), "02");

  SpedData d;
  d.uf = "SP";
  d.natures.insert("290000", "03");
  d.referentialCodes.insert("111121001", "1.01.01.02.01");
  d.signatories.push_back({"ANA", "52998224725", "Contador", "900", "1SP1", "", "", "SP", "1",
                           QDate(2030, 1, 1), true});
  ASSERT_TRUE(saveSpedData(db, d).isDone());
  const SpedData back = loadSpedData(db);
  EXPECT_EQ(back.natureOf("291111"), "03"); // from its second-level account
  EXPECT_EQ(back.natureOf("211111"), "02");
  EXPECT_EQ(back.natureOf("411111"), "04");
  EXPECT_EQ(back.referentialCodes, d.referentialCodes);
  EXPECT_EQ(back.signatories.first().crcValidity, QDate(2030, 1, 1));

  // Bad input changes nothing.
  SpedData bad = back;
  bad.signatories.first().cpf = "52998224715";
  EXPECT_EQ(saveSpedData(db, bad).message(), "CPF/CNPJ 52998224715 do signatário ANA inválido.");
  bad = back;
  bad.natures.insert("100000", "07");
  EXPECT_TRUE(saveSpedData(db, bad).isRefused());
  EXPECT_EQ(loadSpedData(db).natures, back.natures);
}

} // namespace

} // namespace esc::test
