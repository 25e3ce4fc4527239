#include "masterdata/organizacaoPage.h"
#include "bookFixture.h"
#include "widgets.h"

#include <QLineEdit>
#include <QPushButton>

namespace esc::test {
namespace {

struct OrganizacaoPageTest : PageBook {
  OrganizacaoPageTest() : page(ctx) {}
  QLineEdit* box(int n) { return child<QLineEdit>(&page, QStringLiteral("DBEdit%1").arg(n)); }
  QPushButton* button(const char* name) { return child<QPushButton>(&page, name); }
  void unlock(const QString& answer = "PRELUDIX") {
    ui.promptAnswers = {answer};
    button("ButCadOrgAlterar")->click();
  }
  // What the stored row holds, as the next report heading will read it.
  QString stored(const QString& field) {
    return dm->database()
        .selectValue(QStringLiteral("SELECT %1 FROM cabecalh").arg(field))
        .toString();
  }
  void expectLocked(bool locked) {
    for (int n = 1; n <= 7; ++n)
      EXPECT_EQ(box(n)->isReadOnly(), locked) << n;
    EXPECT_EQ(button("ButCadOrgAlterar")->isEnabled(), locked);
    EXPECT_EQ(button("ButCadOrgGravar")->isEnabled(), !locked);
    EXPECT_EQ(button("ButCadOrgCancelar")->isEnabled(), !locked);
  }
  Table& h() { return *dm->TbCabecalh; }
  OrganizacaoPage page;
};

TEST(OrganizacaoPage, OnlyTheAccessCodeInAnyLetterCaseUnlocks) {
  OrganizacaoPageTest t;
  t.expectLocked(true);
  for (int n = 1; n <= 7; ++n)
    EXPECT_EQ(t.box(n)->toolTip(), "Estes dados são somente para leitura");
  EXPECT_EQ(t.box(1)->text(), "ORGANIZAÇÃO EXEMPLO LTDA");
  EXPECT_EQ(t.box(2)->text(), "11.222.333/0001-81");

  // Typing into a locked box changes nothing.
  typeText(t.box(1), "X");
  EXPECT_EQ(t.h().state(), Table::State::Browse);

  // A wrong code and Cancel say nothing beyond the prompt.
  t.unlock("PRELUDIO");
  t.ui.promptAnswers = {std::nullopt};
  t.button("ButCadOrgAlterar")->click();
  EXPECT_EQ(t.ui.texts(), QStringList({"Senha", "Senha"}));
  EXPECT_EQ(t.ui.lastPromptLabel, "Informe a senha de acesso");
  EXPECT_EQ(t.ui.lastPromptDefault, "");
  t.expectLocked(true);

  t.unlock("preludix");
  t.expectLocked(false);
}

TEST(OrganizacaoPage, GravarSavesWhatWasTypedAndLocksAgain) {
  OrganizacaoPageTest t;
  // Saving without typing writes nothing and locks.
  t.unlock();
  t.button("ButCadOrgGravar")->click();
  t.expectLocked(true);
  EXPECT_EQ(t.stored("NomeDaOrganizacao"), "ORGANIZAÇÃO EXEMPLO LTDA");

  t.unlock();
  retype(t.box(1), "Comércio D'Oeste 100% Ltda");
  EXPECT_EQ(t.h().state(), Table::State::Edit);
  retype(t.box(2), "99888777000166");
  EXPECT_EQ(t.box(2)->text(), "99.888.777/0001-66");
  t.button("ButCadOrgGravar")->click();
  EXPECT_TRUE(t.ui.texts("error").isEmpty());
  t.expectLocked(true);
  EXPECT_EQ(t.h().state(), Table::State::Browse);
  // The next report reads the new name; the CNPJ keeps its punctuation.
  EXPECT_EQ(t.stored("NomeDaOrganizacao"), "Comércio D'Oeste 100% Ltda");
  EXPECT_EQ(t.stored("CNPJDaOrganizacao"), "99.888.777/0001-66");
  EXPECT_EQ(t.stored("NomeDoContador"), "JOSÉ DA SILVA");

  // Cancelar drops what was typed and locks.
  t.unlock();
  retype(t.box(4), "OUTRO CONTADOR");
  t.button("ButCadOrgCancelar")->click();
  t.expectLocked(true);
  EXPECT_EQ(t.box(4)->text(), "JOSÉ DA SILVA");
  EXPECT_EQ(t.stored("NomeDoContador"), "JOSÉ DA SILVA");
}

TEST(OrganizacaoPage, ARefusedSaveKeepsThePageUnlockedWithTheTypedText) {
  OrganizacaoPageTest t;
  t.dm->database().exec("CREATE TEMP TABLE failing (armed)");
  t.dm->database().exec("INSERT INTO temp.failing VALUES (1)");
  t.dm->database().exec("CREATE TEMP TRIGGER failSave BEFORE UPDATE ON cabecalh "
                        "WHEN EXISTS (SELECT 1 FROM temp.failing) "
                        "BEGIN SELECT RAISE(ABORT, 'database is locked'); END");
  t.unlock();
  retype(t.box(1), "NOVA RAZÃO SOCIAL");
  t.button("ButCadOrgGravar")->click();
  EXPECT_EQ(t.ui.texts("error"),
            QStringList({"Não foi possível gravar os dados: database is locked"}));
  t.expectLocked(false);
  EXPECT_EQ(t.h().state(), Table::State::Edit);
  EXPECT_EQ(t.box(1)->text(), QString("NOVA RAZÃO SOCIAL"));
  EXPECT_EQ(t.stored("NomeDaOrganizacao"), "ORGANIZAÇÃO EXEMPLO LTDA");

  t.dm->database().exec("DELETE FROM temp.failing");
  t.button("ButCadOrgGravar")->click();
  t.expectLocked(true);
  EXPECT_EQ(t.stored("NomeDaOrganizacao"), QString("NOVA RAZÃO SOCIAL"));
}

TEST(OrganizacaoPage, BoxesHoldNoMoreThanTheirFields) {
  OrganizacaoPageTest t;
  t.unlock();
  retype(t.box(3), QString(45, 'R'));
  EXPECT_EQ(t.box(3)->text(), QString(40, 'R'));
  retype(t.box(2), "123456789012345678");
  EXPECT_EQ(t.box(2)->text(), "12.345.678/9012-34");
}

} // namespace
} // namespace esc::test
