// The plan of accounts (TQRPlanoContas) and the account listing (TF_Contas with TF_SeLContas).
#include "listingsHelpers.h"
#include "reports/definitions/tf_Contas.h"
#include "reports/definitions/tf_PlanoContas.h"
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

const QStringList chartColumns = {"CodigoContaContabil", "NomeContaContabil", "CodigoContaCorrente",
                                  "NomeContaCorrente",   "TipoDeSaldo",       "NivelDaConta",
                                  "NomeDaOrganizacao",   "CNPJDaOrganizacao"};

QVariantList chartRow(const QString& code, const QString& name, const QString& side = "D",
                      const QString& level = "6") {
  return {code,
          name,
          "0001",
          "CONTA CORRENTE " + code,
          side,
          level,
          "EMPRESA TESTE LTDA",
          "11.222.333/0001-81"};
}

struct Variant {
  std::shared_ptr<ReportDefinition> (*make)();
  QString title;
  double titleX, titleY;
  double orgPoints, orgY, cnpjLabelX, cnpjX;
  double captionY, captionPoints, ruleY, currentNameX;
  double headerHeight, detailHeight, detailPoints, footerHeight;
};

TEST(ChartListings, BothVariantsPlaceTheirElementsAsTheirTablesSay) {
  const Variant variants[] = {
      {&makePlanoContas, "Plano de Contas", 72.0, 8.5, 12, 2.1, 127.0, 141.8, 17.2, 8, 21.2, 104.5,
       23.0, 4.8, 8, 6.3},
      {&makeContas, "Listagem de Contas Contábeis", 48.7, 7.7, 14, 0.8, 114.3, 130.4, 16.1, 10,
       20.4, 107.2, 21.4, 4.2, 10, 10.6},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.title.toStdString());
    auto def = v.make();
    EXPECT_EQ(def->title, "Escrivon - Listagem de Contas");
    EXPECT_EQ(def->page.orientation, Orientation::Portrait);
    EXPECT_DOUBLE_EQ(def->page.bandWidth(), 215.9 - 2 * 12.7);
    EXPECT_DOUBLE_EQ(def->find(BandKind::ColumnHeader)->height, v.headerHeight);
    EXPECT_DOUBLE_EQ(def->find(BandKind::Detail)->height, v.detailHeight);
    EXPECT_DOUBLE_EQ(def->find(BandKind::PageFooter)->height, v.footerHeight);
    EXPECT_EQ(def->find(BandKind::Summary), nullptr);

    const auto pages = layOutRows(*def, chartColumns,
                                  {chartRow("111111", "CAIXA GERAL", "D", "6"),
                                   chartRow("211111", "FORNECEDORES", "C", "5")});
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
    at(v.title, v.titleX, v.titleY, {18, true});
    at("EMPRESA TESTE LTDA", 2.1, v.orgY, {v.orgPoints, true});
    at("CNPJ:", v.cnpjLabelX, v.orgY, {v.orgPoints, true});
    at("11.222.333/0001-81", v.cnpjX, v.orgY, {v.orgPoints, true});
    const Font caption{v.captionPoints, true};
    at("Conta", 2.1, v.captionY, caption);
    at("Nome da Conta Contábil", 14.8, v.captionY, caption);
    at("Cta. Corrente", 80.4, v.captionY, caption);
    at("Nome Conta Corrente Contábil", v.currentNameX, v.captionY, caption);
    at("Saldo", 163.8, v.captionY, caption);
    at("Nível", 174.4, v.captionY, caption);

    // A name as long as the organization record holds stops short of "CNPJ:".
    const QString longName = "COMPANHIA BRASILEIRA DE MAQUINAS WXYZ LT";
    QVariantList row = chartRow("111111", "CAIXA GERAL");
    row[6] = longName;
    const auto longPages = layOutRows(*v.make(), chartColumns, {row});
    const PageItem* org = nullptr;
    for (const PageItem& it : longPages[0].items)
      if (longName.startsWith(it.text) && it.font == Font{v.orgPoints, true}) org = &it;
    ASSERT_NE(org, nullptr);
    EXPECT_LT(org->right(), margin + v.cnpjLabelX);
    EXPECT_GT(org->text.size(), 25);

    // The detail lines: the columns at their positions, one band height apart.
    const PageItem* first = findText(p, "CAIXA GERAL");
    const PageItem* second = findText(p, "FORNECEDORES");
    ASSERT_TRUE(first && second);
    EXPECT_NEAR(second->y - first->y, v.detailHeight, 1e-9);
    EXPECT_GE(first->y, margin + v.headerHeight);
    EXPECT_EQ(first->font, (Font{v.detailPoints, false}));
    EXPECT_EQ(detailColumn(pages, 2.1), (QStringList{"111111", "211111"}));
    EXPECT_EQ(detailColumn(pages, 14.8), (QStringList{"CAIXA GERAL", "FORNECEDORES"}));
    EXPECT_EQ(detailColumn(pages, 80.4), (QStringList{"0001", "0001"}));
    EXPECT_EQ(detailColumn(pages, v.currentNameX),
              (QStringList{"CONTA CORRENTE 111111", "CONTA CORRENTE 211111"}));
    EXPECT_EQ(detailColumn(pages, 165.9), (QStringList{"D", "C"}));
    EXPECT_EQ(detailColumn(pages, 176.5), (QStringList{"6", "5"}));

    // The rule under the captions and the page footer's.
    int rules = 0;
    for (const PageItem& it : p.items)
      if (it.kind == PageItem::Kind::Rule && it.band == BandKind::ColumnHeader) {
        ++rules;
        EXPECT_NEAR(it.x, margin + 2.1, 1e-9);
        EXPECT_NEAR(it.y, margin + v.ruleY, 1e-9);
        EXPECT_NEAR(it.width, 181.0, 1e-9);
      }
    EXPECT_EQ(rules, 1);
    const PageItem* signature = findText(p, "Escrivon - ZNK");
    ASSERT_NE(signature, nullptr);
    EXPECT_EQ(signature->band, BandKind::PageFooter);
    EXPECT_NEAR(signature->x, margin + 160.9, 1e-9);
    EXPECT_NE(findText(p, "Página:1"), nullptr); // no blank after the colon
  }
}

TEST(ChartListings, LongListingsBreakIntoPagesEachWithItsHeaderAndFooter) {
  QVector<QVariantList> rows;
  for (int i = 0; i < 120; ++i)
    rows << chartRow(QString::number(100000 + i), QStringLiteral("CONTA %1").arg(i));
  auto def = makePlanoContas();
  const auto pages = layOutRows(*def, chartColumns, rows);
  ASSERT_GE(pages.size(), 3);
  for (const Page& p : pages) {
    EXPECT_NE(findText(p, "Plano de Contas"), nullptr);
    EXPECT_NE(findText(p, QStringLiteral("Página:%1").arg(p.number)), nullptr);
  }
  EXPECT_EQ(detailRows(pages, 2.1), 120);
}

TEST(SeLContas, EveryFieldFilledGivesThePiecesInOrderWithValuesAsTyped) {
  QueryText q;
  buildContasQuery(q, {{"EdCCon", " 111 "},
                       {"EdCConAte", "112999 "},
                       {"EdCNomCon", "D'ÁGUA"},
                       {"EdCCor", " "},
                       {"EdCCorAte", ""},
                       {"EdCNomCor", "BANCO X"},
                       {"EdCNivel", " 1"},
                       {"EdCNivelAte", "5"},
                       {"EdCTipoSaldo", "D"},
                       {"OrdemContas", "Nível da Conta"}});
  EXPECT_EQ(q.displayText(),
            "SELECT * FROM contas,cabecalh WHERE cabecalh.cnpjdaorganizacao<>''\n"
            " AND contas.codigocontacontabil BETWEEN '111'\n"
            " AND '112999 '\n"
            " AND contas.nomecontacontabil='D'ÁGUA'\n"
            " AND contas.codigocontacorrente=' '\n" // a blank is a value
            " AND contas.nomecontacorrente='BANCO X'\n"
            " AND contas.niveldaconta BETWEEN '1'\n"
            " AND '5'\n"
            " AND contas.tipodesaldo='D'\n"
            " ORDER BY contas.niveldaconta");
  // The typed texts are bound, never spliced into the SQL.
  EXPECT_EQ(q.parameters(),
            (QVariantList{"111", "112999 ", "D'ÁGUA", " ", "BANCO X", "1", "5", "D"}));
  EXPECT_FALSE(q.sql().contains("ÁGUA"));
}

TEST(SeLContas, ToFieldsAloneAddNothingAndEachOrderItemSortsItsColumn) {
  QueryText q;
  buildContasQuery(q, {{"EdCConAte", "2"}, {"EdCCorAte", "9"}, {"EdCNivelAte", "6"}});
  EXPECT_EQ(q.displayText(), "SELECT * FROM contas,cabecalh WHERE cabecalh.cnpjdaorganizacao<>''\n"
                             " ORDER BY contas.codigocontacontabil");
  const QStringList columns = {"codigocontacontabil", "codigocontacorrente", "nomecontacontabil",
                               "nomecontacorrente",   "tipodesaldo",         "niveldaconta"};
  const QStringList items = seLContasForm().choice->items;
  for (int i = 0; i < items.size(); ++i) {
    buildContasQuery(q, {{"OrdemContas", items[i]}});
    EXPECT_EQ(q.displayText().section('\n', -1), " ORDER BY contas." + columns[i]);
  }
}

class ChartListingsOnBook : public ::testing::Test {
protected:
  OpenBook book;
  Database& db() { return book.dm->database(); }
  int count(const QString& where = "1=1") {
    return db().selectValue("SELECT COUNT(*) FROM contas WHERE " + where).toInt();
  }
};

TEST_F(ChartListingsOnBook, EmptyFieldsListTheWholeChartInAccountCodeOrder) {
  const auto pages = runReport(*book.dm, "contas");
  const QStringList codes = detailColumn(pages, 2.1);
  EXPECT_EQ(codes.size(), count());
  EXPECT_TRUE(std::is_sorted(codes.begin(), codes.end()));
  EXPECT_EQ(findText(pages[0], "Listagem de Contas Contábeis")->band, BandKind::ColumnHeader);
}

TEST_F(ChartListingsOnBook, PlanListsTheChartInKeyOrder) {
  const auto pages = runReport(*book.dm, "plano");
  const QStringList codes = detailColumn(pages, 2.1), currents = detailColumn(pages, 80.4);
  ASSERT_EQ(codes.size(), count());
  ASSERT_EQ(currents.size(), codes.size());
  QStringList keys;
  for (int i = 0; i < codes.size(); ++i)
    keys << codes[i] + "|" + currents[i];
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  EXPECT_GT(codes.count("111121"), 1); // one account, two current accounts, in their order
}

TEST_F(ChartListingsOnBook, NamesMatchOnlyWholeAndExact) {
  EXPECT_EQ(detailColumn(runReport(*book.dm, "contas", {{"EdCNomCon", "CAIXA GERAL"}}), 2.1),
            QStringList{"111111"});
  EXPECT_EQ(detailRows(runReport(*book.dm, "contas", {{"EdCNomCon", "CAIXA"}}), 2.1),
            count("NomeContaContabil='CAIXA'"));
  EXPECT_EQ(detailRows(runReport(*book.dm, "contas", {{"EdCNomCon", "CAIXA GER"}}), 2.1), 0);
  EXPECT_EQ(detailRows(runReport(*book.dm, "contas", {{"EdCNomCon", "caixa geral"}}), 2.1), 0);
  EXPECT_EQ(
      detailColumn(runReport(*book.dm, "contas", {{"EdCNomCor", "COMERCIAL ARAÚJO LTDA"}}), 80.4),
      QStringList{"0001"});

  // A quote typed in a name is a character of the name, not a break in the query.
  db().exec("INSERT INTO contas VALUES ('500000999', '500000', 'D''ÁGUA', '999', '', 'D', '1')");
  EXPECT_EQ(detailColumn(runReport(*book.dm, "contas", {{"EdCNomCon", "D'ÁGUA"}}), 2.1),
            QStringList{"500000"});
}

TEST_F(ChartListingsOnBook, LevelsSelectAnalyticOrSyntheticAccounts) {
  const QStringList analytic =
      detailColumn(runReport(*book.dm, "contas", {{"EdCNivel", "6"}}), 176.5);
  EXPECT_EQ(analytic.size(), count("NivelDaConta='6'"));
  EXPECT_EQ(analytic.count("6"), analytic.size());

  const QStringList synthetic =
      detailColumn(runReport(*book.dm, "contas", {{"EdCNivel", "1"}, {"EdCNivelAte", "5"}}), 176.5);
  EXPECT_EQ(synthetic.size() + analytic.size(), count());
  EXPECT_EQ(synthetic.count("6"), 0);
}

TEST_F(ChartListingsOnBook, CodeRangesAndSideSelectAndOrderBySide) {
  const QStringList codes = detailColumn(
      runReport(*book.dm, "contas", {{"EdCCon", "111000"}, {"EdCConAte", "111999"}}), 2.1);
  EXPECT_EQ(codes.size(), count("CodigoContaContabil BETWEEN '111000' AND '111999'"));
  EXPECT_TRUE(std::all_of(codes.begin(), codes.end(), [](auto& c) { return c.startsWith("111"); }));

  EXPECT_EQ(detailRows(runReport(*book.dm, "contas", {{"EdCTipoSaldo", "C"}}), 2.1),
            count("TipoDeSaldo='C'"));

  const QStringList sides =
      detailColumn(runReport(*book.dm, "contas", {{"OrdemContas", "Tipo de Saldo"}}), 165.9);
  EXPECT_EQ(sides.size(), count());
  EXPECT_TRUE(std::is_sorted(sides.begin(), sides.end())); // all C, then all D
  EXPECT_GT(sides.count("C"), 0);
  EXPECT_GT(sides.count("D"), 0);
}

TEST_F(ChartListingsOnBook, AnEmptyCnpjEmptiesTheListingButNotThePlan) {
  db().exec("UPDATE cabecalh SET CNPJDaOrganizacao=''");
  const auto listing = runReport(*book.dm, "contas");
  ASSERT_EQ(listing.size(), 1); // the report still prints, with its footer
  EXPECT_EQ(detailRows(listing, 2.1), 0);
  EXPECT_NE(findText(listing[0], "Escrivon - ZNK"), nullptr);
  EXPECT_NE(findText(listing[0], "Página:1"), nullptr);

  EXPECT_EQ(detailRows(runReport(*book.dm, "plano"), 2.1), count());
}

TEST_F(ChartListingsOnBook, PdfsReadBackTheirTexts) {
  if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
  const QString plan = reportPdfText(*book.dm, "plano");
  for (const char* text : {"Plano de Contas", "Nome Conta Corrente Contábil", "CAIXA GERAL",
                           "AG 1234-5 CC 67890-1", "Página:1", "Escrivon - ZNK"})
    EXPECT_TRUE(plan.contains(QString::fromUtf8(text))) << text;
  const QString listing = reportPdfText(*book.dm, "contas", {{"EdCCon", "111121"}});
  EXPECT_TRUE(listing.contains("Listagem de Contas Contábeis"));
  EXPECT_TRUE(listing.contains("BANCO DO BRASIL"));
  EXPECT_FALSE(listing.contains("CAIXA GERAL"));
}

TEST(ChartListingButtons, PlanPreviewsAtOnceAndTheListingOpensItsDialog) {
  ListingWindowsGuard guard;
  ReportBook book;
  RelatoriosPage page(book.ctx);
  EXPECT_EQ(page.activate("ButRCPlano"), nullptr);
  auto windows = openPreviews();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows[0]->windowTitle(), "Escrivon - Listagem de Contas");
  EXPECT_EQ(windows[0]->pageCount(), 2);
  delete windows[0];

  ParameterDialog* dialog = page.activate("ButRCNome");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(dialog->objectName(), "F_SeLContas");
  EXPECT_EQ(dialog->windowTitle(), "Listagem de Contas");
  QStringList names, radios;
  for (auto* e : dialog->findChildren<QLineEdit*>())
    names << e->objectName();
  EXPECT_EQ(names, seLContasForm().names().mid(0, 9));
  for (auto* r : dialog->findChildren<QRadioButton*>())
    radios << r->text();
  EXPECT_EQ(radios, seLContasForm().choice->items);
  for (const char* b : {"ButCVideo", "ButCImpressora", "ButCCancelar"})
    EXPECT_TRUE(dialog->findChild<QPushButton*>(b)) << b;

  // The analytic accounts, one balance side after the other.
  dialog->findChild<QLineEdit*>("EdCNivel")->setText("6");
  auto* bySide = dialog->findChild<QRadioButton*>("OrdemContas4");
  bySide->setChecked(true);
  // A style that adds accelerators to captions does not change the order chosen.
  bySide->setText("&Tipo de Saldo");
  EXPECT_EQ(dialog->values().value("OrdemContas"), "Tipo de Saldo");
  dialog->findChild<QPushButton*>("ButCVideo")->click();
  windows = openPreviews();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows[0]->pageCount(), 1);
  EXPECT_TRUE(dialog->isVisible());
}

} // namespace
} // namespace esc::test
