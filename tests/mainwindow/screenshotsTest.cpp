#include "mainwindow/tf_Escrivon.h"
#include "testsupport.h"
#include "ui/yearSelector.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;

// Writes the main window's pictures for the README when ESCRIVON_SCREENSHOTS names a
// directory; otherwise does nothing, so the suite stays quick.
TEST(Screenshots, MainWindowTabsAndPasswordDialog) {
  const QString out = qEnvironmentVariable("ESCRIVON_SCREENSHOTS");
  if (out.isEmpty()) GTEST_SKIP() << "set ESCRIVON_SCREENSHOTS=dir to write them";
  QDir().mkpath(out);
  test::TempBook book(true, QDate::currentDate().year());
  DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
  ScriptedUi ui;
  TDEscrivon dm(ui);
  TF_Escrivon w(dm);
  w.lockKeys = [] { return std::optional<LockKeys>(); };
  w.runPasswordDialog = [&](TF_Senha& d) {
    d.show();
    QTest::keyClicks(d.EditSenha, "escri");
    d.grab().save(out + "/senha.png");
    d.EditSenha->setText("ESCRIVON");
    d.ButSenhaOk->click();
    return d.result();
  };
  ASSERT_TRUE(w.startUp());
  w.show();
  w.refresh();
  const char* names[] = {"cadastros", "listas", "relatorios", "manutencao"};
  for (int i = 0; i < 4; ++i) {
    w.FichaPrincipal->setCurrentIndex(i);
    QApplication::processEvents();
    w.grab().save(out + QStringLiteral("/principal-%1.png").arg(names[i]));
  }
  w.FichaPrincipal->setCurrentIndex(0);
  const char* cad[] = {"contas",     "historicos", "lancamentos",
                       "documentos", "demres",     "organizacao"};
  for (int i = 0; i < 6; ++i) {
    w.cadastros->setCurrentIndex(i);
    QApplication::processEvents();
    w.grab().save(out + QStringLiteral("/cadastros-%1.png").arg(cad[i]));
  }
}
