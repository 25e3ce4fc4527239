#include "demobook.h"
#include "journal/posting.h"
#include "journalPages.h"
#include "processingBook.h"

#include <gtest/gtest.h>
#include <random>

using namespace esc;
using test::ProcessingBook;

namespace {

const QDate march5(2003, 3, 5);

class Processing : public ::testing::Test {
protected:
  Processing() {
    b.addAccount("110101", "999", "D", "6", 1000.0);
    b.addAccount("110102", "0001", "D");
    b.addAccount("210101", "999", "C");
    b.addAccount("110100", "999", "D", "5");
    b.addAccount("110105", "0001", "D", "6", 0.0, false); // on the chart, no trial balance
    b.dm->TbContas->first();
    b.dm->TbBalanco->first();
  }
  // Refused with `text` as the only thing said, and nothing written anywhere.
  void expectRefused(const QString& doc, const QString& text) {
    const auto before = test::dumpAllTexts(b.db());
    EXPECT_FALSE(b.process(doc));
    EXPECT_EQ(b.ui.texts(), QStringList{text});
    EXPECT_EQ(test::dumpAllTexts(b.db()), before);
  }
  ProcessingBook b;
};

TEST_F(Processing, BalancedDocumentIsPostedAndMarked) {
  const qint64 other = b.addEntry("00001", QDate(2003, 2, 1), "110101", "999", "C", 30.0);
  const qint64 d = b.addEntry("00007", march5, "110101", "999", "D", 100.0);
  const qint64 c = b.addEntry("00007", march5, "210101", "999", "C", 100.0);
  // The user browses the chart and the trial balance in other orders meanwhile.
  b.dm->TbContas->setOrder("SI_NomCtaCon");
  b.dm->TbBalanco->setOrder("SI_CodCtaCor");
  b.dm->TbLancamen->setOrder("SI_NumeroDocumento");

  ASSERT_TRUE(b.process("00007"));
  EXPECT_EQ(b.ui.texts(), (QStringList{"Confirma o processamento deste documento?",
                                       "Processamento do documento concluído com sucesso"}));
  EXPECT_EQ(b.ui.said[0].kind, "confirm");
  EXPECT_EQ(b.totals, std::make_pair(QString("100"), QString("100")));
  EXPECT_EQ(b.statuses("00007"), (QStringList{"P", "P"}));
  EXPECT_EQ(b.statuses("00001"), QStringList{"N"});
  const auto row = [&](const QString& key) {
    return b.db().select("SELECT SaldoAnterior, ValorDebito, ValorCredito, SaldoAtual, "
                         "TipoSaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = ?",
                         {key})[0];
  };
  EXPECT_EQ(row("200303110101999"), (QVariantList{1000.0, 100.0, 0.0, 1100.0, "D"}));
  EXPECT_EQ(row("200312110101999"), (QVariantList{1100.0, 0.0, 0.0, 1100.0, "D"}));
  EXPECT_EQ(row("200303210101999"), (QVariantList{0.0, 0.0, 100.0, 100.0, "C"}));
  EXPECT_EQ(row("200302110101999"), (QVariantList{1000.0, 0.0, 0.0, 1000.0, "D"}));
  // Running balances count the unprocessed February credit of another document.
  const auto balance = [&](qint64 id) {
    return b.db().select("SELECT SaldoAtual, TipoSaldoAtual FROM lancamen WHERE rowid = ?",
                         {id})[0];
  };
  EXPECT_EQ(balance(other), (QVariantList{970.0, "D"}));
  EXPECT_EQ(balance(d), (QVariantList{1070.0, "D"}));
  EXPECT_EQ(balance(c), (QVariantList{100.0, "C"}));

  // The orders it sets stay, with their remembered texts; the journal still shows the
  // document, on its last entry in journal order.
  Table& j = *b.dm->TbLancamen;
  EXPECT_EQ(b.dm->TbContas->order(), "");
  EXPECT_EQ(b.dm->TbBalanco->order(), "");
  EXPECT_EQ(j.order(), "SI_AnoContasMesDia");
  // Remembered: the chart and trial-balance rows current when their orders were chosen.
  EXPECT_EQ(b.ctx.searchText(SearchKind::Contas), "110100");
  EXPECT_EQ(b.ctx.searchText(SearchKind::Balanco), "200301110100999");
  // The journal's: the entry validation ended on, the last in the page's order.
  EXPECT_EQ(b.ctx.searchText(SearchKind::Lancamentos), "2003210101999           0305");
  EXPECT_TRUE(j.filtered());
  EXPECT_EQ(j.recordCount(), 2);
  EXPECT_EQ(j.bookmark().rowId, c);
  EXPECT_EQ(j.field("Situacao").asString(), "P");
  EXPECT_FALSE(j.controlsDisabled());
  EXPECT_FALSE(b.dm->TbBalanco->controlsDisabled());

  // Processed once: the second run refuses with the plural message.
  expectRefused("00007", "Existem 2 lançamentos já processados.Documento não pode ser "
                         "reprocessado.");
}

TEST_F(Processing, ChecksRefuseInTheirOrderAndWriteNothing) {
  expectRefused("00009", "Documento inválido. Não contém lançamentos para processar.");

  b.addEntry("00002", QDate(2002, 3, 5), "110101", "999", "D", 1.0);
  b.addEntry("00002", QDate(2002, 3, 5), "999999", "999", "C", 1.0); // unknown, but later
  expectRefused("00002", "Data do Documento não confere com o exercício para o qual o sistema "
                         "está selecionado.");

  b.addEntry("00003", march5, "110101", "999", "D", 1.0);
  b.addEntry("00003", march5, "210101", "999", "C", 0.5);
  b.addEntry("00003", QDate(2003, 3, 6), "210101", "999", "C", 0.5);
  expectRefused("00003", "Data do lançamento n. 3 diverge do lançamento n. 1");
  EXPECT_EQ(b.dm->TbLancamen->field("DataDaContabilizacao").asString(), "06/03/2003");

  b.addEntry("00004", march5, "110101", "999", "D", 1.0);
  b.addEntry("00004", march5, "110199", "999", "C", 1.0);
  expectRefused("00004", "Conta 110199999 não cadastrada. Operação cancelada");

  b.addEntry("00005", march5, "110100", "999", "D", 1.0);
  expectRefused("00005", "Conta 110100999 é sintética.Não pode receber lançamentos.");

  b.addEntry("00006", march5, "110105", "0001", "D", 1.0);
  expectRefused("00006", "Contas 110105 0001 não cadastradas para este exercicio.");

  b.addEntry("00008", march5, "110101", "999", "D", 1.0, "P");
  b.addEntry("00008", march5, "210101", "999", "C", 1.0);
  expectRefused("00008", "Existe 1 lançamento já processado.Documento não pode ser reprocessado.");
  for (int i = 0; i < 3; ++i)
    b.addEntry("00010", march5, "110101", "999", "D", 1.0, "P");
  expectRefused("00010", "Existem 3 lançamentos já processados.Documento não pode ser "
                         "reprocessado.");

  // Totals in fixed point: 100,00 against 99,99 in two parts.
  b.addEntry("00011", march5, "110101", "999", "D", 100.0);
  b.addEntry("00011", march5, "210101", "999", "C", 99.0);
  b.addEntry("00011", march5, "110102", "0001", "C", 0.99);
  expectRefused("00011", "Documento inválido. Soma de Créditos: 99,99 - Débitos: 100");
  EXPECT_EQ(b.totals, std::make_pair(QString("100"), QString("99,99")));

  // A letter neither D nor C counts in neither total and could never be posted.
  b.addEntry("00012", march5, "110101", "999", "D", 1.0);
  b.addEntry("00012", march5, "210101", "999", "X", 1.0);
  expectRefused("00012", "Tipo de lançamento só pode ser D (Débito) ou C (Crédito).");

  // Saved while 2002 was selected: its key belongs to that year, whatever its date says.
  b.ctx.year = "2002";
  b.addEntry("00013", march5, "110101", "999", "D", 1.0);
  b.ctx.year = "2003";
  b.addEntry("00013", march5, "210101", "999", "C", 1.0);
  expectRefused("00013", "Lançamento 2002110101999           0305 pertence a outro exercício, "
                         "não ao exercício 2003 selecionado.");
}

// For a caller that reports them all: every failure of every entry, in the checks' order, each
// naming its entry; the totals are not compared while an entry is at fault.
TEST_F(Processing, AllFailuresOfADocument) {
  b.addEntry("00009", march5, "110101", "999", "D", 100.0);
  const qint64 synthetic = b.addEntry("00009", march5, "110100", "999", "C", 50.0);
  const qint64 third = b.addEntry("00009", QDate(2003, 3, 6), "110105", "0001", "C", 40.0);
  QStringList found;
  for (const EntryFailure& f : b.engine().failures("00009"))
    found << QString::number(f.entry) + " " + f.text;
  EXPECT_EQ(found, (QStringList{QString::number(synthetic) +
                                    " Conta 110100999 é sintética.Não pode receber lançamentos.",
                                QString::number(third) +
                                    " Contas 110105 0001 não cadastradas para este exercicio.",
                                QString::number(third) + " Data do lançamento n. 3 diverge do "
                                                         "lançamento n. 1"}));
}

TEST_F(Processing, YearCheckComparesTheLastTwoDigitsAndNeedsAYear) {
  b.addEntry("00001", QDate(1903, 3, 5), "110101", "999", "D", 1.0);
  b.addEntry("00001", QDate(1903, 3, 5), "210101", "999", "C", 1.0);
  const auto before = test::dumpAllTexts(b.db());
  EXPECT_FALSE(b.process("00001", false)); // 1903 passes; the user answers No
  EXPECT_EQ(b.ui.texts(), QStringList{"Confirma o processamento deste documento?"});
  EXPECT_EQ(test::dumpAllTexts(b.db()), before);

  b.ctx.year = "";
  expectRefused("00001", "Data do Documento não confere com o exercício para o qual o sistema "
                         "está selecionado.");
}

// Another program on the same files processes the document while the confirmation is open:
// the entries are claimed again inside the transaction, so nothing is posted twice.
TEST_F(Processing, ADocumentProcessedElsewhereMeanwhileIsNotPostedAgain) {
  b.addEntry("00001", march5, "110101", "999", "D", 100.0);
  b.addEntry("00001", march5, "210101", "999", "C", 100.0);
  test::OpenDirectory other(b.dir.path());
  QStringList before;
  b.ui.whileAsking = [&] {
    other.db().exec("UPDATE lancamen SET Situacao = 'P' WHERE NumeroDocumento = '00001'");
    before = test::dumpAllTexts(other.db());
  };
  EXPECT_FALSE(b.process("00001"));
  EXPECT_EQ(b.ui.texts(), (QStringList{"Confirma o processamento deste documento?",
                                       "Existem 2 lançamentos já processados.Documento não pode "
                                       "ser reprocessado."}));
  EXPECT_EQ(test::dumpAllTexts(b.db()), before);
}

// D 0,10 + D 0,20 against C 0,30 on one credit account: the trial balance closes at zero with
// the nature's letter, not at a residue of the other side, and so does the running balance.
TEST_F(Processing, BalancesAreKeptToFourDecimalPlaces) {
  b.addEntry("00001", march5, "210101", "999", "D", 0.1);
  b.addEntry("00001", march5, "210101", "999", "D", 0.2);
  const qint64 last = b.addEntry("00001", march5, "210101", "999", "C", 0.3);
  ASSERT_TRUE(b.process("00001"));
  for (const QString month : {"03", "12"})
    EXPECT_EQ(b.db().select("SELECT ValorDebito, SaldoAtual, TipoSaldoAtual FROM balanco WHERE "
                            "CodCtaConCodCtaCor = ?",
                            {"2003" + month + "210101999"}),
              (QVector<QVariantList>{{month == "03" ? 0.3 : 0.0, 0.0, "C"}}));
  EXPECT_EQ(b.db().selectValue("SELECT SaldoAtual FROM lancamen WHERE rowid = ?", {last}),
            QVariant(0.0));
}

// The pages decide on the status as the files hold it, not as their cursor last read it: an
// entry processed elsewhere is not deleted, and a document with any processed entry is not
// taken for new entries.
TEST(ProcessedElsewhere, AnEntryIsNotDeletedNorItsDocumentReopened) {
  test::JournalPages t;
  const qint64 id = t.addEntry("00005", QDate(2004, 1, 5), "111121", "0001", "D", 50.0);
  t.addEntry("00005", QDate(2004, 1, 5), "291111", "999", "C", 50.0);
  t.goTo(id);
  test::OpenDirectory other(t.path());
  other.db().exec("UPDATE lancamen SET Situacao = 'P'");
  t.ui.confirmAnswers = {true};
  t.click("ButLEliminar");
  EXPECT_EQ(t.ui.texts(), (QStringList{"Confirma a exclusão do registro?",
                                       "Lançamento já foi processado. Só pode ser estornado."}));
  EXPECT_EQ(t.count(), 2);

  // Only the document's second entry processed: the view's first one does not tell.
  t.addEntry("00006", QDate(2004, 1, 5), "111121", "0001", "D", 50.0);
  t.addEntry("00006", QDate(2004, 1, 5), "291111", "999", "C", 50.0, "P");
  t.ui.clear();
  t.box("EditNumDocto")->setText("00006");
  t.click("ButIncluiLote");
  EXPECT_EQ(t.ui.texts(), QStringList{"Documento 00006 já foi processado. Não pode ser alterado."});
  EXPECT_EQ(t.journal().state(), Table::State::Browse);
}

TEST_F(Processing, ReadsTheDocumentAsItIsNowAndNeverWhileAnEntryIsEdited) {
  b.addEntry("00001", march5, "110101", "999", "D", 100.0);
  const qint64 c = b.addEntry("00001", march5, "210101", "999", "C", 100.0);
  b.choose("00001");
  // Changed after Filtrar, through the other journal page: the check sees the new amount.
  b.db().exec("UPDATE lancamen SET ValorLancamento = 99.99 WHERE rowid = ?", {c});
  const auto before = test::dumpAllTexts(b.db());
  EXPECT_FALSE(b.processChosen());
  EXPECT_EQ(b.ui.texts(),
            QStringList{"Documento inválido. Soma de Créditos: 99,99 - Débitos: 100"});

  Table& j = *b.dm->TbLancamen;
  j.edit();
  j.setValue("ValorLancamento", 100.0);
  EXPECT_FALSE(b.processChosen());
  EXPECT_TRUE(b.ui.texts().isEmpty());
  EXPECT_EQ(j.state(), Table::State::Edit);
  EXPECT_EQ(test::dumpAllTexts(b.db()), before);
}

// A month row missing during the run undoes the whole document, so it can be mended and
// processed again.
TEST_F(Processing, MissingMonthRowRollsTheWholeDocumentBack) {
  b.addAccount("110109", "999", "D");
  b.db().exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200303110109999'");
  b.addEntry("00001", march5, "110101", "999", "D", 60.0);
  b.addEntry("00001", march5, "110101", "999", "D", 40.0);
  b.addEntry("00001", march5, "210101", "999", "C", 70.0);
  const qint64 last = b.addEntry("00001", march5, "110109", "999", "C", 30.0);
  b.addEntry("00002", QDate(2003, 1, 9), "110101", "999", "D", 5.0); // walked, not processed
  const auto before = test::dumpAllTexts(b.db());

  EXPECT_FALSE(b.process("00001"));
  EXPECT_EQ(b.ui.texts(), (QStringList{"Confirma o processamento deste documento?",
                                       "Erro. Chave 200303110109999 não localizada no "
                                       "balancete."}));
  EXPECT_EQ(test::dumpAllTexts(b.db()), before);
  Table& j = *b.dm->TbLancamen;
  EXPECT_TRUE(j.filtered());
  EXPECT_EQ(j.bookmark().rowId, last);
  EXPECT_FALSE(j.controlsDisabled());
  EXPECT_EQ(b.ui.position, 0);

  b.db().exec("INSERT INTO balanco VALUES ('110109', '999', '200303', '200303110109999', 'D', "
              "0.0, 0.0, 0.0, 0.0, 'D', 'D', '6')");
  ASSERT_TRUE(b.process("00001"));
  EXPECT_EQ(b.statuses("00001"), QStringList(4, "P"));
  EXPECT_EQ(b.db().selectValue("SELECT SaldoAtual FROM balanco WHERE CodCtaConCodCtaCor = "
                               "'200312110101999'"),
            QVariant(1100.0));
}

TEST_F(Processing, ProgressMovesAndTheViewsStayFrozenWhileALongDocumentPosts) {
  for (int i = 0; i < 40; ++i) {
    b.addEntry("00001", march5.addDays(0), i % 2 ? "110101" : "110102", i % 2 ? "999" : "0001", "D",
               1.25);
    b.addEntry("00001", march5, "210101", "999", "C", 1.25);
  }
  int refreshes = 0;
  QObject::connect(b.dm->TbLancamen, &Table::dataChanged, [&] { ++refreshes; });
  QObject::connect(b.dm->TbBalanco, &Table::dataChanged, [&] { ++refreshes; });
  ASSERT_TRUE(b.process("00001"));
  EXPECT_EQ(b.ui.rangeMax, 80);
  EXPECT_EQ(b.ui.positions.size(), 80u);
  EXPECT_EQ(b.ui.positions.back(), 80);
  EXPECT_EQ(b.ui.position, 0); // reset at the end
  EXPECT_LE(refreshes, 6);     // the order changes and one refresh at the end, not one per row
}

// Walking each pair once after all movements leaves the rows that walking after every entry
// leaves, on documents with several entries on one pair and several pairs.
TEST(ProcessingWalk, OncePerPairEqualsAfterEveryEntry) {
  for (unsigned seed : {1u, 2u, 3u}) {
    ProcessingBook once, each;
    std::mt19937 rng(seed);
    const QStringList codes = {"110101", "110102", "210101", "210102", "310101"};
    for (int i = 0; i < codes.size(); ++i) {
      const double opening = double(int(rng() % 500)) - 100;
      for (ProcessingBook* b : {&once, &each})
        b->addAccount(codes[i], "999", i % 2 ? "C" : "D", "6", opening);
    }
    QStringList docs;
    for (int d = 1; d <= 6; ++d) {
      const QString doc = QStringLiteral("%1").arg(d, 5, 10, QChar('0'));
      const QDate date(2003, 1 + rng() % 12, 1 + rng() % 28);
      const int n = 2 + rng() % 7;
      double sum = 0;
      for (int e = 0; e < n; ++e) {
        const double v = e + 1 < n ? (1 + rng() % 100000) / 100.0 : sum;
        const QString code = codes[rng() % 3 == 0 ? 0 : rng() % codes.size()];
        const QString type = e + 1 < n ? "D" : "C";
        for (ProcessingBook* b : {&once, &each})
          b->addEntry(doc, date, code, "999", type, v);
        sum += v;
      }
      if (d % 2) docs << doc; // the others stay unprocessed and are walked all the same
    }
    for (const QString& doc : docs) {
      ASSERT_TRUE(once.process(doc)) << qPrintable(once.ui.texts().join("\n"));
      // The same document posted entry by entry, each followed by its own walk.
      Table& j = *each.dm->TbLancamen;
      each.choose(doc);
      j.setOrder("SI_AnoContasMesDia");
      QList<qint64> ids;
      for (j.first(); !j.eof(); j.next())
        ids << j.bookmark().rowId;
      for (qint64 id : ids) {
        j.gotoBookmark({id});
        ASSERT_TRUE(PostingRule(*each.dm).post(PostingInput::fromEntry(j, "2003")).done());
        each.db().exec("UPDATE lancamen SET Situacao = 'P' WHERE rowid = ?", {id});
      }
    }
    for (const char* t : {"balanco", "lancamen"}) {
      const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t);
      EXPECT_EQ(test::rowTexts(once.db().select(sql)), test::rowTexts(each.db().select(sql)))
          << t << " seed " << seed;
    }
  }
}

// A batch is checked whole before anything is written, each refused document named with its
// text; valid, it leaves the rows that processing its documents one at a time leaves.
TEST(ProcessingBatch, RefusedWholeOrPostedAsOneByOne) {
  ProcessingBook batch, single;
  qint64 unposted = 0;
  for (ProcessingBook* b : {&batch, &single}) {
    b->addAccount("110101", "999", "D", "6", 1000.0);
    b->addAccount("210101", "999", "C");
    b->addAccount("310101", "999", "C", "6", -50.0);
    b->addAccount("110109", "999", "D");
    b->db().exec("DELETE FROM balanco WHERE CodCtaConCodCtaCor = '200305110109999'");
    b->addEntry("00001", march5, "110101", "999", "D", 100.1);
    b->addEntry("00001", march5, "210101", "999", "C", 100.1);
    for (double v : {0.1, 0.2})
      b->addEntry("00002", QDate(2003, 1, 9), "210101", "999", "D", v);
    b->addEntry("00002", QDate(2003, 1, 9), "310101", "999", "C", 0.3);
    b->addEntry("00003", QDate(2003, 7, 1), "110101", "999", "C", 40.0);
    b->addEntry("00003", QDate(2003, 7, 1), "310101", "999", "D", 40.0);
    b->addEntry("00004", march5, "110101", "999", "D", 1.0);
    b->addEntry("00004", march5, "210101", "999", "C", 2.0);
    unposted = b->addEntry("00005", QDate(2003, 5, 2), "110109", "999", "D", 5.0);
    b->addEntry("00005", QDate(2003, 5, 2), "210101", "999", "C", 5.0);
  }
  const auto before = test::dumpAllTexts(batch.db());
  ProcessingResult r =
      batch.engine().run({"00001", "00004", "00002", "00005", "00003"}, batch.ui.progress());
  QStringList refusals;
  for (const ProcessingRefusal& f : r.refusals)
    refusals << f.document + " " + f.text + " " + QString::number(f.entry);
  EXPECT_EQ(refusals,
            (QStringList{"00004 Documento inválido. Soma de Créditos: 2 - Débitos: 1 0",
                         "00005 Erro. Chave 200305110109999 não localizada no balancete. " +
                             QString::number(unposted)}));
  EXPECT_EQ(test::dumpAllTexts(batch.db()), before);

  r = batch.engine().run({"00003", "00001", "00002"}, batch.ui.progress());
  ASSERT_TRUE(r.isDone());
  EXPECT_EQ(std::make_pair(r.documents, r.entries), std::make_pair(3, 7));
  EXPECT_EQ(batch.ui.positions.back(), 7);
  for (const QString doc : {"00003", "00001", "00002"})
    ASSERT_TRUE(single.process(doc)) << qPrintable(single.ui.texts().join("\n"));
  for (const char* t : {"balanco", "lancamen"}) {
    const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(t);
    EXPECT_EQ(test::rowTexts(batch.db().select(sql)), test::rowTexts(single.db().select(sql))) << t;
  }
}

} // namespace
