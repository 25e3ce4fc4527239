// The entry listing (TQRLanctos with TF_SeLanctos).
#include "listingsHelpers.h"
#include "reports/definitions/tf_Lanctos.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reportsTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <QStandardPaths>
#include <algorithm>

namespace esc::test {
namespace {

using namespace esc::test::listings;

const QStringList entryColumns = {
    "CodigoContaContabil",  "NomeContaContabil", "CodigoContaCorrente", "NomeContaCorrente",
    "DataDaContabilizacao", "CodigoHistorico",   "nomehistorico",       "HistoricoComplementar",
    "NumeroDocumento",      "ValorLancamento",   "TipoDeLancamento",    "NomeDaOrganizacao",
    "CNPJDaOrganizacao"};

QVariantList entryRow(const QString& name, double value) {
  return {"111121",
          name,
          "0001",
          name,
          "2004-03-07",
          "0006",
          name,
          name,
          "00042",
          value,
          "D",
          "EMPRESA TESTE LTDA",
          "11.222.333/0001-81"};
}

TEST(Lanctos, LayoutPlacesColumnsCutsLongNamesAndAlignsAmounts) {
  auto def = makeLanctos();
  EXPECT_EQ(def->title, "Escrivon - Listagem de Lançamentos");
  EXPECT_EQ(def->page.orientation, Orientation::Landscape);
  EXPECT_DOUBLE_EQ(def->page.bandWidth(), 254.0);
  EXPECT_DOUBLE_EQ(def->find(BandKind::ColumnHeader)->height, 25.4);
  EXPECT_DOUBLE_EQ(def->find(BandKind::Detail)->height, 5.0);
  EXPECT_DOUBLE_EQ(def->find(BandKind::PageFooter)->height, 6.3);
  EXPECT_EQ(def->find(BandKind::Summary), nullptr); // no totals

  const QString longName = "FORNECEDORES DE MATERIAIS DE CONSTRUCAO E"; // 40 characters
  const auto pages =
      layOutRows(*def, entryColumns, {entryRow(longName, 1234567.891), entryRow("CAIXA", -5.5)});
  ASSERT_EQ(pages.size(), 1);
  const Page& p = pages[0];
  auto at = [&](const QString& text, double x, double y, Font font) {
    SCOPED_TRACE(text.toStdString());
    const PageItem* it = findText(p, text);
    ASSERT_NE(it, nullptr);
    EXPECT_NEAR(it->x, margin + x, 1e-9);
    EXPECT_NEAR(it->y, margin + y, 1e-9);
    EXPECT_EQ(it->font, font);
  };
  at("EMPRESA TESTE LTDA", 2.1, 2.1, {14, true});
  at("CNPJ:", 179.9, 2.1, {14, true});
  at("11.222.333/0001-81", 197.1, 2.1, {14, true});
  at("Listagem de Lançamentos Contábeis", 80.7, 8.5, {18, true});
  const std::pair<const char*, double> captions[] = {{"Conta", 2.1},
                                                     {"Nome da Conta Contábil", 12.7},
                                                     {"Conta Corrente", 55.0},
                                                     {"Nome Conta Corrente", 78.3},
                                                     {"Data", 113.0},
                                                     {"Hist.", 129.6},
                                                     {"Nome Histórico", 137.3},
                                                     {"Histórico Complementar", 181.5},
                                                     {"Docto.", 218.0},
                                                     {"Valor", 233.9},
                                                     {"D/C", 247.7}};
  for (const auto& [text, x] : captions)
    at(QString::fromUtf8(text), x, 19.6, {8, true});

  EXPECT_EQ(detailColumn(pages, 2.1), (QStringList{"111121", "111121"}));
  EXPECT_EQ(detailColumn(pages, 55.0), (QStringList{"0001", "0001"}));
  EXPECT_EQ(detailColumn(pages, 113.0), (QStringList{"07/03/2004", "07/03/2004"}));
  EXPECT_EQ(detailColumn(pages, 129.4), (QStringList{"0006", "0006"}));
  EXPECT_EQ(detailColumn(pages, 218.0), (QStringList{"00042", "00042"}));
  EXPECT_EQ(detailColumn(pages, 249.5), (QStringList{"D", "D"}));

  // The four name columns show what fits in their widths; a short name prints whole.
  const std::pair<double, double> fixedColumns[] = {
      {12.7, 41.8}, {78.3, 33.3}, {137.3, 43.7}, {181.2, 35.2}};
  for (const auto& [x, width] : fixedColumns) {
    SCOPED_TRACE(x);
    const QStringList texts = detailColumn(pages, x);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(longName.startsWith(texts[0]));
    EXPECT_LT(texts[0].size(), longName.size());
    EXPECT_GT(texts[0].size(), 10);
    EXPECT_LE(textWidth(texts[0], {8, false}), width);
    EXPECT_EQ(texts[1], "CAIXA");
  }

  // Amounts end on the same edge.
  const PageItem* big = findText(p, "1.234.567,89");
  const PageItem* negative = findText(p, "-5,50");
  ASSERT_TRUE(big && negative);
  EXPECT_NEAR(big->right(), margin + 246.9, 1e-9);
  EXPECT_NEAR(negative->right(), margin + 246.9, 1e-9);
  EXPECT_NEAR(negative->y - big->y, 5.0, 1e-9);

  int rules = 0;
  for (const PageItem& it : p.items)
    if (it.kind == PageItem::Kind::Rule) {
      ++rules;
      EXPECT_NEAR(it.width, it.band == BandKind::ColumnHeader ? 250.3 : 250.6, 1e-9);
    }
  EXPECT_EQ(rules, 2);
  EXPECT_NE(findText(p, "Página: 1"), nullptr); // a blank after the colon
  const PageItem* signature = findText(p, "Escrivon-ZNK");
  ASSERT_NE(signature, nullptr);
  EXPECT_NEAR(signature->right(), margin + 250.6, 1.0); // at the right end of the rule
}

TEST(SeLanctos, EveryFieldFilledGivesThePiecesInOrder) {
  QueryText q;
  buildLanctosQuery(q, {{"EdLCon", " 111 "},
                        {"EdLConAte", "112"},
                        {"EdLCor", "0001"},
                        {"EdLCorAte", "0002"},
                        {"EdLHist", "0006"},
                        {"EdLHistAte", ""},
                        {"EdLDocto", "O'B"},
                        {"EdLDoctoAte", " "},
                        {"EdLData", "01/02/2004"},
                        {"EdLDataAte", "31/12/04"},
                        {"EdSituacao", " "},
                        {"OrdemLanctos", "Valor Lançamento"}});
  const QStringList lines = q.displayText().split('\n');
  ASSERT_EQ(lines.size(), 12);
  EXPECT_TRUE(lines[0].startsWith("SELECT lancamen.*,cabecalh.*,contas.nomecontacontabil,"));
  EXPECT_TRUE(lines[0].endsWith("AND lancamen.codigohistorico=historic.codigohistorico"));
  EXPECT_EQ(lines.mid(1, 9),
            (QStringList{" AND lancamen.codigocontacontabil BETWEEN '111'", " AND '112'",
                         " AND lancamen.codigocontacorrente BETWEEN '0001'", " AND '0002'",
                         // the equality piece of the description code names the other table
                         " AND historic.codigohistorico='0006'",
                         " AND lancamen.numerodocumento BETWEEN 'O'B'", " AND ' '",
                         " AND lancamen.datadacontabilizacao BETWEEN '2004-02-01'",
                         " AND '2004-12-31'"}));
  EXPECT_EQ(lines[10], " AND lancamen.situacao=' '"); // a blank is a state
  EXPECT_EQ(lines[11], " ORDER BY lancamen.valorlancamento");
  EXPECT_EQ(q.parameters().size(), 10);
  EXPECT_FALSE(q.sql().contains("O'B"));
}

TEST(SeLanctos, ToFieldsAloneAddNothingAndABadDateRefuses) {
  QueryText q;
  buildLanctosQuery(q, {{"EdLConAte", "9"},
                        {"EdLCorAte", "9"},
                        {"EdLHistAte", "9"},
                        {"EdLDoctoAte", "9"},
                        {"EdLDataAte", "xx"},
                        {"EdSituacao", ""}});
  EXPECT_EQ(q.displayText().split('\n').size(), 2);
  EXPECT_EQ(q.displayText().section('\n', -1), " ORDER BY lancamen.codigocontacontabil");

  buildLanctosQuery(q, {{"EdLData", "05/01/2004"}});
  EXPECT_TRUE(q.displayText().contains(" AND lancamen.datadacontabilizacao='2004-01-05'"));

  for (const ParamValues& bad : {ParamValues{{"EdLData", "32/01/2004"}},
                                 ParamValues{{"EdLData", "01/01/2004"}, {"EdLDataAte", "abc"}}}) {
    try {
      buildLanctosQuery(q, bad);
      ADD_FAILURE() << "a date that cannot be read must refuse the run";
    } catch (const Refusal& r) {
      EXPECT_EQ(r.message, "Dados informados inválidos. Verifique.");
    }
  }
  const QStringList columns = {"codigocontacontabil", "codigocontacorrente",  "codigohistorico",
                               "numerodocumento",     "datadacontabilizacao", "valorlancamento"};
  const QStringList items = seLanctosForm().choice->items;
  ASSERT_EQ(items.size(), columns.size());
  for (int i = 0; i < items.size(); ++i) {
    buildLanctosQuery(q, {{"OrdemLanctos", items[i]}});
    EXPECT_EQ(q.displayText().section('\n', -1), " ORDER BY lancamen." + columns[i]);
  }
}

class EntryListingOnBook : public ::testing::Test {
protected:
  OpenBook book;
  Database& db() { return book.dm->database(); }
  QStringList documents(const ParamValues& given) {
    return detailColumn(runReport(*book.dm, "lancamentos", given), 218.0);
  }
  void setState(const QString& code, const QString& state) {
    db().exec("UPDATE lancamen SET Situacao=? WHERE CodigoContaContabil=?", {state, code});
  }
};

TEST_F(EntryListingOnBook, StateFieldSelectsProcessedUnprocessedBlankOrAll) {
  // The demo's four entries: one processed, two not, one with a blank state.
  setState("111121", "P");
  setState("411114", "");
  auto accounts = [&](const ParamValues& v) {
    return detailColumn(runReport(*book.dm, "lancamentos", v), 2.1);
  };
  EXPECT_EQ(accounts({}), QStringList{"111121"}); // "P" at start
  EXPECT_EQ(accounts({{"EdSituacao", "N"}}), (QStringList{"211111", "291111"}));
  EXPECT_EQ(accounts({{"EdSituacao", ""}}), (QStringList{"111121", "211111", "291111", "411114"}));
  EXPECT_TRUE(accounts({{"EdSituacao", " "}}).isEmpty()); // a blank is not an empty state
}

TEST_F(EntryListingOnBook, RangesDatesAndOrderSelectAndSortEntries) {
  const ParamValues all{{"EdSituacao", ""}};
  auto with = [&](ParamValues v) {
    v.insert("EdSituacao", "");
    return v;
  };
  EXPECT_EQ(documents(with({{"EdLData", "05/01/2004"}})), (QStringList{"00001", "00001"}));
  EXPECT_EQ(documents(with({{"EdLData", "06/01/2004"}, {"EdLDataAte", "31/01/2004"}})),
            (QStringList{"00002", "00002"}));
  EXPECT_EQ(documents(with({{"EdLDocto", "00002"}})).size(), 2);
  EXPECT_EQ(documents(with({{"EdLHist", "0007"}})), (QStringList{"00001", "00001"}));
  EXPECT_EQ(documents(with({{"EdLCon", "200000"}, {"EdLConAte", "299999"}})),
            (QStringList{"00002", "00001"})); // 211111 before 291111
  EXPECT_TRUE(documents(with({{"EdLCor", "0002"}})).isEmpty());

  const auto byValue =
      runReport(*book.dm, "lancamentos", with({{"OrdemLanctos", "Valor Lançamento"}}));
  EXPECT_EQ(detailColumn(byValue, 12.7).size(), 4);
  const QStringList dates = detailColumn(
      runReport(*book.dm, "lancamentos", with({{"OrdemLanctos", "Data Lançamento"}})), 113.0);
  EXPECT_EQ(dates, (QStringList{"05/01/2004", "05/01/2004", "20/01/2004", "20/01/2004"}));
  EXPECT_EQ(documents(all).size(), 4);
}

TEST_F(EntryListingOnBook, EntriesWithoutTheirAccountOrDescriptionAreLeftOut) {
  db().exec("DELETE FROM contas WHERE CodigoContaContabil='411114'");
  db().exec("DELETE FROM historic WHERE CodigoHistorico='0007'");
  EXPECT_EQ(detailColumn(runReport(*book.dm, "lancamentos", {{"EdSituacao", ""}}), 2.1),
            QStringList{"211111"});
}

TEST_F(EntryListingOnBook, PdfReadsBackItsText) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  const QString text = reportPdfText(*book.dm, "lancamentos", {{"EdSituacao", "N"}});
  for (const char* s :
       {"Listagem de Lançamentos Contábeis", "Histórico Complementar", "BANCO DO BRASIL",
        "05/01/2004", "50.000,00", "345,67", "Página: 1", "Escrivon-ZNK"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
}

TEST(SeLanctosDialog, StateStartsAtPTypesInCapitalsAndBadDatesAreRefused) {
  ListingWindowsGuard guard;
  ReportBook book;
  RelatoriosPage page(book.ctx);
  ParameterDialog* dialog = page.activate("ButRLLista");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->objectName(), "F_SeLanctos");
  EXPECT_EQ(dialog->windowTitle(), "Listagem de Lançamentos");
  QStringList labels;
  for (auto* l : dialog->findChildren<QLabel*>())
    labels << l->text();
  for (const char* l : {"Contas Contábeis: De", "Históricos: De", "Documentos: De",
                        "Datas Lanctos:", "Situação dos Lançamentos"})
    EXPECT_TRUE(labels.contains(QString::fromUtf8(l))) << l;

  auto* state = dialog->findChild<QLineEdit*>("EdSituacao");
  ASSERT_TRUE(state);
  EXPECT_EQ(state->text(), "P");
  EXPECT_EQ(state->toolTip(), "P-Processados / N-Não Processados /    -Todos");
  state->clear();
  QTest::keyClicks(state, "n");
  EXPECT_EQ(state->text(), "N");

  auto* video = dialog->findChild<QPushButton*>("ButLVideo");
  ASSERT_TRUE(video);
  auto* date = dialog->findChild<QLineEdit*>("EdLData");
  date->setText("31/02/2004");
  video->click();
  EXPECT_EQ(book.ui.texts(), QStringList{"Dados informados inválidos. Verifique."});
  EXPECT_TRUE(openPreviews().isEmpty());
  EXPECT_TRUE(dialog->isVisible());

  book.ui.clear();
  date->clear();
  video->click();
  const auto windows = openPreviews();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows[0]->windowTitle(), "Escrivon - Listagem de Lançamentos");
  EXPECT_EQ(windows[0]->pageCount(), 1);
  EXPECT_TRUE(book.ui.texts().isEmpty());
}

} // namespace
} // namespace esc::test
