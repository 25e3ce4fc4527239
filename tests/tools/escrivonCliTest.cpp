// escrivon-cli driven as a script would drive it, on demo books on disk.
#include "book/amounts.h"
#include "book/period.h"
#include "demobook.h"
#include "store/formats.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

using namespace esc;

namespace {

QString cli() {
  return QCoreApplication::applicationDirPath() + "/../tools/escrivon-cli";
}

struct CliRun {
  int code = -1;
  QString out, err;
  QByteArray rawOut;
};

CliRun run(const QStringList& arguments) {
  QProcess p;
  // No default directory nor ESCRIVON_DATA of the machine may stand in for a missing one.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("ESCRIVON_DATA");
  p.setProcessEnvironment(env);
  p.start(cli(), arguments);
  if (!p.waitForFinished(120000)) return {};
  CliRun r;
  r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.rawOut = p.readAllStandardOutput();
  r.out = QString::fromUtf8(r.rawOut);
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

// The demo book of escrivon-init --demo: a year of 2023 processed and rolled up, documents
// 00001 and 00002 typed and not processed.
struct DemoBook {
  DemoBook() {
    InitOptions o;
    o.directory = dir.path();
    o.year = 2023;
    o.demo = o.demoYear = true;
    createDataDirectory(o);
  }
  CliRun cli(QStringList arguments) const {
    return run(QStringList{"--data-dir", dir.path()} + arguments);
  }
  QString path() const { return dir.path(); }
  QTemporaryDir dir;
};

// The book opened in this process, for reading or planting rows.
struct Session {
  explicit Session(const QString& dir) : dm(ui) {
    dm.connectDirectory(dir);
    for (Table* t : dm.tables())
      t->open();
  }
  QVariant value(const QString& sql, const QVariantList& params = {}) {
    return dm.database().selectValue(sql, params);
  }
  ScriptedUi ui;
  TDEscrivon dm;
};

QString lastLine(const QString& text) {
  return text.trimmed().section('\n', -1);
}

} // namespace

// From the typed documents to the closed year: every step through the command line, each
// saying the system's message, then the book's check finds nothing.
TEST(EscrivonCli, AYearFromTypedDocumentsToTheClosedYearChecksClean) {
  ASSERT_TRUE(QFileInfo::exists(cli())) << "build escrivon-cli first";
  DemoBook book;
  // One document the engine refuses: the batch writes nothing, and says the refusal.
  CliRun r = book.cli({"processar", "1", "99999"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(
      r.err.contains("Documento 99999: Documento inválido. Não contém lançamentos para processar."))
      << r.err.toStdString();
  EXPECT_EQ(Session(book.path())
                .value("SELECT count(*) FROM lancamen WHERE Situacao = 'P' AND "
                       "NumeroDocumento IN ('00001', '00002')")
                .toInt(),
            0);

  r = book.cli({"processar", "--todos"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("Processamento concluído com sucesso: 2 documento(s)"));
  r = book.cli({"verificar"});
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(r.out.contains("execute a atualização de contas sintéticas")) << r.out.toStdString();

  const QVector<std::pair<QStringList, QString>> steps = {
      {{"sinteticas", "2023"}, "contas sintéticas."},
      {{"demonstracao", "202312"}, "Atualização concluída para o período de 12/2023."},
      {{"balanco", "2023"}, "Atualização concluída para o período de 2023"},
      {{"abrir", "2023"}, "Abertura do exercício de 2024 concluída."},
      {{"retranspor", "2023"}, "Retransposição de saldos de 2023 para 2024 concluída."},
      {{"fechar", "2023"}, "Exercício de 2023 foi fechado neste momento."}};
  for (const auto& [arguments, said] : steps) {
    r = book.cli(arguments);
    EXPECT_EQ(r.code, 0) << arguments.join(' ').toStdString() << ": " << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(said)) << r.err.toStdString();
  }
  r = book.cli({"sinteticas", "2023"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.trimmed(), "Exercício de 2023 está fechado. Reabra antes.");

  {
    Session s(book.path());
    EXPECT_EQ(s.value("SELECT Situacao FROM fechamen WHERE Exercicio = '2023'").toString(), "F");
    EXPECT_EQ(s.value("SELECT count(*) FROM balpatri WHERE Periodo = '2023'").toInt() > 0, true);
    EXPECT_EQ(s.value("SELECT count(*) FROM balanco WHERE Periodo = '202401'").toInt(),
              s.value("SELECT count(*) FROM balanco WHERE Periodo = '202312'").toInt());
  }
  r = book.cli({"verificar"});
  EXPECT_EQ(r.code, 0) << r.out.toStdString();
  EXPECT_EQ(lastLine(r.out), "24 verificações, 0 falhas, 0 avisos") << r.out.toStdString();
}

// The three faults of a damaged book, planted in a backup copy made by `copia`, each found
// and named; the book itself stays sound.
TEST(EscrivonCli, VerificarFindsFaultsPlantedInACopy) {
  DemoBook book;
  QTemporaryDir copy;
  CliRun r = book.cli({"copia", copy.path()});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  {
    Session s(copy.path());
    Database& db = s.dm.database();
    // A month row's debit changed.
    EXPECT_EQ(db.exec("UPDATE balanco SET ValorDebito = ValorDebito + 10 WHERE "
                      "CodCtaConCodCtaCor = '2023031111210001'"),
              1);
    // One entry of a processed document marked unprocessed.
    db.exec("UPDATE lancamen SET Situacao = 'N' WHERE rowid = (SELECT min(rowid) FROM lancamen "
            "WHERE NumeroDocumento = '00004')");
    // A synthetic row's closing off by 0,01.
    EXPECT_EQ(db.exec("UPDATE balanco SET SaldoAtual = SaldoAtual + 0.01 WHERE "
                      "CodCtaConCodCtaCor = '202305111000999'"),
              1);
  }
  r = run({"--data-dir", copy.path(), "verificar"});
  EXPECT_EQ(r.code, 1);
  const QStringList faults = r.out.split('\n').filter("FALHA: ");
  auto found = [&](const QString& a, const QString& b) {
    return !faults.filter(a).filter(b).isEmpty();
  };
  EXPECT_TRUE(
      found("Período 202303 conta 111121 conta corrente 0001", "nos lançamentos processados"))
      << r.out.toStdString();
  EXPECT_TRUE(found("Documento 00004 processado em parte", "1 de 2"));
  EXPECT_TRUE(found("Período 202305 conta 111000 conta corrente 999", "saldo atual"));
  EXPECT_TRUE(found("Período 202303:", "diferentes dos créditos"));
  EXPECT_TRUE(r.out.contains("AVISO: Exercício 2023:"));
  EXPECT_TRUE(lastLine(r.out).contains(QString("%1 falhas").arg(faults.size())));

  EXPECT_EQ(book.cli({"verificar"}).code, 0);
}

// A book held by a running Escrivon: commands that write refuse with the lock's message and
// touch nothing; commands that only read need no lock.
TEST(EscrivonCli, WritersRefuseAHeldBookAndReadersDoNot) {
  DemoBook book;
  const BookLock held(book.path());
  const QStringList before = test::fileSnapshot(book.path());
  const CliRun r = book.cli({"sinteticas", "2023"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains(QString("já estão abertos por outro Escrivon (processo %1).")
                                 .arg(QCoreApplication::applicationPid())))
      << r.err.toStdString();
  EXPECT_EQ(book.cli({"listar", "contas"}).code, 0);
  EXPECT_EQ(book.cli({"verificar"}).code, 0);
  EXPECT_EQ(test::fileSnapshot(book.path()), before);
}

// The CSV a Brazilian spreadsheet opens: BOM, header, ";" and the decimal comma.
TEST(EscrivonCli, CsvListingOfTheTrialBalance) {
  DemoBook book;
  const CliRun r = book.cli({"listar", "balancete", "--periodo", "202303", "--csv"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.rawOut.startsWith("\xEF\xBB\xBF"));
  const QStringList lines = QString::fromUtf8(r.rawOut.mid(3)).split("\r\n", Qt::SkipEmptyParts);
  EXPECT_EQ(lines.first(), "Período;Conta;Cta. Corrente;Nível;Natureza;Saldo Anterior;D/C;"
                           "Débitos;Créditos;Saldo Atual;D/C");
  Session s(book.path());
  EXPECT_EQ(lines.size() - 1,
            s.value("SELECT count(*) FROM balanco WHERE Periodo = '202303'").toInt());
  const double closing =
      s.value("SELECT SaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = '2023031111210001'")
          .toDouble();
  const QString row = lines.filter("202303;111121;0001;").value(0);
  EXPECT_EQ(row.section(';', 9, 9), fmt::general(closing)) << row.toStdString();
  EXPECT_TRUE(row.section(';', 9, 9).contains(',')) << "an amount with cents";
}

// A query of the user's own over the book's tables, printed as the listings print; anything
// but one query is refused and the book stays as it was.
TEST(EscrivonCli, SqlRunsOneQueryAndWritesNothing) {
  DemoBook book;
  const QStringList before = test::fileSnapshot(book.path());
  const QString query = "SELECT count(*) AS n, total(ValorLancamento) AS soma FROM lancamen "
                        "WHERE Situacao = 'P'";
  Session s(book.path());
  const QString n = s.value("SELECT count(*) FROM lancamen WHERE Situacao = 'P'").toString();
  const QString sum = fmt::general(
      s.value("SELECT total(ValorLancamento) FROM lancamen WHERE Situacao = 'P'").toDouble());
  const CliRun r = book.cli({"sql", query});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0].simplified(), "n soma");
  EXPECT_EQ(lines[1].simplified(), n + " " + sum);
  const CliRun csv = book.cli({"sql", query, "--csv"});
  EXPECT_EQ(csv.rawOut, "\xEF\xBB\xBFn;soma\r\n" + (n + ";" + sum).toUtf8() + "\r\n");

  for (const QString& statement :
       {QString("DELETE FROM contas"), QString("ATTACH 'outro.db' AS outro"),
        QString("WITH x AS (SELECT 1) DELETE FROM contas"), QString("PRAGMA user_version = 3")})
    EXPECT_EQ(book.cli({"sql", statement}).code, 2) << statement.toStdString();
  EXPECT_EQ(book.cli({"sql", "SELECT 1; DELETE FROM contas"}).code, 1);
  EXPECT_EQ(book.cli({"sql", "SELECT * FROM nada"}).code, 1);
  EXPECT_EQ(test::fileSnapshot(book.path()), before);
}

// The figures behind the charts, for a spreadsheet to redraw them: the twelve months, then the
// largest expenses; December's accumulated result is the year's result in the result account.
TEST(EscrivonCli, PainelListsTheFiguresOfTheCharts) {
  DemoBook book;
  const CliRun r = book.cli({"listar", "painel", "2023", "--csv"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.rawOut.startsWith("\xEF\xBB\xBF"));
  const QStringList tables = QString::fromUtf8(r.rawOut.mid(3)).split("\r\n\r\n");
  ASSERT_EQ(tables.size(), 2);
  const QStringList months = tables[0].split("\r\n");
  ASSERT_EQ(months.size(), 13);
  EXPECT_EQ(months[0], "Mês;Receitas;Despesas;Resultado;Acumulado;Disponível");
  EXPECT_TRUE(months[12].startsWith("12/2023;"));
  Session s(book.path());
  const double year =
      s.value("SELECT SaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = '202312299999999'")
          .toDouble() -
      s.value("SELECT SaldoAnterior FROM balanco WHERE CodCtaConCodCtaCor = '202301299999999'")
          .toDouble();
  EXPECT_EQ(months[12].section(';', 4, 4), fmt::general(roundAmount(year)));
  const QStringList expenses = tables[1].split("\r\n", Qt::SkipEmptyParts);
  EXPECT_EQ(expenses[0], "Conta;Cta. Corrente;Nome;Despesa do ano");
  EXPECT_TRUE(expenses.value(1).startsWith("411111;999;SALÁRIOS E ORDENADOS;"));

  EXPECT_TRUE(book.cli({"listar", "painel", "2023"}).out.contains("Maiores despesas de 2023"));
  EXPECT_EQ(book.cli({"listar", "painel"}).code, 2);
  EXPECT_EQ(book.cli({"listar", "painel", "23"}).code, 2);
  EXPECT_EQ(book.cli({"listar", "contas", "2023"}).code, 2);
}

// Bad usage is status 2 with the usage said, and the book is not opened.
TEST(EscrivonCli, BadUsageIsStatusTwoAndTouchesNothing) {
  DemoBook book;
  const QStringList before = test::fileSnapshot(book.path());
  for (const QStringList& arguments : {QStringList{},
                                       {"balancear"},
                                       {"sinteticas", "23"},
                                       {"demonstracao", "202313"},
                                       {"listar", "contas", "--periodo", "202301"},
                                       {"listar", "razao"},
                                       {"fechar"},
                                       {"processar"},
                                       {"processar", "--todos", "3"},
                                       {"verificar", "--csv"}}) {
    const CliRun r = book.cli(arguments);
    EXPECT_EQ(r.code, 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("uso: escrivon-cli")) << r.err.toStdString();
  }
  EXPECT_EQ(test::fileSnapshot(book.path()), before);
  const CliRun help = run({"fechar", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.startsWith("uso: escrivon-cli [--data-dir DIR] fechar AAAA"));
}

// The ECD from the command line: the SPED data shown and changed, a bad value refused with
// nothing changed, and the year's file written once the year is brought up to date.
TEST(EscrivonCli, DadosSpedAndTheEcdOfAYear) {
  DemoBook book;
  for (const QStringList& step : {QStringList{"processar", "--todos"},
                                  {"sinteticas", "2023"},
                                  {"demonstracao", "202312"},
                                  {"balanco", "2023"}})
    ASSERT_EQ(book.cli(step).code, 0) << step.join(' ').toStdString();

  CliRun r = book.cli({"dados-sped", "uf=RJ"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  const QString shown = book.cli({"dados-sped"}).out;
  EXPECT_TRUE(shown.contains("uf=RJ")) << shown.toStdString();
  r = book.cli({"dados-sped", "uf=SP", "signatario.1=X;12345678900;Contador;900;;;;;;;S"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(book.cli({"dados-sped"}).out, shown); // the good value beside the bad one is not kept
  // A substitute book needs the substituted one's hash; then the opening register says both.
  EXPECT_EQ(book.cli({"dados-sped", "finalidade=1"}).code, 1);
  EXPECT_EQ(book.cli({"dados-sped", "finalidade=1", "hash-substituida=ABC123"}).code, 0);

  EXPECT_EQ(book.cli({"ecd", "2023"}).code, 2); // no -o
  QTemporaryDir out;
  const QString file = out.filePath("ecd-2023.txt");
  r = book.cli({"ecd", "2023", "-o", file});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("ECD de 2023 gravada:")) << r.err.toStdString();
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  EXPECT_TRUE(text.startsWith("|0000|LECD|01012023|31122023|")) << text.left(80).toStdString();
  const QList<QByteArray> opening = text.left(text.indexOf('\r')).split('|');
  ASSERT_EQ(opening.size(), 25); // 23 fields between the bars
  EXPECT_EQ(opening[7], "RJ");
  EXPECT_EQ(opening[14], "1");
  EXPECT_EQ(opening[15], "ABC123");
  EXPECT_TRUE(text.endsWith("|\r\n"));
}

// estornar: a reversal on the date given, then the same document refused naming its reversal;
// the book still checks clean.
TEST(EscrivonCli, EstornarReversesOnceAndTheBookChecksClean) {
  DemoBook book;
  CliRun r = book.cli({"estornar", "5", "--data", "01/02/2023"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.err.trimmed(), "Documento 00005 estornado pelo documento 00149, de 01/02/2023.");
  r = book.cli({"estornar", "00005"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err.trimmed(), "Documento 00005 já foi estornado pelo documento 00149.");
  EXPECT_EQ(book.cli({"estornar", "8", "--data", "31/02/2023"}).code, 2);
  EXPECT_EQ(Session(book.path())
                .value("SELECT count(*) FROM lancamen WHERE NumeroDocumento = '00150'")
                .toInt(),
            0);
  r = book.cli({"verificar"});
  EXPECT_EQ(r.code, 0) << r.out.toStdString();
}

namespace {

// `hledger -f FILE bal ... -O csv`: account name -> the amounts of its columns.
std::map<QString, QVector<double>> hledgerBalances(const QString& file, const QStringList& args) {
  QProcess p;
  p.start("hledger", QStringList{"-f", file, "bal", "-O", "csv", "-E"} + args);
  if (!p.waitForFinished(120000) || p.exitCode() != 0) {
    ADD_FAILURE() << p.readAllStandardError().toStdString();
    return {};
  }
  std::map<QString, QVector<double>> out;
  const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
  for (int i = 1; i < lines.size(); ++i) { // the first line holds the headings
    const QString line = lines[i].trimmed();
    if (line.size() < 2) continue;
    const QStringList fields = line.mid(1, line.size() - 2).split("\",\"");
    QVector<double> amounts;
    for (int c = 1; c < fields.size(); ++c)
      amounts << fields[c].toDouble();
    out[fields[0]] = amounts;
  }
  return out;
}

// The account pair an exported account stands for: its last two levels' codes when they are
// an analytic account and its current account, else the last level's code with 999.
QString pairOf(const QString& account, const std::set<QString>& pairs) {
  const QStringList levels = account.split(':');
  const QString last = levels.last().section(' ', 0, 0);
  if (levels.size() > 1) {
    const QString pair = levels[levels.size() - 2].section(' ', 0, 0) + last;
    if (pairs.count(pair)) return pair;
  }
  return last + "999";
}

} // namespace

// exportar-hledger read back by hledger: each analytic pair's month movements are the trial
// balance's debits less credits; after the year is carried into 2024, the opening transaction
// gives every pair its January balance with hledger's sign.
TEST(EscrivonCli, ExportarHledgerReadBackByHledgerMatchesTheTrialBalance) {
  if (QStandardPaths::findExecutable("hledger").isEmpty()) GTEST_SKIP() << "hledger not found";
  DemoBook book;
  QTemporaryDir out;
  const QString file = out.filePath("2023.journal");
  CliRun r = book.cli({"exportar-hledger", "2023", "-o", file});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("146 documento(s)")) << r.err.toStdString(); // 00003 to 00148

  std::map<QString, QVector<double>> trial; // pair -> month debits less credits, or closings
  std::set<QString> pairs;
  auto readTrial = [&](const QString& from, const QString& to, bool closing) {
    trial.clear();
    Session s(book.path());
    for (const auto& row : s.dm.database().select(
             "SELECT CodigoContaContabil || CodigoContaCorrente, ValorDebito - ValorCredito, "
             "CASE NaturezaDaConta WHEN 'D' THEN SaldoAtual ELSE -SaldoAtual END FROM balanco "
             "WHERE NivelDaConta = '6' AND Periodo BETWEEN ? AND ? ORDER BY CodCtaConCodCtaCor",
             {from, to})) {
      pairs.insert(row[0].toString());
      trial[row[0].toString()] << row[closing ? 2 : 1].toDouble();
    }
  };
  auto compare = [&](const std::map<QString, QVector<double>>& hledger, bool withResult) {
    std::map<QString, QVector<double>> exported;
    for (const auto& [account, amounts] : hledger)
      if (account != "total") exported[pairOf(account, pairs)] = amounts;
    int compared = 0;
    for (const auto& [pair, amounts] : trial) {
      if (pair == "299999999" && !withResult) continue; // its results come from the roll-up
      const bool moved =
          std::any_of(amounts.begin(), amounts.end(), [](double a) { return roundAmount(a) != 0; });
      if (!moved) continue;
      ++compared;
      EXPECT_TRUE(exported.count(pair)) << pair.toStdString();
      for (int m = 0; m < amounts.size(); ++m)
        EXPECT_NEAR(exported[pair].value(m), amounts[m], 0.00005) << pair.toStdString() << " " << m;
    }
    return compared;
  };
  readTrial("202301", "202312", false);
  EXPECT_GT(compare(hledgerBalances(
                        file, {"-M", "not:tag:abertura", "-b", "2023-01-01", "-e", "2024-01-01"}),
                    false),
            10);

  for (const QStringList& step :
       {QStringList{"sinteticas", "2023"}, {"abrir", "2023"}, {"retranspor", "2023"}})
    ASSERT_EQ(book.cli(step).code, 0) << step.join(' ').toStdString();
  const QString next = out.filePath("2024.journal");
  ASSERT_EQ(book.cli({"exportar-hledger", "2024", "-o", next}).code, 0);
  readTrial("202401", "202401", true);
  EXPECT_GT(compare(hledgerBalances(next, {"-H", "-e", "2024-02-01"}), true), 5);
  QFile f(next);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("2024-01-01 * Saldos de abertura  ; abertura:\n"));
}

// A spreadsheet and a bank statement brought in from a script: the message says what was
// imported, a bad line is named with nothing written, and a statement given twice adds
// nothing the second time.
TEST(EscrivonCli, ImportsASpreadsheetAndABankStatementOnce) {
  DemoBook book;
  const QString good = book.dir.filePath("bons.csv"), bad = book.dir.filePath("ruins.csv");
  for (const auto& [path, text] : {std::pair{good, "data;conta;corrente;dc;valor;historico\n"
                                                   "10/05/2023;411114;999;D;99,90;0006\n"
                                                   "10/05/2023;111111;999;C;99,90;0006\n"},
                                   std::pair{bad, "data;conta;corrente;dc;valor;historico\n"
                                                  "10/05/2023;411114;999;D;99,90;0006\n"
                                                  "10/05/2023;111111;999;C;9,9,0;0006\n"}}) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
  const auto unprocessed = [&] {
    return Session(book.path()).value("SELECT count(*) FROM lancamen WHERE Situacao = 'N'").toInt();
  };
  const int before = unprocessed();
  CliRun r = book.cli({"importar-lancamentos", bad});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(r.err.contains("linha 3, coluna valor: '9,9,0' não é um valor válido."))
      << r.err.toStdString();
  r = book.cli({"importar-lancamentos", good});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("2 lançamentos importados em 1 documento (")) << r.err.toStdString();

  const QString statement = IMPORT_DATA "/extrato-ofx1.ofx";
  const QStringList options = {"--conta",    "111121/0001", "--contrapartida",
                               "111111/999", "--historico", "0005"};
  r = book.cli(QStringList{"importar-ofx", statement} + options);
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(lastLine(r.err), "3 transações importadas, 0 já importadas antes.");
  r = book.cli(QStringList{"importar-ofx", statement} + options);
  EXPECT_EQ(lastLine(r.err), "0 transações importadas, 3 já importadas antes.");
  EXPECT_EQ(unprocessed(), before + 2 + 3 * 2);
  r = book.cli({"importar-ofx", statement, "--conta", "111121"});
  EXPECT_EQ(r.code, 2);
}
