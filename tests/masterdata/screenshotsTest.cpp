#include "masterdata/contasPage.h"
#include "masterdata/demResulPage.h"
#include "masterdata/historicosPage.h"
#include "masterdata/indicesPage.h"
#include "masterdata/listsTab.h"
#include "masterdata/organizacaoPage.h"
#include "pageHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>

namespace esc::test {
namespace {

// Pictures of the pages on the demo book, for a person to look at. Written only when
// ESCRIVON_SCREENSHOTS names a directory, so the suite itself stays fast and leaves no files.
TEST(Screenshots, MasterDataPages) {
  const QString dir = qEnvironmentVariable("ESCRIVON_SCREENSHOTS");
  if (dir.isEmpty()) GTEST_SKIP() << "set ESCRIVON_SCREENSHOTS=dir to write them";
  QDir().mkpath(dir);
  PageBook book;
  // A balance sheet has rows only after its update; two make the editable grid readable.
  Table& bp = *book.dm->TbBalPatri;
  for (const auto& [code, saldo] : {std::pair{"100000", 50345.67}, std::pair{"200000", 345.67}}) {
    bp.insert();
    bp.setValue("CodigoContaContabil", code);
    bp.setValue("TipoSaldoAnterior", "D");
    bp.setValue("SaldoAnterior", 0.0);
    bp.setValue("ValorDebito", code[0] == '1' ? saldo : 0.0);
    bp.setValue("ValorCredito", code[0] == '1' ? 0.0 : saldo);
    bp.setValue("SaldoAtual", saldo);
    bp.setValue("TipoSaldoAtual", QString(code[0] == '1' ? "D" : "C"));
    bp.setValue("NaturezaDaConta", QString(code[0] == '1' ? "D" : "C"));
    bp.setValue("NivelDaConta", "1");
    bp.setValue("Periodo", "2004");
    bp.post();
  }
  bp.first();
  const QSize size(720, 480);
  auto save = [&](QWidget& w, const QString& name) {
    w.resize(size);
    w.show();
    QCoreApplication::processEvents();
    // The main window's refresh fills the counters; here the picture does it.
    for (auto* counters : w.findChildren<RecordCounters*>()) {
      const QString n = counters->current()->objectName();
      Table* t = n.startsWith("EdC")   ? book.dm->TbContas
                 : n.startsWith("EdH") ? book.dm->TbHistoric
                 : n.startsWith("EdL") ? book.dm->TbLancamen
                 : n.startsWith("EdB") ? book.dm->TbBalanco
                                       : book.dm->TbDemResul;
      counters->show(t);
    }
    EXPECT_TRUE(w.grab().save(dir + "/" + name + ".png")) << name.toStdString();
  };

  IndicesPage indices(book.ctx);
  item(child<QGroupBox>(&indices, "IndicesLanctos"), "Data da Contabilização")->click();
  save(indices, "indices");

  HistoricosPage historicos(book.ctx);
  book.dm->TbHistoric->findKey({"0006"});
  save(historicos, "historicos");

  // The main window's refresh switches a page's buttons by its table's state; here the
  // picture does it: Gravar and Cancelar only while editing, the rest only while browsing.
  auto switchButtons = [](QWidget& page, const QString& prefix, bool editing) {
    for (auto* b : page.findChildren<QPushButton*>()) {
      const QString n = b->objectName();
      if (!n.startsWith(prefix)) continue;
      const bool saves = n == prefix + "Gravar" || n == prefix + "Cancelar";
      b->setEnabled(saves == editing);
    }
  };
  ContasPage contas(book.ctx);
  book.dm->TbContas->findKey({"1111210001"});
  switchButtons(contas, "ButC", false);
  save(contas, "contas");
  // Insert state: a copy of the account, its current account being typed.
  contas.duplicar();
  book.dm->TbContas->setValue("CodigoContaCorrente", "0003");
  book.dm->TbContas->setValue("NomeContaCorrente", "AG 1234-5 CC 99887-6");
  switchButtons(contas, "ButC", true);
  save(contas, "contas-inserir");
  contas.cancelar();

  DemResulPage demResul(book.ctx);
  book.dm->TbDemResul->findKey({"02"});
  switchButtons(demResul, "ButD", false);
  save(demResul, "demres");

  OrganizacaoPage organizacao(book.ctx);
  save(organizacao, "organizacao");
  book.ui.promptAnswers = {QString("preludix")};
  organizacao.alterar();
  save(organizacao, "organizacao-desbloqueada");
  organizacao.cancelar();

  ListsTab lists(book.ctx);
  const char* names[] = {"listas-contas",    "listas-historicos", "listas-lancamentos",
                         "listas-balancete", "listas-demres",     "listas-balpatri"};
  for (int i = 0; i < lists.count(); ++i) {
    lists.setCurrentIndex(i);
    save(lists, names[i]);
  }
}

} // namespace
} // namespace esc::test
