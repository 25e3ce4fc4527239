// Composite keys, trailing spaces, case rules and the order of accented names.
#include "store/lookup.h"
#include "storeTestHelpers.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

TEST(StoreKeys, AccountPairKeyIsTheSameFromPaddedBoxesAndFromStoredValues) {
  OpenBook book;
  Table& contas = *book.dm->TbContas;
  addAccount(contas, "111001", "999", "CAIXA FILIAL");
  // Trailing spaces of the padded box text are not part of the stored value.
  EXPECT_EQ(contas.field("CodCtaConCodCtaCor").asString(), "111001999");
  EXPECT_EQ(contas.field("CodigoContaCorrente").asString(), "999");
  const QString fromValues = contas.field("CodigoContaContabil").asString() +
                             contas.field("CodigoContaCorrente").asString();
  EXPECT_EQ(fromValues, "111001999");

  contas.first();
  ASSERT_TRUE(contas.findKey({"111001" + QString("999").leftJustified(14, ' ')}));
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "CAIXA FILIAL");
  contas.first();
  ASSERT_TRUE(contas.findKey({fromValues}));
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "CAIXA FILIAL");
}

TEST(StoreKeys, EntryKeyKeepsTheInnerPaddingAndIdenticalKeysAreOrderedByOrdem) {
  OpenBook book;
  Table& lanc = *book.dm->TbLancamen;
  const QString key = "2004111001" + QString("999").leftJustified(14, ' ') + "0305";
  ASSERT_EQ(key.size(), 28);
  QList<qint64> ordens;
  for (const char* compl_ : {"PRIMEIRO", "SEGUNDO"}) {
    lanc.insert();
    lanc.field("AnoContasMesDia").setValue(key);
    lanc.field("DataDaContabilizacao").setAsString("05/03/2004");
    lanc.field("CodigoHistorico").setValue("0001");
    lanc.field("CodigoContaContabil").setValue("111001");
    lanc.field("CodigoContaCorrente").setValue("999" + QString(11, ' '));
    lanc.field("TipoDeLancamento").setValue("D");
    lanc.field("HistoricoComplementar").setValue(compl_);
    lanc.field("ValorLancamento").setAsString("10,00");
    lanc.field("NumeroDocumento").setValue("00009");
    lanc.post();
    EXPECT_EQ(lanc.field("AnoContasMesDia").asString(), "2004111001999           0305");
    ordens << lanc.field("Ordem").value().toLongLong();
  }
  ASSERT_LT(ordens[0], ordens[1]);

  for (const QString order : {"", "SI_AnoContasMesDia"}) {
    lanc.setOrder(order);
    ASSERT_TRUE(lanc.findKey({key})) << order.toStdString();
    EXPECT_EQ(lanc.field("HistoricoComplementar").asString(), "PRIMEIRO");
    lanc.next();
    EXPECT_EQ(lanc.field("AnoContasMesDia").asString(), key);
    EXPECT_EQ(lanc.field("HistoricoComplementar").asString(), "SEGUNDO");
  }
  // The primary key's second field is Ordem itself.
  lanc.setOrder("");
  ASSERT_TRUE(lanc.findKey({key, ordens[1]}));
  EXPECT_EQ(lanc.field("HistoricoComplementar").asString(), "SEGUNDO");
}

TEST(StoreKeys, TrialBalanceKeyOfDecember) {
  OpenBook book;
  Table& bal = *book.dm->TbBalanco;
  // The demo book has 111121/0001; the key is period + account + current account.
  ASSERT_TRUE(bal.findKey({"2004121111210001"}));
  EXPECT_EQ(bal.field("Periodo").asString(), "200412");
  EXPECT_EQ(bal.field("CodigoContaCorrente").asString(), "0001");
  // Padded current-account boxes give the same key.
  ASSERT_TRUE(bal.findKey({"200412111121" + QString("0001").leftJustified(14, ' ')}));
  EXPECT_EQ(bal.field("CodCtaConCodCtaCor").asString(), "2004121111210001");
}

TEST(StoreKeys, FindKeyIgnoresTrailingSpacesAndCaseOnlyWhereTheIndexDoes) {
  OpenBook book;
  Table& contas = *book.dm->TbContas;
  contas.setOrder("SI_NomCtaCon");
  ASSERT_TRUE(contas.findKey({"caixa geral   "}));
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "CAIXA GERAL");
  // Accented capitals match their small letters on an index that ignores case.
  ASSERT_TRUE(contas.findKey({"patrimônio líquido"}));
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "PATRIMÔNIO LÍQUIDO");

  Table& hist = *book.dm->TbHistoric;
  hist.setOrder("SI_NomeHistorico"); // case-sensitive
  ASSERT_TRUE(hist.findKey({"SALÁRIOS DO MÊS "}));
  const QString before = hist.field("CodigoHistorico").asString();
  EXPECT_EQ(before, "0004");
  EXPECT_FALSE(hist.findKey({"salários do mês"}));
  EXPECT_EQ(hist.field("CodigoHistorico").asString(), before); // unchanged when not found
}

TEST(StoreKeys, AccentedNamesSortBesideTheirPlainLettersIgnoringCase) {
  OpenBook book(false);
  Table& contas = *book.dm->TbContas;
  const QStringList names = {"Zebra", "ÉPOCA", "agua",  "Azul", "Abelha",
                             "Água",  "ábaco", "epoca", "ÇAPA", "casa"};
  int n = 0;
  for (const QString& name : names)
    addAccount(contas, QString("4%1").arg(++n, 5, 10, QChar('0')), "999", name);
  contas.setOrder("SI_NomCtaCon");
  const QStringList expected = {"ábaco", "Abelha", "agua",  "Água",  "Azul",
                                "ÇAPA",  "casa",   "epoca", "ÉPOCA", "Zebra"};
  EXPECT_EQ(walk(contas, "NomeContaContabil"), expected);
  QStringList reversed(expected.rbegin(), expected.rend());
  EXPECT_EQ(walk(contas, "NomeContaContabil", false), reversed);

  ASSERT_TRUE(contas.findKey({"ÁGUA"}));
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "Água");
  EXPECT_EQ(contas.recNo(), 4);
  contas.findNearest("B");
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "ÇAPA");
  contas.findNearest("é");
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "epoca");
  contas.findNearest("zz");
  EXPECT_EQ(contas.field("NomeContaContabil").asString(), "Zebra"); // the last when all are less
}

TEST(StoreKeys, BlankTextIsOneValueForFiltersQueriesAndKeys) {
  OpenBook book;
  Table& fech = *book.dm->TbFechamen;
  fech.insert();
  fech.field("Exercicio").setValue("2005");
  fech.field("Situacao").setValue("   ");
  fech.post();
  fech.setFilter("Situacao=''");
  fech.setFiltered(true);
  EXPECT_EQ(fech.recordCount(), 2); // 2004 from escrivon-init and 2005
  EXPECT_EQ(book.dm->database().selectValue("SELECT count(*) FROM fechamen WHERE Situacao = ?",
                                            {QString()}),
            QVariant(qint64(2)));
  fech.setFilter("Situacao<>''");
  EXPECT_EQ(fech.recordCount(), 0);
}

TEST(StoreKeys, FindsFiltersAndLocatesOnDateFieldsIncludingTheBlank) {
  OpenBook book;
  Table& lanc = *book.dm->TbLancamen;
  Database& db = book.dm->database();
  const qint64 onFifth =
      db.selectValue("SELECT count(*) FROM lancamen WHERE DataDaContabilizacao = '2004-01-05'")
          .toLongLong();
  ASSERT_GT(onFifth, 0);
  lanc.setOrder("SI_DataDaContabilizacao");
  ASSERT_TRUE(lanc.findKey({QDate(2004, 1, 5)}));
  EXPECT_EQ(lanc.field("DataDaContabilizacao").asString(), "05/01/2004");
  ASSERT_TRUE(lanc.findKey({"05/01/04"})); // the entry box's two-digit year
  EXPECT_EQ(lanc.field("DataDaContabilizacao").asDate(), QDate(2004, 1, 5));
  EXPECT_FALSE(lanc.findKey({"31/12/1999"}));
  lanc.findNearest("01/01/2004");
  EXPECT_EQ(lanc.recNo(), 1);

  lanc.setFilter("DataDaContabilizacao='05/01/2004'");
  lanc.setFiltered(true);
  EXPECT_EQ(lanc.recordCount(), onFifth);
  lanc.setFiltered(false);

  // A blank date: one row with it, found by a filter, a locate and a query alike.
  lanc.edit();
  lanc.field("DataDaContabilizacao").setValue(QVariant());
  try {
    lanc.post();
    ADD_FAILURE() << "a blank required date was saved";
  } catch (const StoreError& e) {
    EXPECT_TRUE(e.message().contains("Data")) << e.message().toStdString();
  }
  lanc.cancel();
  db.exec("UPDATE lancamen SET DataDaContabilizacao = '' WHERE rowid = (SELECT min(rowid) FROM "
          "lancamen)");
  lanc.setFilter("DataDaContabilizacao=''");
  lanc.setFiltered(true);
  EXPECT_EQ(lanc.recordCount(), 1);
  EXPECT_TRUE(lanc.field("DataDaContabilizacao").isNull());
  lanc.setFiltered(false);
  ASSERT_TRUE(lanc.locate("DataDaContabilizacao", QVariant()));
  EXPECT_TRUE(lanc.field("DataDaContabilizacao").isNull());
  lanc.first(); // the blank sorts first on the date order
  EXPECT_TRUE(lanc.field("DataDaContabilizacao").isNull());
}

TEST(StoreKeys, LookupsSeekAnIndexAndAKeyNobodyHasLooksUpBlank) {
  OpenBook book;
  Table& lanc = *book.dm->TbLancamen;
  Database& db = book.dm->database();
  for (const LookupDef& l : lanc.def().lookups) {
    QString plan;
    for (const QVariantList& row :
         db.select("EXPLAIN QUERY PLAN " + lookupSql(tableDef(l.lookupTable), l), {"x"}))
      plan += row.last().toString() + "; ";
    EXPECT_TRUE(plan.contains("USING INDEX") || plan.contains("USING COVERING INDEX"))
        << l.name.toStdString() << ": " << plan.toStdString();
    EXPECT_FALSE(plan.contains("SCAN " + tableDef(l.lookupTable).sqlName)) << plan.toStdString();
  }
  // The comparison is still exact: a code differing only in case finds nothing.
  addAccount(*book.dm->TbContas, "4111AB", "999", "LETRAS");
  lanc.insert();
  lanc.field("CodigoContaContabil").setValue("4111ab");
  EXPECT_EQ(lanc.field("NomeContaContabil").asString(), "");
  lanc.field("CodigoContaContabil").setValue("4111AB");
  EXPECT_EQ(lanc.field("NomeContaContabil").asString(), "LETRAS");
  lanc.field("CodigoContaContabil").setValue("999999");
  lanc.field("CodigoHistorico").setValue("9999");
  for (const char* name :
       {"NomeContaContabil", "ContaContabil", "NomeContaCorrente", "NomeHistorico", "CodHistorico"})
    EXPECT_EQ(lanc.field(name).asString(), "") << name;
  lanc.cancel();
}
