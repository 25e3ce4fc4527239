#include "journal/pages/documentosPage.h"
#include "journal/pages/lancamentosPage.h"
#include "masterdata/pageHelpers.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace esc::test {
namespace {

// Pictures of the journal pages on the demo book, for a person to look at. Written only when
// ESCRIVON_SCREENSHOTS names a directory, so the suite itself stays fast and leaves no files.
TEST(Screenshots, JournalPages) {
  const QString dir = qEnvironmentVariable("ESCRIVON_SCREENSHOTS");
  if (dir.isEmpty()) GTEST_SKIP() << "set ESCRIVON_SCREENSHOTS=dir to write them";
  QDir().mkpath(dir);
  PageBook book;
  // The page area of the main window.
  const QSize size(784, 430);
  QWidget window;
  auto* lanc = new LancamentosPage(book.ctx, &window);
  auto* docs = new DocumentosPage(book.ctx, &window);
  auto save = [&](QWidget* page, const QString& name) {
    lanc->hide();
    docs->hide();
    page->resize(size);
    page->show();
    window.resize(size);
    window.show();
    QApplication::processEvents();
    // The main window's refresh fills the counters; here the picture does it.
    for (auto* counters : page->findChildren<RecordCounters*>())
      counters->show(book.dm->TbLancamen);
    EXPECT_TRUE(page->grab().save(dir + "/" + name + ".png")) << name.toStdString();
  };

  Table& journal = *book.dm->TbLancamen;
  journal.first();
  save(lanc, "lancamentos");

  // A document of three entries typed on the page, then chosen as the user does with Filtrar.
  struct Typed {
    const char *account, *current, *hist, *type, *text;
    double value;
  };
  for (const Typed& e : {Typed{"411114", "999", "0006", "D", "NF 881 PAPELARIA CENTRAL", 100.10},
                         Typed{"411113", "999", "0001", "D", "CONTA DE LUZ MARÇO", 200.20},
                         Typed{"111121", "0001", "0001", "C", "PAGAMENTO NF 881 E LUZ", 300.30}}) {
    docs->incluir();
    journal.setValue("CodigoContaContabil", e.account);
    journal.setValue("CodigoContaCorrente", e.current);
    journal.setValue("CodigoHistorico", e.hist);
    journal.setValue("TipoDeLancamento", e.type);
    journal.setValue("HistoricoComplementar", QString::fromUtf8(e.text));
    journal.setValue("ValorLancamento", e.value);
    docs->findChild<QLineEdit*>("EditDataLancto")->setText("15/03/04");
    docs->gravar();
    ASSERT_EQ(journal.state(), Table::State::Browse) << book.ui.texts().join('|').toStdString();
  }
  const QString doc = journal.field("NumeroDocumento").asString();
  docs->findChild<QPushButton*>("ButFiltraDoctos")->click();
  docs->findChild<QLineEdit*>("EditNumDocto")->setText(doc);
  docs->findChild<QPushButton*>("ButFiltraDoctos")->click();
  docs->findChild<QPushButton*>("ButFiltraDoctos")->setText("Des&filtrar");
  docs->findChild<QLineEdit*>("EditNumDocto")->setEnabled(false);
  save(docs, "documentos");
}

} // namespace
} // namespace esc::test
