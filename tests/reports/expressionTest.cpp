#include "reports/engine/expression.h"
#include "reports/engine/layout.h"

#include <gtest/gtest.h>

using namespace esc::report;

namespace {

// One query source "QryContas" and one fixed source "TbCabecalh", with a row each.
struct Rows {
  QVector<SourceColumns> sources{{"QryContas",
                                  {"SaldoAtual", "ValorLancamento", "TipoSaldoAtual",
                                   "TipoDeLancamento", "TipoDeSaldo", "Periodo", "Vazio"}},
                                 {"TbCabecalh", {"NomeDaOrganizacao", "SaldoAtual"}}};
  QVariantList query{-150.0, 50.0, "C", "D", "D", "200307", QVariant()};
  QVariantList fixed{"ORG", 999.0};
  EvalContext ctx{{&query, &fixed}};

  Value eval(const QString& text) {
    Expression e(text);
    e.bind(sources);
    return e.eval(ctx);
  }
};

} // namespace

TEST(Expression, ColumnsConstantsAndOperators) {
  Rows r;
  // A reference without a source looks in each source in turn: the query comes first.
  EXPECT_DOUBLE_EQ(r.eval("SaldoAtual").number, -150.0);
  EXPECT_DOUBLE_EQ(r.eval("tbcabecalh.saldoatual").number, 999.0);
  EXPECT_EQ(r.eval("QRYCONTAS.periodo").text, "200307");
  EXPECT_EQ(r.eval("Copy(QryContas.Periodo,5,2)+'/'+Copy(QryContas.Periodo,1,4)").text, "07/2003");
  // Copy beyond the text, and a NULL column, give an empty text; a lone slash remains.
  EXPECT_EQ(r.eval("Copy(Vazio,5,2)+'/'+Copy(Vazio,1,4)").text, "/");
  EXPECT_EQ(r.eval("Copy('abc',3,10)").text, "c");
  EXPECT_EQ(r.eval("Copy('abc',4,1)").text, "");
  EXPECT_DOUBLE_EQ(r.eval("SaldoAtual-ValorLancamento").number, -200.0);
  EXPECT_DOUBLE_EQ(r.eval("(-(SaldoAtual+ValorLancamento))").number, 100.0);
  EXPECT_DOUBLE_EQ(r.eval("-SaldoAtual").number, 150.0);
  EXPECT_DOUBLE_EQ(r.eval("1.5+2").number, 3.5);
  EXPECT_EQ(r.eval("'it''s'").text, "it's");
}

TEST(Expression, IfMixesKindsAndComparesTextsAndNumbers) {
  Rows r;
  EXPECT_TRUE(r.eval("IF(SaldoAtual>0,SaldoAtual,' ')").isText());
  EXPECT_EQ(r.eval("IF(SaldoAtual>0,SaldoAtual,' ')").text, " ");
  EXPECT_DOUBLE_EQ(r.eval("IF(SaldoAtual>=-150,1,2)").number, 1);
  EXPECT_DOUBLE_EQ(r.eval("IF(SaldoAtual=-150,1,2)").number, 1);
  EXPECT_EQ(
      r.eval("IF(QryContas.saldoatual>0,QryContas.tipodesaldo,QryContas.tiposaldoatual)").text,
      "C");
  EXPECT_EQ(r.eval("IF(TipoSaldoAtual=TipoDeLancamento,'same','other')").text, "other");
  // The ledger's previous balance: |balance + amount| when the letters differ.
  const QString previous =
      "IF(qrycontas.tiposaldoatual=qrycontas.tipodelancamento,IF(qrycontas.saldoatual-"
      "qrycontas.valorlancamento>=0,QryContas.saldoatual-qrycontas.valorlancamento,(-(QryContas."
      "saldoatual-qrycontas.valorlancamento))),IF(QryContas.saldoatual+QryContas.valorlancamento>"
      "=0,qrycontas.saldoatual+qrycontas.valorlancamento,(-(QryContas.saldoatual+qrycontas."
      "valorlancamento))))";
  EXPECT_DOUBLE_EQ(r.eval(previous).number, 100.0);
}

TEST(Expression, SumRunsOverEveryAccumulatedRow) {
  Rows r;
  Expression sum("SUM(QryContas.SaldoAtual)");
  sum.bind(r.sources);
  ASSERT_TRUE(sum.hasSums());
  EXPECT_DOUBLE_EQ(sum.eval(r.ctx).number, 0.0);
  sum.accumulate(r.ctx);
  r.query[0] = 200.25;
  sum.accumulate(r.ctx);
  EXPECT_DOUBLE_EQ(sum.eval(r.ctx).number, 50.25);
  sum.resetSums();
  EXPECT_DOUBLE_EQ(sum.eval(r.ctx).number, 0.0);
}

TEST(Expression, DefinitionFaultsNameTheText) {
  Rows r;
  EXPECT_THROW(Expression("Copy(Periodo,1"), DefinitionError);
  EXPECT_THROW(Expression("Trunc(Periodo)"), DefinitionError);
  EXPECT_THROW(Expression("'open"), DefinitionError);
  Expression unknown("QryContas.Nenhuma");
  EXPECT_THROW(unknown.bind(r.sources), DefinitionError);
  // A source named explicitly is the only one searched.
  Expression wrongSource("TbCabecalh.Periodo");
  EXPECT_THROW(wrongSource.bind(r.sources), DefinitionError);
}

TEST(Formats, MasksAndKinds) {
  EXPECT_EQ(formatField(1234.567, Mask::Amount), "1.234,57");
  EXPECT_EQ(formatField(0.0, Mask::Amount), "0,00");
  EXPECT_EQ(formatField(-5.5, Mask::Amount), "-5,50");
  EXPECT_EQ(formatField(qint64(1234567), Mask::Amount), "1.234.567,00");
  // What cannot be formatted prints nothing.
  EXPECT_EQ(formatField(QString("abc"), Mask::Amount), "");
  EXPECT_EQ(formatField(QVariant(), Mask::None), "");
  EXPECT_EQ(formatField(QString("2003-07-31"), Mask::ShortDate), "31/07/2003");
  EXPECT_EQ(formatField(QString("31/07"), Mask::ShortDate), "");
  EXPECT_EQ(formatField(qint64(42), Mask::None), "42");
  EXPECT_EQ(formatField(QString("  texto "), Mask::None), "  texto ");
  // An expression prints a number through its mask and a text unchanged.
  Value n;
  n.kind = Value::Kind::Number;
  n.number = -150;
  EXPECT_EQ(formatValue(n, Mask::Amount), "-150,00");
  EXPECT_EQ(formatValue(n, Mask::None), "-150");
  Value t;
  t.kind = Value::Kind::Text;
  t.text = " ";
  EXPECT_EQ(formatValue(t, Mask::Amount), " ");
}
