#include "period/balanceSheetUpdate.h"
#include "journal/posting.h"
#include "statementsHelpers.h"

#include <QRandomGenerator>

namespace esc::test {
namespace {

struct BalanceSheet : StatementsBook {
  QStringList sheet() {
    QStringList out;
    for (const QVariantList& r :
         db().select("SELECT CodigoContaContabil, NivelDaConta, NaturezaDaConta, SaldoAnterior, "
                     "TipoSaldoAnterior, ValorDebito, ValorCredito, SaldoAtual, TipoSaldoAtual, "
                     "Periodo FROM balpatri ORDER BY CodigoContaContabil")) {
      QStringList cells;
      for (const QVariant& v : r)
        cells << v.toString();
      out << cells.join(' ');
    }
    return out;
  }
  // Twelve months of one account pair: the opening in January, the closing in December.
  void year(const QString& code, const QString& current, const QString& level,
            const QString& nature, double opening, double closing, double debits, double credits) {
    for (int m = 1; m <= 12; ++m)
      balanco(QString("2004%1").arg(m, 2, 10, QChar('0')), code, current, level, nature,
              m == 12 ? closing : 1, {}, m == 1 ? opening : 2, debits, credits);
  }
  bool run(bool answer = true) {
    ui.confirmAnswers = {answer};
    return page.atuBalPatri();
  }
};

// The update as its rules are written: row by row on the store's cursors, the roll-up
// scanning from each synthetic row to the last. The fast update must write the same rows
// to the last bit.
void literalUpdate(TDEscrivon& dm, const QString& year) {
  Table& bp = *dm.TbBalPatri;
  Table& bal = *dm.TbBalanco;
  bp.setFiltered(false);
  bp.first();
  while (!bp.isEmpty())
    bp.remove();
  bal.setFilter("Periodo>='" + year + "01' and Periodo<='" + year + "12'");
  bal.setFiltered(true);
  bal.setOrder("SI_CodCtaCon");
  bal.first();
  QString previous = "999999";
  while (!bal.eof() && bal.field("CodigoContaContabil").asString().left(1) < "3") {
    const QString code = bal.field("CodigoContaContabil").asString();
    if (code != previous) {
      bp.insert();
      for (const char* f : {"CodigoContaContabil", "NaturezaDaConta", "NivelDaConta",
                            "TipoSaldoAnterior", "SaldoAnterior"})
        bp.setValue(f, bal.value(f));
      bp.setValue("Periodo", year);
      bp.post();
      previous = code;
    }
    bal.next();
  }
  bal.setOrder("SI_Periodo");
  bp.setFilter("NivelDaConta='6'");
  bp.setFiltered(true);
  bp.first();
  while (!bp.eof()) {
    double debits = 0, credits = 0, opening = 0, closing = 0;
    bal.first();
    while (!bal.eof()) {
      if (bal.field("CodigoContaContabil").asString() ==
          bp.field("CodigoContaContabil").asString()) {
        debits += bal.field("ValorDebito").asFloat();
        credits += bal.field("ValorCredito").asFloat();
        if (bal.field("Periodo").asString() == year + "01")
          opening += bal.field("SaldoAnterior").asFloat();
        if (bal.field("Periodo").asString() == year + "12")
          closing += bal.field("SaldoAtual").asFloat();
      }
      bal.next();
    }
    const QString n = bp.field("NaturezaDaConta").asString();
    for (double* v : {&debits, &credits, &opening, &closing})
      *v = roundAmount(*v);
    bp.edit();
    bp.setValue("ValorDebito", debits);
    bp.setValue("ValorCredito", credits);
    bp.setValue("SaldoAnterior", opening);
    bp.setValue("SaldoAtual", closing);
    bp.setValue("TipoSaldoAnterior",
                n == "C" ? (opening >= 0 ? "C" : "D") : (opening >= 0 ? "D" : "C"));
    bp.setValue("TipoSaldoAtual",
                n == "C" ? (closing >= 0 ? "C" : "D") : (closing >= 0 ? "D" : "C"));
    bp.post();
    bp.next();
  }
  bp.setFiltered(false);
  bp.first();
  while (!bp.eof()) {
    if (bp.field("NivelDaConta").asString() < "6") {
      const QString prefix = bp.field("CodigoContaContabil")
                                 .asString()
                                 .left(bp.field("NivelDaConta").asString().toInt());
      const QString n = bp.field("NaturezaDaConta").asString();
      const Bookmark here = bp.bookmark();
      double debits = 0, credits = 0, opening = 0, closing = 0;
      while (!bp.eof()) {
        if (bp.field("NivelDaConta").asString() == "6" &&
            bp.field("CodigoContaContabil").asString().startsWith(prefix)) {
          debits += bp.field("ValorDebito").asFloat();
          credits += bp.field("ValorCredito").asFloat();
          const double sign = bp.field("NaturezaDaConta").asString() == n ? 1 : -1;
          opening += sign * bp.field("SaldoAnterior").asFloat();
          closing += sign * bp.field("SaldoAtual").asFloat();
        }
        bp.next();
      }
      bp.gotoBookmark(here);
      for (double* v : {&debits, &credits, &opening, &closing})
        *v = roundAmount(*v);
      auto letter = [&](double v, const char* field) -> QString {
        if (n == "C") return v >= 0 ? "C" : "D";
        if (n == "D") return v >= 0 ? "D" : "C";
        return bp.field(field).asString();
      };
      const QString before = letter(opening, "TipoSaldoAnterior"),
                    after = letter(closing, "TipoSaldoAtual");
      bp.edit();
      bp.setValue("ValorDebito", debits);
      bp.setValue("ValorCredito", credits);
      bp.setValue("SaldoAnterior", opening);
      bp.setValue("SaldoAtual", closing);
      bp.setValue("TipoSaldoAnterior", before);
      bp.setValue("TipoSaldoAtual", after);
      bp.post();
    }
    bp.next();
  }
  bal.setFiltered(false);
}

TEST(BalanceSheetUpdate, ThreeCurrentAccountsMakeOneRowAndSyntheticRowsRollUp) {
  BalanceSheet b;
  // Synthetic trial-balance rows carry amounts the balance sheet must not use.
  b.year("100000", "999", "1", "D", 9999, 9999, 9999, 9999);
  b.year("110000", "999", "2", "D", 9999, 9999, 9999, 9999);
  b.year("111121", "0001", "6", "D", 100, 150, 10, 1);
  b.year("111121", "0002", "6", "D", 200, 250, 20, 2);
  b.year("111121", "0003", "6", "D", -50, 10, 30, 3);
  // A synthetic row after its would-be analytic rows gets nothing from them.
  b.year("111125", "999", "5", "D", 9999, 9999, 9999, 9999);
  b.year("200000", "999", "1", "C", 9999, 9999, 9999, 9999);
  b.year("299999", "999", "6", "C", 0, -500, 5, 0);
  b.year("311111", "999", "6", "C", 1, 1, 1, 1);
  b.year("411111", "999", "6", "D", 1, 1, 1, 1);
  // Another year's rows stay out.
  b.balanco("200512", "111121", "0001", "6", "D", 777, {}, 777, 777, 777);
  b.reread();

  ASSERT_TRUE(b.run());
  EXPECT_EQ(b.ui.texts(), QStringList({"Confirma atualização do exercício de 2004?",
                                       "Atualização concluída para o período de 2004"}));
  EXPECT_EQ(b.sheet(), QStringList({
                           "100000 1 D 250 D 720 72 410 D 2004",
                           "110000 2 D 250 D 720 72 410 D 2004",
                           "111121 6 D 250 D 720 72 410 D 2004",
                           "111125 5 D 0 D 0 0 0 D 2004",
                           "200000 1 C 0 C 60 0 -500 D 2004",
                           "299999 6 C 0 C 60 0 -500 D 2004",
                       }));
  EXPECT_EQ(b.ui.position, 0);

  // Twice gives the same table.
  const QStringList first = b.dump("balpatri");
  b.ui.clear();
  ASSERT_TRUE(b.run());
  EXPECT_EQ(b.dump("balpatri"), first);
}

// The compute stage alone: the codes in text order, an analytic code's movements summed and its
// year opened and closed from January and December, the roll-up signed by nature.
TEST(BalanceSheetUpdate, TheComputeStageOnPlainRows) {
  using namespace balanceSheet;
  const QVector<Account> accounts = {{"290000", "C", "7", "C", 33},
                                     {"100000", "D", "1", "D", 999},
                                     {"112222", "C", "6", "C", 999},
                                     {"111111", "D", "6", "D", 999}};
  const QVector<Movement> movements = {
      {"111111", 1, 5, 0, 100, 105},    {"111111", 0, 0.1, 0.2, 7, 7},
      {"111111", 12, 0.2, 0, 7, 105.1}, {"112222", 1, 0, 30, 50, 80},
      {"112222", 12, 0, 0, 7, -20},     {"999999", 1, 1, 1, 1, 1}};
  QStringList out;
  for (const Row& r : compute(accounts, movements))
    out << QStringList{r.code,
                       r.level,
                       r.nature,
                       QString::number(r.opening),
                       r.openingLetter,
                       QString::number(r.debits),
                       QString::number(r.credits),
                       QString::number(r.closing),
                       r.closingLetter}
               .join(' ');
  EXPECT_EQ(out,
            QStringList({"100000 1 D 50 D 5.3 30.2 125.1 D", "111111 6 D 100 D 5.3 0.2 105.1 D",
                         "112222 6 C 50 C 0 30 -20 D", "290000 7 C 33 C 0 0 0 "}));
}

TEST(BalanceSheetUpdate, NoYearOrNoChangesNothingAndAFailureKeepsTheOldTable) {
  BalanceSheet b;
  b.year("111111", "999", "6", "D", 1, 2, 3, 4);
  b.year("211111", "999", "6", "C", 1, 2, 3, 4);
  b.db().exec("INSERT INTO balpatri (CodigoContaContabil, Periodo, SaldoAtual) "
              "VALUES ('100000', '2003', 42)");
  b.reread();
  const QStringList before = b.dump("balpatri");

  b.ctx.year = "  ";
  EXPECT_FALSE(b.run());
  EXPECT_EQ(b.ui.texts(),
            QStringList({"Não foi selecionado exercício o financeiro para o qual o sistema "
                         "estará atuando."}));
  b.ctx.year = "2004";
  b.ui.clear();
  EXPECT_FALSE(b.run(false));
  EXPECT_EQ(b.ui.texts(), QStringList({"Confirma atualização do exercício de 2004?"}));
  EXPECT_EQ(b.dump("balpatri"), before);

  b.db().execScript("CREATE TEMP TRIGGER falha BEFORE INSERT ON f_balpatri.balpatri "
                    "WHEN new.CodigoContaContabil = '211111' "
                    "BEGIN SELECT RAISE(ABORT, 'disco cheio'); END;");
  b.ui.clear();
  EXPECT_FALSE(b.run());
  EXPECT_EQ(b.ui.texts("error"), QStringList({"Não foi possível gravar os dados: disco cheio"}));
  EXPECT_EQ(b.dump("balpatri"), before);
  EXPECT_EQ(b.dm->TbBalPatri->recordCount(), 1);
}

TEST(BalanceSheetUpdate, LeavesTheTrialBalanceInPeriodOrderOnTheFirstRowOfGroupThree) {
  BalanceSheet b;
  b.year("111111", "999", "6", "D", 1, 2, 3, 4);
  b.year("311111", "999", "6", "C", 1, 2, 3, 4);
  b.year("311112", "999", "6", "C", 1, 2, 3, 4);
  b.reread();
  b.dm->TbBalanco->setOrder("SI_CodCtaCor");
  b.dm->TbBalPatri->setFilter("NivelDaConta='6'");
  b.dm->TbBalPatri->setFiltered(true);
  ASSERT_TRUE(b.run());
  EXPECT_EQ(b.dm->TbBalanco->order(), "SI_Periodo");
  EXPECT_FALSE(b.dm->TbBalanco->filtered());
  // The account walk stopped on 311111's first row in account order: January's.
  EXPECT_EQ(b.dm->TbBalanco->field("CodCtaConCodCtaCor").asString(), "200401311111999");
  EXPECT_EQ(b.ctx.searchText(SearchKind::Balanco), "200401311111999");
  EXPECT_FALSE(b.dm->TbBalPatri->filtered());
  EXPECT_EQ(b.dm->TbBalPatri->recordCount(), 1);
}

TEST(BalanceSheetUpdate, AgreesWithTheRowByRowRulesOnRandomBooks) {
  for (quint32 seed : {1u, 2u, 3u, 4u}) {
    BalanceSheet b;
    QRandomGenerator rnd(seed);
    const QStringList natures = {"D", "C", ""};
    QStringList codes;
    for (int i = 0; i < 40; ++i)
      codes << QString::number(100000 + rnd.bounded(320000));
    // Synthetic accounts at every level above some of the codes.
    for (int i = 0; i < 15; ++i) {
      const QString code = codes[rnd.bounded(codes.size())];
      const int level = 1 + rnd.bounded(5);
      codes << code.left(level) + QString(6 - level, '0');
    }
    codes.removeDuplicates();
    for (const QString& code : codes) {
      int level = 6;
      while (level > 1 && code[level - 1] == '0')
        --level;
      const QString nature = natures[rnd.bounded(3)];
      const int currents = level == 6 ? 1 + rnd.bounded(3) : 1;
      for (int c = 0; c < currents; ++c) {
        const QString current = currents == 1 ? "999" : QString("000%1").arg(c + 1);
        for (int m = 1; m <= 12; ++m) {
          if (rnd.bounded(10) == 0) continue; // a missing month
          auto amount = [&] { return (rnd.bounded(2000000) - 700000) / 100.0 + 0.1; };
          b.balanco(QString("2004%1").arg(m, 2, 10, QChar('0')), code, current,
                    QString::number(level), nature, amount(), {}, amount(), amount(), amount());
        }
      }
    }
    b.reread();
    ASSERT_TRUE(b.run());
    const QStringList fast = b.dump("balpatri");
    ASSERT_GT(fast.size(), 10);
    Transaction tx(b.db());
    literalUpdate(*b.dm, "2004");
    tx.commit();
    EXPECT_EQ(b.dump("balpatri"), fast) << "seed " << seed;
  }
}

} // namespace
} // namespace esc::test
