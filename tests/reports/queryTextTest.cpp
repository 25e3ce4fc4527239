#include "reports/engine/queryText.h"
#include "reports/definitions/tf_Balanco.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;

TEST(QueryText, RangeRuleCases) {
  const QString range = " AND contas.codigocontacontabil BETWEEN '";
  const QString eq = " AND contas.codigocontacontabil='";
  QueryText q;
  addRange(q, range, eq, "", "999999");
  EXPECT_TRUE(q.isEmpty()) << "the to-field alone restricts nothing";
  addRange(q, range, eq, "1", "");
  EXPECT_EQ(q.displayText(), " AND contas.codigocontacontabil='1'");
  q.clear();
  addRange(q, range, eq, " 1 ", "2 ", true);
  EXPECT_EQ(q.displayText(), " AND contas.codigocontacontabil BETWEEN '1'\n AND '2 '");
  EXPECT_EQ(q.sql(), " AND contas.codigocontacontabil BETWEEN ?\n AND ?");
  EXPECT_EQ(q.parameters(), (QVariantList{"1", "2 "}));
  // A blank is a value: it adds the condition, as typed.
  q.clear();
  addRange(q, range, eq, " ", "");
  EXPECT_EQ(q.parameters(), QVariantList{" "});
  q.clear();
  addRange(q, range, eq, " ", " ", true);
  EXPECT_EQ(q.parameters(), (QVariantList{"", " "})) << "only the named from-text is trimmed";
  addEquality(q, " AND x='", "");
  EXPECT_EQ(q.parameters().size(), 2);
}

TEST(QueryText, DateRuleReadsDayMonthYear) {
  const QString range = " AND lancamen.datadacontabilizacao BETWEEN '";
  const QString eq = " AND lancamen.datadacontabilizacao='";
  QueryText q;
  EXPECT_TRUE(addDateRange(q, range, eq, "05/01/03", "31/12/2003"));
  EXPECT_EQ(q.parameters(), (QVariantList{"2003-01-05", "2003-12-31"}));
  q.clear();
  EXPECT_TRUE(addDateRange(q, range, eq, "", "garbage")) << "an empty from-field adds nothing";
  EXPECT_TRUE(q.isEmpty());
  for (const QString bad : {"31/02/2003", "2003-01-05", "  /  /  ", "1/13/03", " "}) {
    EXPECT_FALSE(addDateRange(q, range, eq, bad, "")) << bad.toStdString();
    EXPECT_FALSE(addDateRange(q, range, eq, "01/01/2003", bad)) << bad.toStdString();
    EXPECT_TRUE(q.isEmpty());
  }
}

TEST(QueryText, ConcatenationBetweenColumnsBecomesTheSqlOperator) {
  QueryText q;
  q.add(" AND lancamen.codigocontacontabil+lancamen.codigocontacorrente=contas.codigocontacontabil"
        "+contas.codigocontacorrente AND x.a = 1 + 2");
  EXPECT_EQ(q.sql(), " AND lancamen.codigocontacontabil||lancamen.codigocontacorrente=contas."
                     "codigocontacontabil||contas.codigocontacorrente AND x.a = 1 + 2");
}

TEST(QueryText, TrialBalancePiecesInOrder) {
  QueryText q;
  buildBalancoQuery(q, {{"SaldoZero", "0"},
                        {"EdBCon", " 111 "},
                        {"EdBConAte", "222"},
                        {"EdBCor", "0001"},
                        {"EdBNivel", "1"},
                        {"EdBNivelAte", "5"},
                        {"EdBNatureza", "d"},
                        {"EdBPeriodo", " 200301"},
                        {"EdBPeriodoAte", "200312"}});
  EXPECT_EQ(q.displayText(),
            "SELECT balanco.*, cabecalh.*, contas.nomecontacontabil,contas.nomecontacorrente FROM "
            "balanco,cabecalh,contas WHERE balanco.codigocontacontabil=contas.codigocontacontabil "
            "AND balanco.codigocontacorrente=contas.codigocontacorrente \n"
            " AND balanco.saldoatual<>0 \n"
            " AND balanco.codigocontacontabil BETWEEN '111'\n AND '222'\n"
            " AND balanco.codigocontacorrente='0001'\n"
            " AND balanco.niveldaconta BETWEEN '1'\n AND '5'\n"
            " AND balanco.naturezadaconta='d'\n"
            " AND balanco.periodo BETWEEN '200301'\n AND '200312'\n"
            " ORDER BY codctaconcodctacor");
  q.clear();
  buildBalancoQuery(q, {{"SaldoZero", "1"}});
  EXPECT_EQ(q.displayText().count('\n'), 1);
}

// Every field holding a quote: the query runs, and the quote is an ordinary character.
TEST(QueryText, QuotesInEveryFieldAreValuesNotSql) {
  test::OpenBook book;
  auto& db = book.dm->database();
  db.exec("UPDATE balanco SET NaturezaDaConta = ? WHERE Periodo = '200401' AND "
          "CodigoContaContabil = '111111'",
          {"D'"});
  QueryText q;
  const QString quote = "x' OR '1'='1";
  buildBalancoQuery(q, {{"SaldoZero", "1"},
                        {"EdBCon", quote},
                        {"EdBConAte", quote},
                        {"EdBCor", quote},
                        {"EdBCorAte", quote},
                        {"EdBNivel", quote},
                        {"EdBNivelAte", quote},
                        {"EdBNatureza", quote},
                        {"EdBPeriodo", quote},
                        {"EdBPeriodoAte", quote}});
  EXPECT_TRUE(db.select(q.sql(), q.parameters()).isEmpty());
  q.clear();
  buildBalancoQuery(q, {{"SaldoZero", "1"}, {"EdBNatureza", "D'"}});
  const auto rows = db.select(q.sql(), q.parameters());
  ASSERT_EQ(rows.size(), 1);
}

TEST(QueryText, BlankAndCaseAreComparedAsTyped) {
  test::OpenBook book;
  auto& db = book.dm->database();
  auto count = [&](const ParamValues& v) {
    QueryText q;
    buildBalancoQuery(q, v);
    return db.select(q.sql(), q.parameters()).size();
  };
  const int all = count({{"SaldoZero", "1"}});
  EXPECT_GT(all, 0);
  EXPECT_EQ(count({{"SaldoZero", "1"}, {"EdBPeriodo", "200401"}}), all / 12);
  EXPECT_EQ(count({{"SaldoZero", "1"}, {"EdBPeriodoAte", "200401"}}), all);
  EXPECT_EQ(count({{"SaldoZero", "1"}, {"EdBPeriodo", "200401 "}}), 0) << "a blank is a value";
  EXPECT_EQ(count({{"SaldoZero", "1"}, {"EdBPeriodo", " 200401"}, {"EdBPeriodoAte", "200412"}}),
            all);
  EXPECT_EQ(count({{"SaldoZero", "1"}, {"EdBNatureza", "d"}}), 0) << "not turned to capitals";
  EXPECT_GT(count({{"SaldoZero", "1"}, {"EdBNatureza", "D"}}), 0);
  EXPECT_EQ(count({}), 0) << "the demo book's balances are all zero";
}

TEST(QueryText, ARecordAsADataSource) {
  test::OpenBook book;
  const FixedSource s = recordOf(*book.dm->TbCabecalh, "TbCabecalh");
  EXPECT_EQ(s.name, "TbCabecalh");
  ASSERT_EQ(s.columns.size(), s.values.size());
  const int i = s.columns.indexOf("NomeDaOrganizacao");
  ASSERT_GE(i, 0);
  EXPECT_EQ(s.values[i].toString(), "ORGANIZAÇÃO EXEMPLO LTDA");
}
