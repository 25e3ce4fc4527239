#include "masterdata/historicosPage.h"
#include "masterdata/indicesPage.h"
#include "masterdata/listsTab.h"
#include "pageHelpers.h"

#include <QCoreApplication>
#include <QDir>

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
