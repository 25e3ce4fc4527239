// escrivon-init's books: what it refuses, the demo book and the generated book.
#include "demobook.h"
#include "processingBook.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

namespace {

TEST(EscrivonInit, RefusesADirectoryHoldingAnyTableFileAndTouchesNothing) {
  QTemporaryDir dir;
  {
    QFile f(QDir(dir.path()).filePath("LANCAMEN.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("meu arquivo");
  }
  InitOptions o;
  o.directory = dir.path();
  o.demo = true;
  try {
    createDataDirectory(o);
    FAIL() << "accepted a directory with LANCAMEN.db";
  } catch (const std::runtime_error& e) {
    EXPECT_TRUE(QString::fromUtf8(e.what()).contains("LANCAMEN.db")) << e.what();
  }
  EXPECT_EQ(listing(dir.path()), QStringList{"LANCAMEN.db"});
  QFile f(QDir(dir.path()).filePath("LANCAMEN.db"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "meu arquivo");
}

TEST(EscrivonInit, PasswordIsEightCharactersOfCodesUpTo255) {
  EXPECT_EQ(encodePassword("ESCRIVON"), "069083067082073086079078");
  EXPECT_EQ(encodePassword(QString("senha12") + QChar(255)), "115101110104097049050255");
  EXPECT_THROW(encodePassword("1234567"), std::invalid_argument);
  EXPECT_THROW(encodePassword("123456789"), std::invalid_argument);
  EXPECT_THROW(encodePassword(QString("senha12") + QChar(0x20AC)), std::invalid_argument);
  QTemporaryDir dir;
  InitOptions o;
  o.directory = QDir(dir.path()).filePath("novo");
  o.password = "curta";
  EXPECT_THROW(createDataDirectory(o), std::invalid_argument);
  EXPECT_FALSE(QFileInfo::exists(o.directory)); // refused before anything was written
}

TEST(EscrivonInit, DemoBookIsAWholeSixLevelChartWithTwelveTrialBalanceRowsPerAccount) {
  OpenBook book(true, 2004);
  Database& db = book.dm->database();
  EXPECT_EQ(db.selectValue("SELECT count(DISTINCT NivelDaConta) FROM contas"), QVariant(qint64(6)));
  // Each account has its twelve rows of the year, with its nature and level.
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM contas c WHERE (SELECT count(*) FROM balanco b "
                           "WHERE b.CodigoContaContabil = c.CodigoContaContabil AND "
                           "b.CodigoContaCorrente = c.CodigoContaCorrente AND b.NaturezaDaConta "
                           "= c.TipoDeSaldo AND b.NivelDaConta = c.NivelDaConta AND b.Periodo "
                           "BETWEEN '200401' AND '200412') <> 12"),
            QVariant(qint64(0)));
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM balanco"), QVariant(qint64(56 * 12)));
  // The result account exists; every synthetic account has an analytic one under it.
  EXPECT_TRUE(book.dm->TbContas->findKey({"299999999"}));
  EXPECT_EQ(db.selectValue("SELECT count(*) FROM contas s WHERE s.NivelDaConta < '6' AND NOT "
                           "EXISTS (SELECT 1 FROM contas a WHERE a.NivelDaConta = '6' AND "
                           "substr(a.CodigoContaContabil, 1, s.NivelDaConta) = "
                           "substr(s.CodigoContaContabil, 1, s.NivelDaConta))"),
            QVariant(qint64(0)));
  Table& org = *book.dm->TbCabecalh;
  EXPECT_EQ(org.recordCount(), 1);
  EXPECT_EQ(org.field("CNPJDaOrganizacao").asString(), "11.222.333/0001-81");
  EXPECT_EQ(org.field("SenhaDeEntrada").asString(), encodePassword("ESCRIVON"));
  EXPECT_EQ(book.dm->TbFechamen->field("Exercicio").asString(), "2004");
  EXPECT_GE(book.dm->TbHistoric->recordCount(), 5);
  EXPECT_EQ(book.dm->TbDemResul->recordCount(), 3);
}

// The demo book: a year of processed documents whose trial balance agrees with its journal,
// and two typed documents a new user can process.
TEST(DemoBook, TrialBalanceAgreesWithItsProcessedEntries) {
  ProcessingBook b(true, 2004);
  Database& db = b.db();
  EXPECT_EQ(b.statuses("00001"), (QStringList{"N", "N"}));
  EXPECT_EQ(b.statuses("00002"), (QStringList{"N", "N"}));
  EXPECT_EQ(db.selectValue("SELECT COUNT(DISTINCT NumeroDocumento) FROM lancamen WHERE "
                           "NumeroDocumento > '00002' AND Situacao = 'P'")
                .toInt(),
            db.selectValue("SELECT COUNT(DISTINCT NumeroDocumento) - 2 FROM lancamen").toInt());
  EXPECT_EQ(db.selectValue("SELECT COUNT(DISTINCT substr(DataDaContabilizacao, 6, 2)) FROM "
                           "lancamen WHERE Situacao = 'P'"),
            QVariant(12));
  EXPECT_GT(db.selectValue("SELECT COUNT(*) FROM lancamen WHERE Situacao = 'P'").toInt(), 200);

  test::expectTrialBalanceAgrees(db, "2004");
  // The capital paid in, processed as a new user would.
  ASSERT_TRUE(b.process("00001")) << qPrintable(b.ui.texts().join("\n"));
  test::expectTrialBalanceAgrees(db, "2004");
  EXPECT_GT(db.selectValue("SELECT SaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = "
                           "'2004121111210001'")
                .toDouble(),
            50000.0);
}

TEST(GeneratedBook, SameSeedGivesTheSameBookEveryDocumentProcessed) {
  QTemporaryDir dir;
  GeneratedBookOptions o;
  o.init.year = 2005;
  o.documents = 40;
  o.accounts = 25;
  o.seed = 11;
  std::vector<int> reports;
  o.progress = [&](int done, int total) {
    EXPECT_EQ(total, 40);
    reports.push_back(done);
  };
  o.init.directory = dir.filePath("a");
  const GeneratedBook g = createGeneratedBook(o);
  EXPECT_EQ(reports.back(), 40);
  EXPECT_EQ(g.documents, 40);
  EXPECT_EQ(g.year, 2005);
  EXPECT_EQ(g.analyticPairs, 25);
  o.init.directory = dir.filePath("b");
  o.progress = nullptr;
  createGeneratedBook(o);
  o.init.directory = dir.filePath("c");
  o.seed = 12;
  createGeneratedBook(o);

  test::OpenDirectory a(dir.filePath("a")), b(dir.filePath("b")), c(dir.filePath("c"));
  for (const char* t : {"contas", "balanco", "lancamen"}) {
    const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t);
    EXPECT_EQ(test::rowTexts(a.db().select(sql)), test::rowTexts(b.db().select(sql))) << t;
  }
  EXPECT_NE(test::rowTexts(a.db().select("SELECT * FROM lancamen")),
            test::rowTexts(c.db().select("SELECT * FROM lancamen")));

  Database& db = a.db();
  EXPECT_EQ(db.selectValue("SELECT COUNT(*) FROM lancamen").toInt(), g.entries);
  EXPECT_EQ(db.selectValue("SELECT COUNT(DISTINCT NumeroDocumento) FROM lancamen WHERE "
                           "Situacao = 'P'"),
            QVariant(40));
  EXPECT_EQ(db.selectValue("SELECT COUNT(*) FROM lancamen WHERE Situacao <> 'P'"), QVariant(0));
  EXPECT_EQ(db.selectValue("SELECT MAX(NumeroDocumento) FROM lancamen"), QVariant("00040"));
  EXPECT_EQ(db.selectValue("SELECT COUNT(*) FROM contas WHERE NivelDaConta = '6' AND "
                           "substr(CodigoContaContabil, 2, 1) BETWEEN '5' AND '8'"),
            QVariant(25));
  // Every account of the chart, generated or not, has its twelve rows of the year.
  EXPECT_EQ(db.selectValue("SELECT COUNT(*) FROM balanco").toInt(),
            12 * db.selectValue("SELECT COUNT(*) FROM contas").toInt());
  test::expectTrialBalanceAgrees(db, "2005");
}

} // namespace
