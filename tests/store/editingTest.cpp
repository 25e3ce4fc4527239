// Editing states, the store's errors, the data module's reactions and field access.
#include "storeTestHelpers.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::test;

namespace {
QString postError(Table& t) {
  try {
    t.post();
  } catch (const StoreError& e) {
    return e.silent() ? "(silent) " + e.message() : e.message();
  }
  return {};
}
} // namespace

TEST(StoreEditing, RequiredFieldErrorNamesTheLabelAndKeepsWhatWasTyped) {
  OpenBook book;
  Table& hist = *book.dm->TbHistoric;
  hist.insert();
  hist.field("CodigoHistorico").setValue("0042");
  const QString msg = postError(hist);
  EXPECT_TRUE(msg.contains("Nome do Histórico")) << msg.toStdString();
  EXPECT_EQ(hist.state(), Table::State::Insert);
  EXPECT_EQ(hist.field("CodigoHistorico").asString(), "0042");
  EXPECT_TRUE(book.ui.said.empty()); // not a duplicate: the data module leaves it to the caller
  hist.field("NomeHistorico").setValue("AJUSTE");
  hist.post();
  EXPECT_EQ(hist.state(), Table::State::Browse);
}

TEST(StoreEditing, DuplicateKeyInTheMasterTablesShowsTheSystemsBoxOnceAndStaysInInsert) {
  OpenBook book;
  struct Case {
    Table* table;
    std::function<void(Table&)> fill;
    QString box;
  };
  const std::vector<Case> cases = {
      {book.dm->TbHistoric,
       [](Table& t) {
         t.field("CodigoHistorico").setValue("0001");
         t.field("NomeHistorico").setValue("REPETIDO");
       },
       "Código de histórico já cadastrado. Não pode ser repetido."},
      {book.dm->TbDemResul,
       [](Table& t) {
         t.field("OrdemDoGrupo").setValue("01");
         t.field("NomeDoGrupo").setValue("REPETIDO");
       },
       "Numero de ordem já cadastrado."},
      {book.dm->TbContas,
       [](Table& t) { // same pair, other names: still one row per account pair
         t.field("CodCtaConCodCtaCor").setValue("111121" + QString("0001").leftJustified(14));
         t.field("CodigoContaContabil").setValue("111121");
         t.field("NomeContaContabil").setValue("OUTRO BANCO");
         t.field("CodigoContaCorrente").setValue("0001");
         t.field("TipoDeSaldo").setValue("D");
         t.field("NivelDaConta").setValue("6");
       },
       "Contas contábil e corrente já cadastradas."},
  };
  for (const Case& c : cases) {
    book.ui.clear();
    const int before = c.table->recordCount();
    c.table->insert();
    c.fill(*c.table);
    EXPECT_EQ(postError(*c.table), "(silent) Key violation.");
    EXPECT_EQ(book.ui.texts("error"), QStringList{c.box});
    EXPECT_EQ(book.ui.said.size(), 1u);
    EXPECT_EQ(c.table->state(), Table::State::Insert);
    EXPECT_EQ(c.table->recordCount(), before);
  }
  // The description: a new code saves; Cancel would have discarded it.
  Table& hist = *book.dm->TbHistoric;
  EXPECT_EQ(hist.field("NomeHistorico").asString(), "REPETIDO");
  hist.field("CodigoHistorico").setValue("0099");
  hist.post();
  EXPECT_TRUE(hist.findKey({"0099"}));
  Table& dem = *book.dm->TbDemResul;
  dem.cancel();
  EXPECT_EQ(dem.state(), Table::State::Browse);
  EXPECT_EQ(dem.recordCount(), 3);
}

TEST(StoreEditing, DuplicateKeyElsewhereReachesTheUserAsTheStoresError) {
  OpenBook book;
  Table& fech = *book.dm->TbFechamen;
  fech.insert();
  fech.field("Exercicio").setValue("2004");
  EXPECT_EQ(postError(fech), "Key violation.");
  EXPECT_TRUE(book.ui.said.empty());
  EXPECT_EQ(fech.state(), Table::State::Insert);
  EXPECT_EQ(fech.field("Exercicio").asString(), "2004");

  // The hook sees the message and may let it through or abort; after-post runs on success.
  int afterPosts = 0;
  QStringList seen;
  fech.onPostError = [&](const StoreError& e) {
    seen << e.message();
    return Table::PostErrorAction::Fail;
  };
  fech.afterPost = [&] { ++afterPosts; };
  EXPECT_EQ(postError(fech), "Key violation.");
  EXPECT_EQ(seen, QStringList{"Key violation."});
  fech.field("Exercicio").setValue("2005");
  fech.post();
  EXPECT_EQ(afterPosts, 1);
}

TEST(StoreEditing, ConfirmaCancelaEdicaoAsksOnlyWhileEditingAndCancelsNothing) {
  OpenBook book;
  auto& dm = *book.dm;
  EXPECT_EQ(dm.ConfirmaCancelaEdicao(dm.DsContas, "de Contas", "fechar"),
            TDEscrivon::Answer::NotEditing);
  EXPECT_TRUE(book.ui.said.empty());
  dm.TbContas->edit();
  dm.TbContas->field("NomeContaContabil").setValue("ALTERADO");
  book.ui.confirmAnswers = {false, true};
  EXPECT_EQ(dm.ConfirmaCancelaEdicao(dm.DsContas, "de Contas", "fechar"), TDEscrivon::Answer::No);
  EXPECT_EQ(dm.ConfirmaCancelaEdicao(dm.DsContas, "de Contas", "fechar"), TDEscrivon::Answer::Yes);
  EXPECT_EQ(book.ui.texts("confirm"),
            QStringList(2, "É necessário cancelar a edição (ou Inclusão) de Contas antes de "
                           "fechar. Deseja sair agora ?"));
  EXPECT_EQ(dm.TbContas->state(), Table::State::Edit);
  EXPECT_EQ(dm.TbContas->field("NomeContaContabil").asString(), "ALTERADO");
}

TEST(StoreEditing, LeavingEditStatePostsFirstAndARefusedPostStopsTheMove) {
  OpenBook book;
  Table& hist = *book.dm->TbHistoric;
  hist.first();
  hist.edit();
  hist.field("NomeHistorico").setValue("PAGAMENTO DE FORNECEDOR");
  hist.next(); // posts
  EXPECT_EQ(hist.state(), Table::State::Browse);
  EXPECT_EQ(hist.field("CodigoHistorico").asString(), "0002");
  EXPECT_EQ(book.dm->database().selectValue(
                "SELECT NomeHistorico FROM historic WHERE CodigoHistorico = '0001'"),
            QVariant("PAGAMENTO DE FORNECEDOR"));

  hist.edit(); // unchanged: dropped without a post
  hist.setOrder("SI_NomeHistorico");
  EXPECT_EQ(hist.state(), Table::State::Browse);

  hist.edit();
  hist.field("NomeHistorico").setValue("");
  const QString code = hist.field("CodigoHistorico").asString();
  EXPECT_THROW(hist.next(), StoreError);
  EXPECT_THROW(hist.setFilter("CodigoHistorico='0001'"), StoreError);
  EXPECT_EQ(hist.state(), Table::State::Edit);
  EXPECT_EQ(hist.field("CodigoHistorico").asString(), code);
  EXPECT_EQ(hist.field("NomeHistorico").asString(), "");
  EXPECT_TRUE(hist.filter().isEmpty());
  hist.cancel();
  EXPECT_FALSE(hist.field("NomeHistorico").asString().isEmpty());
}

TEST(StoreEditing, BookmarksAndSuspendedControls) {
  OpenBook book;
  Table& contas = *book.dm->TbContas;
  contas.moveBy(5);
  const Bookmark mark = contas.bookmark();
  const QString key = contas.field("CodCtaConCodCtaCor").asString();
  QSignalSpy records(&contas, &Table::recordChanged);
  contas.disableControls();
  for (int i = 0; i < 10; ++i)
    contas.next();
  contas.gotoBookmark(mark);
  EXPECT_EQ(records.count(), 0);
  contas.enableControls();
  EXPECT_EQ(records.count(), 1); // one notice for the whole loop
  EXPECT_EQ(contas.field("CodCtaConCodCtaCor").asString(), key);
  EXPECT_EQ(contas.recNo(), 6);
  contas.remove();
  EXPECT_THROW(contas.gotoBookmark(mark), StoreError);
}

TEST(StoreEditing, FieldAccessInTheSystemsFormsAndLookupFields) {
  OpenBook book;
  Table& lanc = *book.dm->TbLancamen;
  lanc.setOrder("");
  lanc.first(); // the demo's first entry: 50 000,00 on 111121/0001, 05/01/2004, description 0007
  EXPECT_DOUBLE_EQ(lanc.field("ValorLancamento").asFloat(), 50000.0);
  EXPECT_EQ(lanc.field("ValorLancamento").asString(), "50000");
  EXPECT_EQ(lanc.field("ValorLancamento").displayText(), "50.000,00");
  EXPECT_EQ(lanc.field("ValorLancamento").editText(), "50.000,00");
  EXPECT_EQ(lanc.field("DataDaContabilizacao").asDate(), QDate(2004, 1, 5));
  EXPECT_EQ(lanc.field("DataDaContabilizacao").asString(), "05/01/2004");
  EXPECT_EQ(lanc.field("NomeContaContabil").asString(), "BANCO DO BRASIL");
  EXPECT_EQ(lanc.field("ContaContabil").asString(), "111121");
  EXPECT_EQ(lanc.field("NomeContaCorrente").asString(), "1111210001");
  EXPECT_EQ(lanc.field("NomeHistorico").asString(), "INTEGRALIZAÇÃO DE CAPITAL");
  EXPECT_EQ(lanc.field("NomeHistorico").label(), "Nome do Histórico");
  EXPECT_EQ(lanc.field("ValorLancamento").label(), "Valor");

  lanc.edit();
  lanc.field("ValorLancamento").setAsString("1.234,56");
  lanc.field("DataDaContabilizacao").setAsString("07/03/04");
  lanc.field("SaldoAtual").setAsString("");
  lanc.post();
  EXPECT_DOUBLE_EQ(lanc.field("ValorLancamento").asFloat(), 1234.56);
  EXPECT_EQ(lanc.field("DataDaContabilizacao").asDate(), QDate(2004, 3, 7));
  EXPECT_TRUE(lanc.field("SaldoAtual").isNull());
  EXPECT_EQ(book.dm->database().selectValue("SELECT DataDaContabilizacao FROM lancamen WHERE "
                                            "rowid = ?",
                                            {lanc.field("Ordem").value()}),
            QVariant("2004-03-07"));
  lanc.edit();
  EXPECT_THROW(lanc.field("ValorLancamento").setAsString("doze"), StoreError);
  lanc.cancel();
}

TEST(StoreEditing, QueriesBindTheirParameters) {
  OpenBook book;
  addAccount(*book.dm->TbContas, "411116", "999", "O'HARA & FILHOS");
  QStringList columns;
  const auto rows = book.dm->database().select(
      "SELECT c.CodigoContaContabil, count(b.rowid) FROM contas c, balanco b "
      "WHERE b.CodCtaConCodCtaCor = b.Periodo || c.CodigoContaContabil || c.CodigoContaCorrente "
      "AND c.NomeContaContabil = ? AND b.Periodo BETWEEN ? AND ? GROUP BY c.CodigoContaContabil",
      {"CAIXA GERAL", "200401", "200406"}, &columns);
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0][0], QVariant("111111"));
  EXPECT_EQ(rows[0][1], QVariant(qint64(6)));
  EXPECT_EQ(columns.size(), 2);
  EXPECT_EQ(book.dm->database().selectValue("SELECT CodigoContaContabil FROM contas WHERE "
                                            "NomeContaContabil = ?",
                                            {"O'HARA & FILHOS"}),
            QVariant("411116"));
}

TEST(StoreEditing, SavingARecordDeletedMeanwhileIsRefusedAndKeepsWhatWasTyped) {
  OpenBook book;
  Table& hist = *book.dm->TbHistoric;
  const int before = hist.recordCount();
  hist.edit();
  hist.setValue("NomeHistorico", "TARIFA DOC");
  // Another writer removes the row while it is on screen.
  book.dm->database().exec("DELETE FROM historic WHERE rowid = ?", {hist.bookmark().rowId});
  EXPECT_THROW(hist.post(), StoreError);
  EXPECT_EQ(hist.state(), Table::State::Edit);
  EXPECT_EQ(hist.field("NomeHistorico").asString(), "TARIFA DOC");
  EXPECT_EQ(hist.recordCount(), before - 1);
  hist.cancel();
  EXPECT_FALSE(hist.isEmpty());
}

TEST(StoreEditing, APostWritesOnlyWhatTheEditChangedSoAnOperationsColumnsSurvive) {
  OpenBook book;
  Table& lanc = *book.dm->TbLancamen;
  Database& db = book.dm->database();
  lanc.first();
  const QVariant row = lanc.field("Ordem").value();
  lanc.edit();
  lanc.field("HistoricoComplementar").setValue("PAGO EM DINHEIRO");
  // Processing writes the running balance and the status while the entry is on screen.
  db.exec("UPDATE lancamen SET SaldoAtual = 123.45, Situacao = 'P' WHERE rowid = ?", {row});
  lanc.post();
  const auto after = db.select(
      "SELECT SaldoAtual, Situacao, HistoricoComplementar FROM lancamen WHERE rowid = ?", {row});
  EXPECT_EQ(after.value(0), QVariantList({123.45, "P", "PAGO EM DINHEIRO"}));
  EXPECT_EQ(lanc.field("Situacao").asString(), "P"); // the record shows the row as written

  // A field set back to what it held is still the edit's, and is written.
  lanc.edit();
  lanc.field("Situacao").setValue("N");
  lanc.field("Situacao").setValue("P");
  db.exec("UPDATE lancamen SET Situacao = 'X' WHERE rowid = ?", {row});
  lanc.post();
  EXPECT_EQ(db.selectValue("SELECT Situacao FROM lancamen WHERE rowid = ?", {row}), "P");
}

TEST(StoreEditing, ABlankIsNullWhateverTheFieldsType) {
  OpenBook book;
  Table& lanc = *book.dm->TbLancamen;
  lanc.insert();
  for (const char* name :
       {"DataDaContabilizacao", "HistoricoComplementar", "ValorLancamento", "SaldoAtual"}) {
    const Field f = lanc.field(name);
    EXPECT_TRUE(f.isNull()) << name;
    EXPECT_EQ(f.asString(), "") << name;
    EXPECT_EQ(f.displayText(), "") << name;
  }
  EXPECT_FALSE(lanc.field("DataDaContabilizacao").asDate().isValid());
  EXPECT_EQ(lanc.field("ValorLancamento").asFloat(), 0.0);
  // A date written and then cleared is blank again.
  lanc.field("DataDaContabilizacao").setAsString("05/03/04");
  EXPECT_FALSE(lanc.field("DataDaContabilizacao").isNull());
  lanc.field("DataDaContabilizacao").setAsString("");
  EXPECT_TRUE(lanc.field("DataDaContabilizacao").isNull());
  lanc.cancel();

  // An integer blank is null too.
  Table& patri = *book.dm->TbBalPatri;
  patri.insert();
  EXPECT_TRUE(patri.field("Ordem").isNull());
  EXPECT_EQ(patri.field("Ordem").asString(), "");
  patri.cancel();
}
