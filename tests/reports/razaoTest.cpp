#include "reports/definitions/tf_Razao.h"
#include "reportsTestSupport.h"
#include "store/formats.h"

#include <QFileInfo>
#include <cmath>

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace esc;
using namespace esc::report;
using test::bandTexts;
using test::findItem;

namespace {

const QStringList ledgerColumns = {"nomedaorganizacao",
                                   "cnpjdaorganizacao",
                                   "anocontasmesdia",
                                   "numerodocumento",
                                   "ordem",
                                   "codigocontacontabil",
                                   "codigocontacorrente",
                                   "codigohistorico",
                                   "datadacontabilizacao",
                                   "tipodelancamento",
                                   "valorlancamento",
                                   "historicocomplementar",
                                   "saldoatual",
                                   "tiposaldoatual",
                                   "nomecontacontabil",
                                   "nomecontacorrente",
                                   "tipodesaldo",
                                   "nomehistorico"};

QVariantList ledgerRow(const QString& code, const QString& nature, const QString& dc, double value,
                       double balance, const QString& letter, const QString& date = "2004-03-10",
                       int year = 2004) {
  static int ordem = 0;
  return {"ORGANIZAÇÃO TESTE",
          "11.222.333/0001-81",
          QString::number(year) + code + QString("999").leftJustified(14, ' ') + "0310",
          "00001",
          ++ordem,
          code,
          "999",
          "0001",
          date,
          dc,
          value,
          "COMPLEMENTO",
          balance,
          letter,
          "CONTA " + code,
          "",
          nature,
          "PAGAMENTO CONFORME NOTA FISCAL"};
}

QVector<Page> layRazao(const QVector<QVariantList>& rows) {
  auto def = makeRazao();
  PageCollector pages;
  RunOptions opt;
  opt.now = QDateTime(QDate(2004, 3, 9), QTime(14, 5));
  layOut(*def, ledgerColumns, rows, pages, opt);
  return pages.pages;
}

constexpr double left = 12.7, top = 12.7;

// The ledger of `book` with the dialog's `values`, as "&Impressora" builds it.
QVector<Page> ledgerOf(test::LedgerBook& book, const ParamValues& values = {}) {
  const ReportEntry* entry = ReportRegistry::instance().byId("razao");
  BuildContext bc{*book.dm, Output::Printer};
  const Reports defs = entry->build(bc, withInitials(entry->dialog, values));
  PageCollector pages;
  layOut(*defs[0], &book.dm->database(), pages);
  return pages.pages;
}

// "amount letter" of each group header, or of each group footer, in print order.
QStringList balances(const QVector<Page>& pages, BandKind band) {
  QStringList r;
  for (const Page& p : pages) {
    const QStringList t = bandTexts(p, band);
    // Header: label, code, name, label, code, [name], label, amount, letter.
    // Footer: label, amount, letter.
    for (int i = 0; i < t.size(); ++i)
      if (t[i] == (band == BandKind::GroupHeader ? "Sdo. Anterior:" : "Saldo Atual:"))
        r << t[i + 1] + " " + t[i + 2];
  }
  return r;
}

} // namespace

TEST(RazaoQuery, PiecesInOrderAndTheFirstAccountTrimmedOnlyOnScreen) {
  const ParamValues v = {{"EdCon", " 111111"},     {"EdConAte", "111121"},
                         {"EdCor", "999"},         {"EdHist", "0001"},
                         {"EdDocto", "00001"},     {"EdDoctoAte", "00009"},
                         {"EdData", "01/02/2004"}, {"EdDataAte", "31/12/04"}};
  QueryText q;
  ASSERT_TRUE(buildRazaoQuery(q, v, Output::Video));
  const QStringList lines = q.displayText().split('\n');
  ASSERT_EQ(lines.size(), 14) << q.displayText().toStdString();
  EXPECT_TRUE(
      lines[0].startsWith("SELECT cabecalh.nomedaorganizacao, cabecalh.cnpjdaorganizacao,"));
  EXPECT_TRUE(lines[0].endsWith(" FROM cabecalh,lancamen,contas,historic"));
  const QStringList expected = {
      " WHERE lancamen.situacao='P'", " AND contas.niveldaconta='6'",
      " AND lancamen.codigocontacontabil+lancamen.codigocontacorrente=contas.codigocontacontabil+"
      "contas.codigocontacorrente AND lancamen.codigohistorico=historic.codigohistorico",
      " AND contas.codigocontacontabil BETWEEN '111111'", " AND '111121'",
      " AND contas.codigocontacorrente='999'",
      // Alone, the description's own code; in a range, the entry's.
      " AND historic.codigohistorico='0001'", " AND lancamen.numerodocumento BETWEEN '00001'",
      " AND '00009'",
      // Dates go in as the stored ISO form of the day typed.
      " AND lancamen.datadacontabilizacao BETWEEN '2004-02-01'", " AND '2004-12-31'"};
  EXPECT_EQ(lines.mid(1, expected.size()), expected);
  EXPECT_TRUE(lines[12].startsWith(" GROUP BY cabecalh.nomedaorganizacao,"));
  EXPECT_TRUE(lines[12].endsWith("contas.tipodesaldo,historic.codigohistorico"));
  EXPECT_EQ(lines[13],
            "ORDER BY lancamen.anocontasmesdia, lancamen.numerodocumento, lancamen.ordem");
  EXPECT_TRUE(q.sql().contains("lancamen.codigocontacontabil||lancamen.codigocontacorrente="
                               "contas.codigocontacontabil||contas.codigocontacorrente"));

  // The printer takes the first account as typed; a range of histories names the entry's.
  ParamValues p = v;
  p["EdHistAte"] = "0005";
  ASSERT_TRUE(buildRazaoQuery(q, p, Output::Printer));
  const QStringList printed = q.displayText().split('\n');
  EXPECT_EQ(printed[4], " AND contas.codigocontacontabil BETWEEN ' 111111'");
  EXPECT_EQ(printed[7], " AND lancamen.codigohistorico BETWEEN '0001'");

  // A to-field alone adds nothing; a date that is no date refuses the run.
  ASSERT_TRUE(buildRazaoQuery(q, {{"EdConAte", "2"}, {"EdDataAte", "xx"}}, Output::Video));
  EXPECT_EQ(q.displayText().split('\n').size(), 6);
  EXPECT_FALSE(buildRazaoQuery(q, {{"EdData", "31/02/2004"}}, Output::Video));
  EXPECT_FALSE(
      buildRazaoQuery(q, {{"EdData", "01/01/2004"}, {"EdDataAte", "2004"}}, Output::Printer));
}

TEST(RazaoQuery, VideoPutsTheJournalInItsPrimaryOrderButLeavesAnEntryBeingTyped) {
  test::LedgerBook book;
  Table& journal = *book.dm->TbLancamen;
  const ReportEntry* entry = ReportRegistry::instance().byId("razao");
  ASSERT_TRUE(entry);
  ASSERT_EQ(journal.order(), "SI_AnoContasMesDia");
  BuildContext printer{*book.dm, Output::Printer};
  entry->build(printer, entry->dialog->initialValues());
  EXPECT_EQ(journal.order(), "SI_AnoContasMesDia") << "only the screen switches it";
  BuildContext video{*book.dm, Output::Video};
  entry->build(video, entry->dialog->initialValues());
  EXPECT_EQ(journal.order(), "");

  // An entry half typed on the journal page: neither stored nor dropped, the order kept.
  journal.setOrder("SI_AnoContasMesDia");
  journal.edit();
  journal.setValue("HistoricoComplementar", "AINDA DIGITANDO");
  const Reports defs = entry->build(video, entry->dialog->initialValues());
  EXPECT_EQ(defs.size(), 1);
  EXPECT_EQ(journal.state(), Table::State::Edit);
  EXPECT_EQ(journal.order(), "SI_AnoContasMesDia");
  EXPECT_EQ(journal.field("HistoricoComplementar").asString(), "AINDA DIGITANDO");
  journal.cancel();

  // Dates that cannot be read: said, nothing produced, and still the order switched first.
  run(book.ctx, *entry, {{"EdData", "32/01/2004"}}, Output::Video);
  EXPECT_EQ(book.ui.texts(), QStringList{"Dados informados inválidos. Verifique."});
  EXPECT_TRUE(test::openPreviews().isEmpty());
  EXPECT_EQ(journal.order(), "");
}

// The previous balance and its letter from the first entry of a group, in every case of the
// entry's letter against its balance's and of the balance's sign.
TEST(RazaoLayout, PreviousBalanceFromTheFirstEntryInEveryCase) {
  struct Case {
    const char *nature, *dc;
    double value, balance;
    const char* letter;
    const char* expected;
  };
  const Case cases[] = {
      {"D", "D", 30, 100, "D", "70,00 D"},        // entry on the balance's side
      {"D", "C", 30, 100, "D", "130,00 D"},       // entry on the other side
      {"D", "C", 30, -50, "C", "20,00 C"},        // negative balance, entry on its letter's side
      {"D", "D", 30, -50, "C", "80,00 C"},        // negative balance, entry on the other side
      {"D", "D", 30, 10, "D", "20,00 C"},         // crossed over by the entry itself
      {"C", "D", 50, 200, "C", "250,00 C"},       // a credit account
      {"C", "C", 1234.567, 0, "C", "1.234,57 D"}, // brought to zero
      {"D", "D", 0.3, 0.1 + 0.2, "D", "0,00 D"},  // zero within the double's error
      {"D", "D", 0.1 + 0.2, 0.3, "D", "0,00 D"},
  };
  QVector<QVariantList> rows;
  int i = 0;
  for (const Case& c : cases)
    rows << ledgerRow(QString::number(111111 + i++), c.nature, c.dc, c.value, c.balance, c.letter);
  const auto pages = layRazao(rows);
  QStringList expected;
  for (const Case& c : cases)
    expected << c.expected;
  EXPECT_EQ(balances(pages, BandKind::GroupHeader), expected);
  // The running balance prints as an amount with its own letter, in the detail and footer.
  QStringList footers;
  for (const Case& c : cases)
    footers << fmt::amount(std::fabs(c.balance)) + " " + c.letter;
  EXPECT_EQ(balances(pages, BandKind::GroupFooter), footers);
}

TEST(RazaoLayout, BandsAtTheirPlacesAndTheHeaderNotRepeatedOnAContinuationPage) {
  QVector<QVariantList> rows;
  double balance = 0;
  for (int i = 0; i < 70; ++i) {
    balance += i % 2 ? -25.5 : 10;
    rows << ledgerRow("111111", "D", i % 2 ? "C" : "D", i % 2 ? 25.5 : 10, balance,
                      balance < 0 ? "C" : "D");
  }
  rows << ledgerRow("111122", "D", "D", 7, 7, "D");
  const auto pages = layRazao(rows);
  ASSERT_GE(pages.size(), 2);
  const Page& p1 = pages[0];
  EXPECT_EQ(p1.setup.size(), QSizeF(279.4, 215.9));
  EXPECT_EQ(p1.title, "Escrivon - Razão Contábil");

  const PageItem* title = findItem(p1, "Razão Contábil", BandKind::ColumnHeader);
  ASSERT_TRUE(title);
  EXPECT_NEAR(title->x, left + 99.5, 1e-6);
  EXPECT_EQ(title->font, (Font{18, true}));
  const PageItem* caption = findItem(p1, "Saldo da Conta", BandKind::ColumnHeader);
  ASSERT_TRUE(caption);
  EXPECT_NEAR(caption->x, left + 213.8, 1e-6);
  EXPECT_NEAR(caption->y, top + 18.0, 1e-6);

  const double groupTop = top + 23.3;
  const PageItem* code = findItem(p1, "Código Cta. Contábil:", BandKind::GroupHeader);
  ASSERT_TRUE(code);
  EXPECT_NEAR(code->x, left, 1e-6);
  EXPECT_NEAR(code->y, groupTop + 1.0, 1e-6);
  EXPECT_EQ(code->font, (Font{8, false}));
  const PageItem* previous = findItem(p1, "0,00", BandKind::GroupHeader);
  ASSERT_TRUE(previous);
  EXPECT_NEAR(previous->right(), left + 235.0, 1e-6);

  // First entry: 10 D after it; second: -15.5, printed as 15,50 with its own letter C.
  const QStringList detail = bandTexts(p1, BandKind::Detail);
  EXPECT_EQ(detail.mid(0, 8),
            (QStringList{"10/03/2004", "00001", "0001", "PAGAMENTO CONFORME NOTA FISCAL",
                         "COMPLEMENTO", "10,00", "D", "10,00"}));
  const PageItem* second = findItem(p1, "15,50", BandKind::Detail);
  ASSERT_TRUE(second);
  EXPECT_NEAR(second->right(), left + 235.8, 1e-6);
  EXPECT_NEAR(second->y, groupTop + 5.3 + 4.2 + 0.4, 1e-6);
  const PageItem* value = findItem(p1, "25,50", BandKind::Detail);
  ASSERT_TRUE(value);
  EXPECT_NEAR(value->right(), left + 206.7, 1e-6);

  // The account goes on over the next page without its header; its footer closes it there.
  int headers = 0;
  for (const Page& p : pages) {
    const int here = bandTexts(p, BandKind::GroupHeader).count("Código Cta. Contábil:");
    if (p.number == 1) {
      EXPECT_EQ(here, 1);
    }
    headers += here;
    EXPECT_TRUE(findItem(p, "Razão Contábil", BandKind::ColumnHeader)) << p.number;
    EXPECT_TRUE(findItem(p, QString("Página: %1").arg(p.number), BandKind::PageFooter));
  }
  EXPECT_EQ(headers, 2);
  EXPECT_FALSE(bandTexts(pages[1], BandKind::Detail).isEmpty());
  EXPECT_TRUE(bandTexts(pages[1], BandKind::Detail).size() < 71 * 9);
  EXPECT_EQ(bandTexts(pages[0], BandKind::GroupFooter), QStringList{}) << "not closed on page 1";
  ASSERT_LT(balance, 0);
  EXPECT_EQ(balances(pages, BandKind::GroupFooter),
            (QStringList{fmt::amount(-balance) + " C", "7,00 D"}));
  const Page& last = pages.last();
  const PageItem* saldo = findItem(last, "Saldo Atual:", BandKind::GroupFooter);
  ASSERT_TRUE(saldo);
  EXPECT_NEAR(saldo->x, left + 199.5, 1e-6);
  bool rule = false;
  for (const PageItem& it : last.items)
    rule |= it.band == BandKind::GroupFooter && it.kind == PageItem::Kind::Rule &&
            std::abs(it.width - 241.0) < 1e-6 && std::abs(it.y - (saldo->y - 0.6 + 4.5)) < 1e-6;
  EXPECT_TRUE(rule);
  const PageItem* page =
      findItem(last, QString("Página: %1").arg(last.number), BandKind::PageFooter);
  ASSERT_TRUE(page);
  EXPECT_NEAR(page->x, left, 1e-6);
  EXPECT_TRUE(findItem(last, "Escrivon-ZNK", BandKind::PageFooter));
}

// The real query over a book: processed entries of analytic accounts only, an account once
// for each fiscal year, and a date range that starts in mid-year.
TEST(RazaoQuery, AccountsYearByYearFromTheStoredRunningBalances) {
  test::LedgerBook book;
  book.entry(2003, "111111", "999", "2003-03-10", "D", 100, 100, "D", "P", "00001");
  book.entry(2003, "111111", "999", "2003-06-15", "C", 30, 70, "D", "P", "00002");
  book.entry(2004, "111111", "999", "2004-01-05", "D", 50, 120, "D", "P", "00003");
  book.entry(2004, "111111", "999", "2004-07-20", "C", 200, -80, "C", "P", "00004");
  book.entry(2004, "111111", "999", "2004-08-01", "D", 5.25, -74.75, "C", "N", "00005");
  book.entry(2004, "111110", "999", "2004-02-01", "D", 9.75, 9.75, "D", "P", "00006");
  book.entry(2004, "211111", "0001", "2004-03-01", "C", 345.67, 345.67, "C", "P", "00007");

  auto all = ledgerOf(book);
  ASSERT_EQ(all.size(), 1);
  EXPECT_EQ(balances(all, BandKind::GroupHeader), (QStringList{"0,00 D", "70,00 D", "0,00 C"}));
  EXPECT_EQ(balances(all, BandKind::GroupFooter), (QStringList{"70,00 D", "80,00 C", "345,67 C"}));
  const QStringList detail = bandTexts(all[0], BandKind::Detail);
  EXPECT_EQ(detail.count("D") + detail.count("C"), 10) << "five entries, two letters each";
  EXPECT_FALSE(detail.contains("5,25")) << "not processed";
  EXPECT_FALSE(detail.contains("9,75")) << "not an analytic account";
  EXPECT_TRUE(bandTexts(all[0], BandKind::GroupHeader).contains("PAPELARIA CENTRAL LTDA"));

  // One account alone: its two years are still two groups.
  auto one = ledgerOf(book, {{"EdCon", "111111"}});
  EXPECT_EQ(balances(one, BandKind::GroupHeader), (QStringList{"0,00 D", "70,00 D"}));
  EXPECT_EQ(balances(one, BandKind::GroupFooter), (QStringList{"70,00 D", "80,00 C"}));

  // From July: the balance before the first listed entry, not that of the year's start.
  auto july = ledgerOf(book, {{"EdData", "01/07/2004"}, {"EdDataAte", "31/12/2004"}});
  EXPECT_EQ(balances(july, BandKind::GroupHeader), QStringList{"120,00 D"});
  EXPECT_EQ(balances(july, BandKind::GroupFooter), QStringList{"80,00 C"});

  // Codes that match nothing: the page with its header and footer, no account line.
  auto none = ledgerOf(book, {{"EdCon", "999999"}});
  ASSERT_EQ(none.size(), 1);
  EXPECT_TRUE(bandTexts(none[0], BandKind::GroupHeader).isEmpty());
  EXPECT_TRUE(findItem(none[0], "Página: 1", BandKind::PageFooter));
}

// Two documents of one day recorded out of number order: printed in the order their running
// balances were computed (by document number), so the balance column only climbs.
TEST(RazaoQuery, ADaysDocumentsInTheOrderOfTheirRunningBalances) {
  test::LedgerBook book;
  book.entry(2004, "111111", "999", "2004-03-10", "D", 20, 30, "D", "P", "00009");
  book.entry(2004, "111111", "999", "2004-03-10", "D", 10, 10, "D", "P", "00008");
  const QStringList detail = bandTexts(ledgerOf(book).value(0), BandKind::Detail);
  EXPECT_LT(detail.indexOf("00008"), detail.indexOf("00009"));
  EXPECT_LT(detail.indexOf("10,00"), detail.indexOf("30,00"));
}

TEST(RazaoQuery, EscrivonReportWritesTheLedger) {
  ASSERT_TRUE(QFileInfo::exists(test::reportTool()));
  test::LedgerBook book;
  book.entry(2004, "111111", "999", "2004-01-05", "D", 1500, 1500, "D", "P", "00003", "0002",
             "DUPLICATA 77");
  book.entry(2004, "111111", "999", "2004-07-20", "C", 2000, -500, "C", "P", "00004");
  QTemporaryDir out;
  const QString pdf = out.filePath("razao.pdf");
  const auto r =
      test::runReportTool({"--data-dir", book.path(), "razao", "--EdCon", "111111", "-o", pdf});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QString text = test::pdfText(pdf);
  for (const char* s : {"Razão Contábil", "ORGANIZAÇÃO EXEMPLO LTDA", "Código Cta. Contábil:",
                        "CAIXA GERAL", "Sdo. Anterior:", "RECEBIMENTO DE CLIENTE", "DUPLICATA 77",
                        "1.500,00", "2.000,00", "Saldo Atual:", "Página: 1", "Escrivon-ZNK"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
  EXPECT_TRUE(text.contains(QRegularExpression("500,00\\s+C"))) << text.toStdString();
}
