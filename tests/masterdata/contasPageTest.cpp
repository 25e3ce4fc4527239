#include "masterdata/contasPage.h"
#include "bookFixture.h"
#include "widgets.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace esc::test {
namespace {

struct ContasPageTest : PageBook {
  ContasPageTest() : page(ctx) {}
  QLineEdit* box(const char* name) { return child<QLineEdit>(&page, name); }
  void click(const char* button) { child<QPushButton>(&page, button)->click(); }
  // Replaces a box's text by typing, as the user would.
  void type(const char* name, const QString& text) { retype(box(name), text); }
  // Types a whole account into the six boxes.
  void typeAccount(const QString& code, const QString& name, const QString& cc,
                   const QString& ccName, const QString& side, const QString& level) {
    type("EditCodCtaContabil", code);
    type("EditNomCtaContabil", name);
    type("EditCodCtaCorrente", cc);
    type("EditNomCtaCorrente", ccName);
    type("EditTipoSaldo", side);
    type("EditNivConta", level);
  }
  void goTo(const QString& pair) {
    Table& t = c();
    t.first();
    while (!t.eof() && t.field("CodCtaConCodCtaCor").asString() != pair)
      t.next();
    ASSERT_EQ(t.field("CodCtaConCodCtaCor").asString(), pair);
  }
  Table& c() { return *dm->TbContas; }
  int accounts() { return c().recordCount(); }
  qint64 count(const QString& sql, const QVariantList& params = {}) {
    return dm->database().selectValue(sql, params).toLongLong();
  }
  // Trial-balance rows of one pair in one year (or every year when `year` is empty).
  qint64 rows(const QString& code, const QString& cc, const QString& year = {}) {
    return count("SELECT count(*) FROM balanco WHERE CodigoContaContabil = ? AND "
                 "CodigoContaCorrente = ? AND Periodo LIKE ?",
                 {code, cc, year + "%"});
  }
  void setYearState(const QString& year, const QString& state) {
    dm->database().exec("INSERT OR REPLACE INTO fechamen VALUES (?, ?)", {year, state});
    dm->TbFechamen->refresh();
  }
  // Makes the store fail with `message` on `event` (a trigger's timing, table and condition)
  // until the rows of temp.failing are deleted. The store's connection cannot drop a trigger
  // (its authorizer turns catalog deletions into no-ops), so the trigger is disarmed instead.
  void fail(const QString& event, const QString& message) {
    Database& db = dm->database();
    db.exec("CREATE TEMP TABLE IF NOT EXISTS failing (armed)");
    db.exec("INSERT INTO temp.failing VALUES (1)");
    const QString when = event.contains(" WHEN ") ? " AND " : " WHEN ";
    db.exec(QStringLiteral("CREATE TEMP TRIGGER fail%1 %2%3EXISTS (SELECT 1 FROM temp.failing) "
                           "BEGIN SELECT RAISE(ABORT, '%4'); END")
                .arg(++failures)
                .arg(event, when, message));
  }
  int failures = 0;
  ContasPage page;
};

TEST(ContasPage, GravarRefusesWithTheFirstFailingCheckAndSavesNothing) {
  struct Case {
    QString year, code, name, cc, ccName, level, message;
  };
  const QString noYear =
      "Não foi selecionado exercício o financeiro para o qual o sistema estará atuando.";
  const QString badLevel = "Nível da conta somente pode ser de 1 a 6.";
  const Case cases[] = {
      // No year outranks every other fault.
      {"", "111", "", "", "", "", noYear},
      {"2004", "11100", "", "", "", "", "Código da conta contábil tem de ter 6 dígitos."},
      {"2004", "111130", "", "", "", "", "Nome da conta contábil não pode ficar vazio."},
      {"2004", "111130", "CAIXA", "", "", "", "Código da conta contábil não pode ficar vazio."},
      {"2004", "111130", "CAIXA", "999", "SEM NOME", "6",
       "Nome de conta corrente contábil inválido. Não preencha para código 999."},
      {"2004", "111130", "CAIXA", "999", "", "", "Nível da conta não pode ficar vazio."},
      {"2004", "111130", "CAIXA", "999", "", "0", badLevel},
      {"2004", "111130", "CAIXA", "999", "", "7", badLevel},
      {"2004", "111130", "CAIXA", "999", "", "-", badLevel},
      {"2004", "111130", "CAIXA", "0001", "", "6",
       "Informe o nome, para conta corrente contábil diferente de 999."},
  };
  ContasPageTest t;
  const int before = t.accounts();
  const qint64 balance = t.count("SELECT count(*) FROM balanco");
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message.toStdString() + " / level " + k.level.toStdString());
    t.ctx.year = k.year;
    t.click("ButCInserir");
    t.typeAccount(k.code, k.name, k.cc, k.ccName, "D", k.level);
    t.ui.clear();
    t.click("ButCGravar");
    EXPECT_EQ(t.ui.texts("message"), QStringList({k.message}));
    EXPECT_EQ(t.c().state(), Table::State::Insert);
    EXPECT_EQ(t.box("EditCodCtaContabil")->text().trimmed(), k.code);
    t.click("ButCCancelar");
  }
  EXPECT_EQ(t.accounts(), before);
  EXPECT_EQ(t.count("SELECT count(*) FROM balanco"), balance);

  // An empty balance side is left to the store's own required-field rule.
  t.ui.clear();
  t.click("ButCInserir");
  t.typeAccount("111130", "CAIXA", "999", "", "", "6");
  t.click("ButCGravar");
  EXPECT_EQ(t.ui.texts("error"), QStringList({"Field 'D/C' must have a value."}));
  EXPECT_EQ(t.c().state(), Table::State::Insert);
  EXPECT_EQ(t.rows("111130", "999"), 0);
}

TEST(ContasPage, ANewAccountGetsTwelveEmptyRowsOfTheSelectedYear) {
  ContasPageTest t;
  const int before = t.accounts();
  t.click("ButCInserir");
  EXPECT_EQ(t.page.focusWidget(), t.box("EditCodCtaContabil"));
  // Names keep quotes, accents and wildcards as plain characters, upper-cased and cut to
  // the field's thirty characters.
  t.typeAccount("111123", "banco d'água 100% _sul_ e mais letras", "0003", "ag 1 cc 'x'", "c", "6");
  EXPECT_EQ(t.box("EditNomCtaContabil")->text(), "BANCO D'ÁGUA 100% _SUL_ E MAIS");
  EXPECT_EQ(t.box("EditTipoSaldo")->text(), "C");
  t.click("ButCGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  EXPECT_EQ(t.c().state(), Table::State::Browse);
  EXPECT_EQ(t.accounts(), before + 1);
  EXPECT_EQ(t.c().field("CodCtaConCodCtaCor").asString(), "1111230003");
  EXPECT_EQ(t.c().field("NomeContaContabil").asString(), "BANCO D'ÁGUA 100% _SUL_ E MAIS");
  EXPECT_EQ(t.c().field("NomeContaCorrente").asString(), "AG 1 CC 'X'");

  const auto got = t.dm->database().select(
      "SELECT CodCtaConCodCtaCor, Periodo, CodigoContaContabil, CodigoContaCorrente, "
      "TipoSaldoAnterior, TipoSaldoAtual, NaturezaDaConta, NivelDaConta, SaldoAnterior, "
      "SaldoAtual, ValorDebito, ValorCredito FROM balanco WHERE CodigoContaContabil = '111123' "
      "ORDER BY CodCtaConCodCtaCor");
  ASSERT_EQ(got.size(), 12);
  for (int m = 0; m < 12; ++m) {
    const QString period = QStringLiteral("2004%1").arg(m + 1, 2, 10, QChar('0'));
    EXPECT_EQ(got[m][0].toString(), period + "1111230003");
    EXPECT_EQ(got[m][1].toString(), period);
    EXPECT_EQ(got[m][2].toString(), "111123");
    EXPECT_EQ(got[m][3].toString(), "0003");
    for (int i = 4; i <= 6; ++i)
      EXPECT_EQ(got[m][i].toString(), "C");
    EXPECT_EQ(got[m][7].toString(), "6");
    for (int i = 8; i <= 11; ++i)
      EXPECT_EQ(got[m][i].toDouble(), 0.0);
  }
}

TEST(ContasPage, ARepeatedPairIsRefusedOnceAndDuplicarCopiesTheSixValues) {
  ContasPageTest t;
  t.goTo("1111210001");
  const qint64 balance = t.count("SELECT count(*) FROM balanco");
  t.click("ButCDuplicar");
  EXPECT_EQ(t.c().state(), Table::State::Insert);
  EXPECT_EQ(t.page.focusWidget(), t.box("EditCodCtaContabil"));
  EXPECT_EQ(t.box("EditCodCtaContabil")->text(), "111121");
  EXPECT_EQ(t.box("EditNomCtaContabil")->text(), "BANCO DO BRASIL");
  EXPECT_EQ(t.box("EditCodCtaCorrente")->text(), "0001");
  EXPECT_EQ(t.box("EditNomCtaCorrente")->text(), "AG 1234-5 CC 67890-1");
  EXPECT_EQ(t.box("EditTipoSaldo")->text(), "D");
  EXPECT_EQ(t.box("EditNivConta")->text(), "6");
  EXPECT_TRUE(t.c().field("CodCtaConCodCtaCor").asString().isEmpty());

  t.click("ButCGravar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Contas contábil e corrente já cadastradas."}));
  EXPECT_EQ(t.ui.said.front().kind, "error");
  EXPECT_EQ(t.c().state(), Table::State::Insert);
  EXPECT_EQ(t.box("EditNomCtaCorrente")->text(), "AG 1234-5 CC 67890-1");
  EXPECT_EQ(t.count("SELECT count(*) FROM balanco"), balance);

  t.ui.clear();
  t.type("EditCodCtaCorrente", "0003");
  t.type("EditNomCtaCorrente", "AG 1234-5 CC 99999-0");
  t.click("ButCGravar");
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(t.rows("111121", "0003", "2004"), 12);
  EXPECT_EQ(t.rows("111121", "0001", "2004"), 12);
  EXPECT_EQ(t.c().field("NomeContaContabil").asString(), "BANCO DO BRASIL");
}

TEST(ContasPage, AccountsAreCreatedOnlyWhileTheSelectedYearIsOpen) {
  ContasPageTest t;
  const int before = t.accounts();
  for (const QString state : {"T", "F", "R"}) {
    t.setYearState("2004", state);
    t.ui.clear();
    t.click("ButCInserir");
    t.click("ButCDuplicar");
    const QString refused =
        "Exercicio 2004 foi transposto, está fechado ou reaberto. Não pode criar conta.";
    EXPECT_EQ(t.ui.texts("message"), QStringList({refused, refused})) << state.toStdString();
    EXPECT_EQ(t.c().state(), Table::State::Browse);
  }
  EXPECT_EQ(t.accounts(), before);
  t.setYearState("2004", "");
  t.ui.clear();
  t.click("ButCInserir");
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(t.c().state(), Table::State::Insert);
}

TEST(ContasPage, AStoreFailureAmongTheTwelveRowsLeavesNoTraceAndKeepsTheTypedAccount) {
  ContasPageTest t;
  const int before = t.accounts();
  // The July row fails, as a full disk would, after the chart row and six rows were written.
  t.fail("BEFORE INSERT ON balanco WHEN NEW.Periodo = '200407'", "database or disk is full");
  t.click("ButCInserir");
  t.typeAccount("111123", "BANCO NOVO", "999", "", "D", "6");
  t.click("ButCGravar");
  ASSERT_EQ(t.ui.texts("error").size(), 1);
  EXPECT_TRUE(t.ui.texts("error")[0].contains("database or disk is full"))
      << t.ui.texts("error")[0].toStdString();
  EXPECT_EQ(t.accounts(), before);
  EXPECT_EQ(t.count("SELECT count(*) FROM contas WHERE CodigoContaContabil = '111123'"), 0);
  EXPECT_EQ(t.rows("111123", "999"), 0);
  EXPECT_EQ(t.c().state(), Table::State::Insert);
  EXPECT_EQ(t.box("EditCodCtaContabil")->text(), "111123");
  EXPECT_EQ(t.box("EditNomCtaContabil")->text(), "BANCO NOVO");

  // Once the store recovers, the same Gravar saves the account whole.
  t.dm->database().exec("DELETE FROM temp.failing");
  t.ui.clear();
  t.click("ButCGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  EXPECT_EQ(t.accounts(), before + 1);
  EXPECT_EQ(t.rows("111123", "999", "2004"), 12);
}

TEST(ContasPage, SavingASavedAccountCreatesOnlyTheMissingRowsOfTheYear) {
  ContasPageTest t;
  t.goTo("111111999");
  t.type("EditNomCtaContabil", "CAIXA GERAL DA MATRIZ");
  EXPECT_EQ(t.c().state(), Table::State::Edit);
  t.click("ButCGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  EXPECT_EQ(t.c().field("NomeContaContabil").asString(), "CAIXA GERAL DA MATRIZ");
  EXPECT_EQ(t.rows("111111", "999"), 12);

  // A year opened after the account lacks some of its rows: saving repairs them.
  t.setYearState("2005", "");
  t.ctx.year = "2005";
  t.dm->database().exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, "
                        "Periodo, CodCtaConCodCtaCor, SaldoAtual) VALUES "
                        "('111111', '999', '200503', '200503111111999', 12.5)");
  t.goTo("111111999");
  t.type("EditNomCtaContabil", "CAIXA GERAL");
  t.click("ButCGravar");
  EXPECT_TRUE(t.ui.said.empty()) << t.ui.texts().join("|").toStdString();
  EXPECT_EQ(t.rows("111111", "999", "2004"), 12);
  EXPECT_EQ(t.rows("111111", "999", "2005"), 12);
  // The row that was there keeps its balance.
  EXPECT_EQ(t.dm->database()
                .selectValue("SELECT SaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = "
                             "'200503111111999'")
                .toDouble(),
            12.5);
  EXPECT_EQ(t.count("SELECT count(*) FROM balanco WHERE CodCtaConCodCtaCor = "
                    "'200512111111999' AND NaturezaDaConta = 'D' AND NivelDaConta = '6'"),
            1);

  // A rename that fails on a missing row keeps the saved name and the typed one on screen.
  t.ctx.year = "2006";
  t.fail("BEFORE INSERT ON balanco", "disk I/O error");
  t.type("EditNomCtaContabil", "CAIXA CENTRAL");
  t.click("ButCGravar");
  EXPECT_EQ(t.ui.texts("error").size(), 1);
  EXPECT_EQ(t.c().state(), Table::State::Edit);
  EXPECT_EQ(t.box("EditNomCtaContabil")->text(), "CAIXA CENTRAL");
  EXPECT_EQ(t.count("SELECT count(*) FROM contas WHERE NomeContaContabil = 'CAIXA GERAL'"), 1);
  EXPECT_EQ(t.rows("111111", "999", "2006"), 0);
}

TEST(ContasPage, ASavedAccountKeepsItsCodesSideAndLevel) {
  ContasPageTest t;
  struct Case {
    const char* box;
    QString typed, message;
  };
  const QString fixed = "Este campo não pode ser alterado. Operação cancelada.";
  const Case cases[] = {
      {"EditCodCtaContabil", "9", fixed},
      {"EditCodCtaCorrente", "9", fixed},
      {"EditTipoSaldo", "C", "Tipo de movimentação da conta não pode ser alterado."},
      {"EditNivConta", "5", "Nível da conta não pode ser alterado."},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.box);
    t.goTo("1111210002");
    t.ui.clear();
    // A changed name goes too: every pending change of the row is discarded.
    t.type("EditNomCtaCorrente", "OUTRO NOME");
    QLineEdit* b = t.box(k.box);
    b->setFocus();
    b->selectAll(); // overtyping, as the one-character boxes are always full
    QTest::keyClicks(b, k.typed);
    EXPECT_EQ(t.ui.texts(), QStringList({k.message}));
    EXPECT_EQ(t.c().state(), Table::State::Browse);
    EXPECT_EQ(t.box("EditCodCtaContabil")->text(), "111121");
    EXPECT_EQ(t.box("EditCodCtaCorrente")->text(), "0002");
    EXPECT_EQ(t.box("EditNomCtaCorrente")->text(), "AG 1234-5 CC 11223-4");
    EXPECT_EQ(t.box("EditTipoSaldo")->text(), "D");
    EXPECT_EQ(t.box("EditNivConta")->text(), "6");
  }
  // A new row is typed freely.
  t.ui.clear();
  t.click("ButCInserir");
  t.typeAccount("111124", "A", "999", "", "D", "6");
  t.type("EditCodCtaContabil", "111125");
  t.type("EditNivConta", "5");
  EXPECT_TRUE(t.ui.said.empty());
  EXPECT_EQ(t.c().state(), Table::State::Insert);
}

TEST(ContasPage, EliminarChecksEntriesOfAnalyticAccountsOnly) {
  ContasPageTest t;
  Table& entries = *t.dm->TbLancamen;
  // An analytic account with an entry stays.
  t.goTo("1111210001");
  entries.last();
  t.click("ButCEliminar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Conta já recebeu lançamentos. Não pode ser excluída."}));
  EXPECT_EQ(t.c().field("CodCtaConCodCtaCor").asString(), "1111210001");
  EXPECT_EQ(t.rows("111121", "0001"), 12);
  EXPECT_EQ(entries.order(), "SI_CodCtaConCodCtaCor");
  EXPECT_EQ(entries.field("CodCtaConCodCtaCor").asString(), "1111210001");

  // One without entries asks first, then takes its rows of every year with it.
  t.dm->database().exec("INSERT INTO balanco (CodigoContaContabil, CodigoContaCorrente, Periodo, "
                        "CodCtaConCodCtaCor) VALUES ('111121', '0002', '200501', "
                        "'2005011111210002')");
  const int before = t.accounts();
  t.goTo("1111210002");
  t.ui.clear();
  t.ui.confirmAnswers = {false};
  t.click("ButCEliminar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Confirma a exclusão do registro?"}));
  EXPECT_EQ(t.accounts(), before);
  EXPECT_EQ(t.rows("111121", "0002"), 13);
  // The search of the entries starts from the entry current when the order changed.
  EXPECT_EQ(t.ctx.searchText(SearchKind::Lancamentos), "1111210001");

  // The trial-balance list keeps the filter it had.
  Table& balance = *t.dm->TbBalanco;
  balance.setFilter("Periodo='200401'");
  balance.setFiltered(true);
  t.ui.confirmAnswers = {true};
  t.click("ButCEliminar");
  EXPECT_TRUE(balance.filtered());
  EXPECT_EQ(balance.filter(), "Periodo='200401'");
  EXPECT_EQ(t.accounts(), before - 1);
  EXPECT_EQ(t.count("SELECT count(*) FROM contas WHERE CodCtaConCodCtaCor = '1111210002'"), 0);
  EXPECT_EQ(t.rows("111121", "0002"), 0);
  EXPECT_EQ(t.rows("111121", "0001"), 12); // its sibling keeps its rows

  // A synthetic account is never checked against entries, even with entries below it.
  entries.setOrder("SI_NumeroDocumento");
  t.goTo("111100999");
  t.ui.clear();
  t.ui.confirmAnswers = {true};
  t.click("ButCEliminar");
  EXPECT_EQ(t.ui.texts(), QStringList({"Confirma a exclusão do registro?"}));
  EXPECT_EQ(t.rows("111100", "999"), 0);
  EXPECT_EQ(entries.order(), "SI_NumeroDocumento");
}

TEST(ContasPage, AFailedEliminarKeepsTheAccountAndAllItsRows) {
  ContasPageTest t;
  t.fail("BEFORE DELETE ON contas", "database is locked");
  const int before = t.accounts();
  t.goTo("111122999");
  t.ui.confirmAnswers = {true};
  t.click("ButCEliminar");
  ASSERT_EQ(t.ui.texts("error").size(), 1);
  EXPECT_TRUE(t.ui.texts("error")[0].contains("database is locked"));
  EXPECT_EQ(t.accounts(), before);
  EXPECT_EQ(t.rows("111122", "999"), 12);
  EXPECT_EQ(t.c().field("CodCtaConCodCtaCor").asString(), "111122999");
}

TEST(ContasPage, BuscarMovesToTheNearestPairAndRemembersThePrefix) {
  ContasPageTest t;
  t.ui.promptAnswers = {QString("1112")};
  t.click("ButCBuscar");
  EXPECT_EQ(t.ui.lastPromptTitle, "Pesquisar Cód. Cta. Contábil");
  EXPECT_EQ(t.box("EditCodCtaContabil")->text(), "112000");
  EXPECT_EQ(t.ctx.searchText(SearchKind::Contas), "1112");
}

} // namespace
} // namespace esc::test
