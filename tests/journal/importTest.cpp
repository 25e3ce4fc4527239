// Entries brought in from spreadsheets and bank statements, on the demo book of 2023 (its
// documents 00001 and 00002 typed and not processed).
#include "bookFixture.h"
#include "journal/csvImport.h"
#include "journal/documentProcessing.h"
#include "journal/ofxImport.h"
#include "journal/pages/documentosPage.h"
#include "widgets.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <time.h>

using namespace esc;
using namespace esc::test;

namespace {

struct ImportBook : PageBook {
  ImportBook() : PageBook(true, 2023) {}
  int entries() { return db().selectValue("SELECT count(*) FROM lancamen").toInt(); }
  // The entries of the documents from `first` on, one line each, in document and entry order.
  QStringList journalFrom(const QString& first) {
    QStringList out;
    for (const auto& r :
         db().select("SELECT NumeroDocumento, DataDaContabilizacao, CodigoContaContabil, "
                     "CodigoContaCorrente, CodigoHistorico, TipoDeLancamento, ValorLancamento, "
                     "HistoricoComplementar, Situacao, AnoContasMesDia FROM lancamen "
                     "WHERE NumeroDocumento >= ? ORDER BY NumeroDocumento, rowid",
                     {first})) {
      QStringList f;
      for (const QVariant& v : r)
        f << v.toString();
      out << f.join('|');
    }
    return out;
  }
};

OperationResult csv(ImportBook& b, const QByteArray& text, const QString& year = "2023") {
  NoProgress quiet;
  return importCsv(b.db(), year, text, quiet);
}

const OfxImportOptions bankOne{"111121", "0001", "111111", "999", "0005"};
const OfxImportOptions bankTwo{"111121", "0002", "111111", "999", "0005"};

OperationResult ofx(ImportBook& b, const QString& file, const OfxImportOptions& o,
                    const QString& year = "2023") {
  NoProgress quiet;
  return importOfxFile(b.db(), year, QStringLiteral(IMPORT_DATA "/") + file, o, quiet);
}

// Runs `f` with the process's time zone set to `zone`, as if the machine stood there.
template <class F> void inTimeZone(const char* zone, F f) {
  const QByteArray before = qgetenv("TZ");
  qputenv("TZ", zone);
  tzset();
  f();
  if (before.isNull())
    qunsetenv("TZ");
  else
    qputenv("TZ", before);
  tzset();
}

} // namespace

TEST(CsvImport, GoodLinesBecomeUnprocessedDocumentsThatProcess) {
  ImportBook b;
  // Windows-1252, ";" and decimal commas; document "A" spread over the file, the blank ones
  // split where they balance; a quoted complement holding the separator.
  const QByteArray semicolons =
      QString::fromUtf8("Data;Documento;Conta;Corrente;DC;Valor;Histórico;Complemento\r\n"
                        "05/03/2023;A;411114;999;D;1.234,50;0006;\"NF 77; papelaria\"\r\n"
                        "06/03/2023;;411112;999;D;3200;0001;aluguel março\r\n"
                        "06/03/2023;;111121;0001;C;3.200,00;0001;aluguel março\r\n"
                        "05/03/2023;A;211111;0001;C;1234,5;0006;NF 77\r\n"
                        "07/03/2023;;411113;999;D;10,01;0001;\r\n"
                        "07/03/2023;;111111;999;C;10,01;0001;\r\n"
                        ";;;;;;;\r\n")
          .toLatin1();
  OperationResult r = csv(b, semicolons);
  ASSERT_TRUE(r.isDone()) << qPrintable(r.message());
  EXPECT_EQ(r.message(),
            "6 lançamentos importados em 3 documentos (00003 a 00005), a conferir e processar.");
  EXPECT_EQ(b.journalFrom("00003"),
            QStringList({"00003|2023-03-05|411114|999|0006|D|1234.5|NF 77; PAPELARIA|N|"
                         "2023411114999           0305",
                         "00003|2023-03-05|211111|0001|0006|C|1234.5|NF 77|N|"
                         "20232111110001          0305",
                         "00004|2023-03-06|411112|999|0001|D|3200|ALUGUEL MARÇO|N|"
                         "2023411112999           0306",
                         "00004|2023-03-06|111121|0001|0001|C|3200|ALUGUEL MARÇO|N|"
                         "20231111210001          0306",
                         "00005|2023-03-07|411113|999|0001|D|10.01||N|"
                         "2023411113999           0307",
                         "00005|2023-03-07|111111|999|0001|C|10.01||N|"
                         "2023111111999           0307"}));
  // Left to be looked at, then processed as they stand.
  NoProgress quiet;
  const ProcessingResult processed =
      DocumentProcessing(b.db(), "2023").run({"00003", "00004", "00005"}, quiet);
  EXPECT_TRUE(processed.isDone());

  // UTF-8, "," and decimal dots, ISO dates: the file says which.
  r = csv(b, "data,conta,corrente,dc,valor,historico\n"
             "2023-04-01,411114,999,D,\"1,000.25\",0006\n"
             "2023-04-01,111111,999,C,1000.25,0006\n");
  ASSERT_TRUE(r.isDone()) << qPrintable(r.message());
  EXPECT_EQ(r.figure("primeiro"), 6);
  EXPECT_EQ(b.db()
                .selectValue("SELECT total(ValorLancamento) FROM lancamen "
                             "WHERE NumeroDocumento = '00006'")
                .toDouble(),
            2000.5);
}

TEST(CsvImport, EveryBadLineIsNamedAndNothingIsWritten) {
  ImportBook b;
  const int before = b.entries();
  const OperationResult r =
      csv(b, "data;documento;conta;corrente;dc;valor;historico;complemento\n"
             "05/03/2023;1;411114;999;D;12,3,4;0006;\n" // 2: amount
             "05/03/2023;1;41111;999;D;10;0006;\n"      // 3: account code
             "05/03/2023;1;411114;555;D;10;0006;\n"     // 4: no such pair
             "05/03/2023;1;411110;999;D;10;0006;\n"     // 5: synthetic
             "05/03/2023;1;411114;999;D;10;9999;\n"     // 6: description
             "05/03/2023;1;411114;999;X;10;0006;\n"     // 7: D/C
             "31/02/2023;1;411114;999;D;10;0006;\n"     // 8: date
             "05/03/2022;1;411114;999;D;10;0006;\n"     // 9: another year
             "05/03/2023;1;411114;999;C;;0006;\n"       // 10: no amount
             "05/03/2023;2;411114;999;D;10;0006;\n"     // 11-12: two dates
             "06/03/2023;2;111111;999;C;10;0006;\n"     //
             "05/03/2023;3;411114;999;D;10;0006;\n"     // 13-14: unbalanced
             "05/03/2023;3;111111;999;C;9,99;0006;\n"   //
             "05/03/2023;;411114;999;D;7;0006;;extra\n" // 15: a column too many
             "05/03/2023;;111111;999;C;7;0006;\n");     // 16
  ASSERT_TRUE(r.isRefused());
  EXPECT_EQ(r.message().split('\n'),
            QStringList({
                "Nada foi importado.",
                "linha 2, coluna valor: '12,3,4' não é um valor válido.",
                "linha 3, coluna conta: Código da conta contábil tem de ter 6 dígitos.",
                "linha 3, coluna corrente: Conta corrente não cadastrada para a conta contábil.",
                "linha 4, coluna corrente: Conta corrente não cadastrada para a conta contábil.",
                "linha 5, coluna conta: Conta especificada é sintética. Não pode receber "
                "lançamentos.",
                "linha 6, coluna historico: Histórico não cadastrado.",
                "linha 7, coluna dc: Tipo de lançamento só pode ser D (Débito) ou C (Crédito).",
                "linha 8, coluna data: '31/02/2023' não é uma data válida.",
                "linha 9, coluna data: '05/03/2022' não é data do exercício 2023.",
                "linha 10, coluna valor: Valor do lançamento tem de ter maior que zero.",
                "linha 12, coluna data: Data do lançamento n. 2 diverge do lançamento n. 1",
                "documento '3' (linhas 13 a 14): Documento inválido. Soma de Créditos: 9,99 - "
                "Débitos: 10",
                "linha 15: 9 colunas, o cabeçalho tem 8.",
            }));
  EXPECT_EQ(b.entries(), before);
}

// The same statements give the same documents wherever the machine stands; a second import of
// a statement takes nothing again.
TEST(OfxImport, StatementsImportOnceWithTheBanksDatesInAnyTimeZone) {
  QStringList journals;
  for (const char* zone : {"America/Sao_Paulo", "Asia/Tokyo"}) {
    inTimeZone(zone, [&] {
      ImportBook b;
      OperationResult r = ofx(b, "extrato-ofx1.ofx", bankOne);
      EXPECT_EQ(r.message(), "3 transações importadas, 0 já importadas antes.") << zone;
      r = ofx(b, "extrato-ofx2.ofx", bankTwo);
      EXPECT_EQ(r.message(), "3 transações importadas, 0 já importadas antes.") << zone;
      EXPECT_EQ(r.figure("primeiro"), 6);
      const int entries = b.entries();
      EXPECT_EQ(ofx(b, "extrato-ofx1.ofx", bankOne).message(),
                "0 transações importadas, 3 já importadas antes.");
      EXPECT_EQ(ofx(b, "extrato-ofx2.ofx", bankTwo).message(),
                "0 transações importadas, 3 já importadas antes.");
      EXPECT_EQ(b.entries(), entries);
      journals << b.journalFrom("00003").join('\n');
    });
  }
  EXPECT_EQ(journals[0], journals[1]);
  const QStringList journal = journals[0].split('\n');
  ASSERT_EQ(journal.size(), 12);
  // Money in debits the bank; out credits it. The day is the one the bank wrote, late at night
  // in Brasília or early in Tokyo.
  EXPECT_EQ(journal[0], "00003|2023-03-01|111121|0001|0005|D|1500|TED RECEBIDA COMERCIAL "
                        "ARAÚJO LTDA|N|20231111210001          0301");
  EXPECT_EQ(journal[1], "00003|2023-03-01|111111|999|0005|C|1500|TED RECEBIDA COMERCIAL "
                        "ARAÚJO LTDA|N|2023111111999           0301");
  EXPECT_EQ(journal[2].section('|', 0, 7), "00004|2023-03-15|111121|0001|0005|C|35.9|TARIFA "
                                           "PACOTE DE SERVIÇOS");
  EXPECT_EQ(journal[9].section('|', 0, 7), "00007|2023-04-28|111111|999|0005|D|812.34|CONTA "
                                           "DE ENERGIA ABRIL");
  EXPECT_EQ(journal[10].section('|', 0, 5), "00008|2023-04-30|111121|0002|0005|D");
}

TEST(OfxImport, ATransactionOutsideTheYearOrABadAccountRefusesTheStatement) {
  ImportBook b;
  const int before = b.entries();
  EXPECT_EQ(ofx(b, "extrato-ofx2.ofx", bankTwo, "2024").message(),
            "Transações fora do exercício 2024. Nada foi importado.\n"
            "FITID BB-0401, 03/04/2023, 2.500,00, DEPÓSITO EM DINHEIRO\n"
            "FITID BB-0402, 28/04/2023, -812,34, CONTA DE ENERGIA ABRIL\n"
            "FITID BB-0403, 30/04/2023, 12,07, RENDIMENTO APLICAÇÃO");
  EXPECT_EQ(ofx(b, "extrato-ofx2.ofx", {"111120", "999", "111111", "998", "0099"}).message(),
            "Conta do banco 111120/999: Conta especificada é sintética. Não pode receber "
            "lançamentos.\n"
            "Histórico 0099: Histórico não cadastrado.\n"
            "Contrapartida 111111/998: Conta corrente não cadastrada para a conta contábil.");
  EXPECT_EQ(b.entries(), before);
}

// The page asks the file and the choices, imports, chooses the first new document and says
// the counts.
TEST(DocumentosImport, TheStatementDialogsChoicesImportAndTheFirstDocumentIsShown) {
  ImportBook b;
  QWidget window;
  auto* page = new DocumentosPage(b.ctx, &window);
  page->askStatement = [&]() -> std::optional<OfxImportChoice> {
    OfxImportDialog dialog(b.db(), page);
    child<QLineEdit>(&dialog, "EditArquivoOfx")->setText(IMPORT_DATA "/extrato-ofx1.ofx");
    for (const auto& [name, text] :
         {std::pair{"CmbContaBanco", "111121/0001"}, std::pair{"CmbContrapartida", "111111/999"},
          std::pair{"CmbHistoricoOfx", "0005"}}) {
      auto* list = child<QComboBox>(&dialog, name);
      list->setCurrentIndex(list->findText(text, Qt::MatchStartsWith));
    }
    return dialog.choice();
  };
  child<QPushButton>(&window, "ButImportaExtrato")->click();
  EXPECT_EQ(b.ui.texts(), QStringList{"3 transações importadas, 0 já importadas antes."});
  EXPECT_EQ(child<QLineEdit>(&window, "EditNumDocto")->text(), "00003");
  EXPECT_EQ(b.dm->TbLancamen->recordCount(), 2);
  EXPECT_EQ(child<QLineEdit>(&window, "MskTotDeb")->text(), "1500");
}
