// Reversal of a processed document, on the demo book's processed year.
#include "journal/reversal.h"
#include "book/amounts.h"
#include "processingBook.h"
#include "widgets.h"

#include <QPushButton>

namespace esc::test {
namespace {

// Every trial-balance row of the year: key -> closing balance, rounded.
std::map<QString, double> closings(Database& db) {
  std::map<QString, double> out;
  for (const auto& r : db.select("SELECT CodCtaConCodCtaCor, SaldoAtual FROM balanco "
                                 "WHERE Periodo LIKE '2023%'"))
    out[r[0].toString()] = roundAmount(r[1].toDouble());
  return out;
}

int month(const QString& key) {
  return key.mid(4, 2).toInt();
}

} // namespace

// Document 00002 of 20/01 is processed, then reversed from the page on 15/04: January to
// March keep its effect, April on closes as before it was processed.
TEST(Reversal, FromTheReversalsMonthOnEveryPairClosesAsBeforeTheOriginal) {
  ProcessingBook book(true, 2023);
  Database& db = book.db();
  const auto before = closings(db);
  ASSERT_TRUE(book.process("00002"));
  const auto processed = closings(db);
  const QString next = documentNumber(
      QString::number(db.selectValue("SELECT max(NumeroDocumento) FROM lancamen").toInt() + 1));

  QWidget window;
  auto* page = new DocumentosPage(book.ctx, &window);
  book.ui.clear();
  book.ui.promptAnswers = {QString("15/04/2023")};
  book.ui.confirmAnswers = {true};
  child<QPushButton>(&window, "ButEstornar")->click();
  EXPECT_EQ(book.ui.lastPromptDefault.size(), 10); // a date of 2023 offered
  EXPECT_EQ(book.ui.texts(),
            QStringList({"Estorno do documento 00002",
                         "Confirma o estorno do documento 00002 em 15/04/2023?",
                         "Documento 00002 estornado pelo documento " + next + ", de 15/04/2023."}));
  // The page shows the reversing document.
  EXPECT_EQ(child<QLineEdit>(&window, "EditNumDocto")->text(), next);
  EXPECT_EQ(book.dm->TbLancamen->filter(), "NumeroDocumento=" + next);
  EXPECT_EQ(child<QLineEdit>(&window, "MskTotDeb")->text(), "345,67");
  delete page;

  QStringList rows;
  for (const auto& r : db.select("SELECT CodigoContaContabil, TipoDeLancamento, ValorLancamento, "
                                 "HistoricoComplementar, Situacao, DataDaContabilizacao "
                                 "FROM lancamen WHERE NumeroDocumento = ? ORDER BY rowid",
                                 {next})) {
    QStringList fields;
    for (const QVariant& v : r)
      fields << v.toString();
    rows << fields.join('|');
  }
  // Cut to the field's 40 characters.
  const QString text = "|345.67|ESTORNO DOC 00002 NF 1234 PAPELARIA CENT|P|2023-04-15";
  EXPECT_EQ(rows, QStringList({"211111|D" + text, "411114|C" + text}));
  EXPECT_EQ(reversingDocument(db, "00002"), next);
  EXPECT_EQ(reversedDocument(db, next), "00002");

  const auto after = closings(db);
  ASSERT_EQ(after.size(), before.size());
  int changedByOriginal = 0;
  for (const auto& [key, closing] : after) {
    if (month(key) >= 4)
      EXPECT_DOUBLE_EQ(closing, before.at(key)) << key.toStdString();
    else
      EXPECT_DOUBLE_EQ(closing, processed.at(key)) << key.toStdString();
    if (month(key) < 4 && processed.at(key) != before.at(key)) ++changedByOriginal;
  }
  EXPECT_EQ(changedByOriginal, 2 * 3); // two pairs, January to March
}

TEST(Reversal, RefusalsSayWhyAndWriteNothing) {
  ProcessingBook book(true, 2023);
  Database& db = book.db();
  NoProgress none;
  ASSERT_TRUE(reverseDocument(db, "2023", "00005", QDate(2023, 2, 1), none).done);
  const QString reversal = *reversingDocument(db, "00005");
  const auto journal = [&] {
    return db.select("SELECT rowid, Situacao, SaldoAtual FROM lancamen ORDER BY rowid");
  };
  const auto entries = journal();
  const auto balances = closings(db);

  const std::pair<QString, QString> refused[] = {
      {"00001", "Documento 00001 não foi processado. Só um documento processado é estornado; um "
                "não processado pode ser alterado."},
      {"00005", "Documento 00005 já foi estornado pelo documento " + reversal + "."},
      {reversal, "Documento " + reversal +
                     " é o estorno do documento 00005 e não pode ser "
                     "estornado."},
      {"99999", "Documento 99999 não contém lançamentos. Nada a estornar."}};
  for (const auto& [document, text] : refused) {
    EXPECT_EQ(reversalRefusal(db, "2023", document), text);
    EXPECT_EQ(reverseDocument(db, "2023", document, QDate(2023, 12, 31), none).message, text);
  }
  // Document 00008 is of 18/01/2023.
  EXPECT_EQ(reverseDocument(db, "2023", "00008", QDate(2023, 1, 17), none).message,
            "Data do estorno 17/01/2023 é anterior à do documento 00008 (18/01/2023).");
  EXPECT_EQ(reverseDocument(db, "2023", "00008", QDate(2024, 1, 2), none).message,
            "Data do estorno 02/01/2024 fora do exercício 2023.");
  EXPECT_EQ(reverseDocument(db, "2024", "00008", QDate(2024, 1, 2), none).message,
            "Documento 00008 não é do exercício 2024. Selecione o exercício do documento para "
            "estorná-lo.");
  EXPECT_EQ(journal(), entries);
  EXPECT_EQ(closings(db), balances);

  // The date offered: today brought inside the year, never before the original.
  EXPECT_EQ(defaultReversalDate(db, "2023", "00008", QDate(2026, 5, 1)), QDate(2023, 12, 31));
  EXPECT_EQ(defaultReversalDate(db, "2023", "00008", QDate(2022, 5, 1)), QDate(2023, 1, 18));
  EXPECT_EQ(reversalComplement("00008", QString(40, 'X')).size(), 40);
}

} // namespace esc::test
