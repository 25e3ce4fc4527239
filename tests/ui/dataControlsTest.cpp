#include "testsupport.h"
#include "ui/dbEdit.h"
#include "ui/dbGrid.h"
#include "ui/dbLookupCombo.h"
#include "ui/yearSelector.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;
using esc::test::OpenBook;

namespace {

void typeOver(QLineEdit& e, const QString& keys) {
  e.selectAll();
  QTest::keyClicks(&e, keys);
}

void leave(QWidget& w) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&w, &out);
}

void clickRow(DBGrid& g, int row, int column = 0) {
  g.scrollTo(g.model()->index(row, column));
  const QRect r = g.visualRect(g.model()->index(row, column));
  QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, r.center());
}

} // namespace

// ---------------------------------------------------------------- DBEdit

TEST(DBEdit, TypingIntoBrowsedRecordEditsItAndFillsTheBuffer) {
  OpenBook b;
  Table* t = b.dm->TbHistoric;
  DBEdit name(b.dm->DsHistoric, "NomeHistorico");
  EXPECT_EQ(name.text(), "PAGAMENTO CONFORME NOTA FISCAL");
  EXPECT_EQ(name.maxLength(), 40);

  typeOver(name, "TARIFA DOC");
  EXPECT_EQ(t->state(), Table::State::Edit);
  EXPECT_EQ(t->field("NomeHistorico").asString(), "TARIFA DOC");
  t->post(); // what a page's Gravar does: the buffer already holds the typed text
  EXPECT_EQ(t->field("NomeHistorico").asString(), "TARIFA DOC");

  // The box follows the table.
  t->next();
  EXPECT_EQ(name.text(), "RECEBIMENTO DE CLIENTE");
  t->cancel();
}

TEST(DBEdit, PatternedFieldWritesTextWithoutTrailingSpaces) {
  OpenBook b;
  Table* t = b.dm->TbContas;
  ASSERT_TRUE(t->locate("CodCtaConCodCtaCor", "1111210001"));
  DBEdit cc(b.dm->DsContas, "CodigoContaCorrente");
  EXPECT_EQ(cc.patternText(), "0001" + QString(10, ' '));
  typeOver(cc, "999");
  EXPECT_EQ(cc.patternText(), "999" + QString(11, ' '));
  EXPECT_EQ(t->value("CodigoContaCorrente").toString(), "999");
  t->cancel();
  EXPECT_EQ(cc.patternText(), "0001" + QString(10, ' ')); // the stored value again
}

TEST(DBEdit, AmountWrittenWhenItReadsWhollyAndRefusedOtherwise) {
  OpenBook b;
  Table* t = b.dm->TbLancamen;
  t->first();
  QWidget page;
  DBEdit value(b.dm->DsLancamen, "ValorLancamento", &page);
  QStringList said;
  value.onWriteError = [&](const StoreError& e) { said << e.message(); };
  EXPECT_EQ(value.text(), "50.000,00");

  typeOver(value, "1234,5");
  EXPECT_EQ(t->state(), Table::State::Edit);
  EXPECT_DOUBLE_EQ(t->field("ValorLancamento").asFloat(), 1234.5);
  leave(value);
  EXPECT_EQ(value.text(), "1.234,50");

  // Not the "10" of "10.50": the record holds no amount, the text stays for correction and is
  // refused on leaving and before a save.
  for (const char* bad : {"10.50", "1.5", "nan", "1.000.000.000.000,00", "1,23456"}) {
    said.clear();
    typeOver(value, bad);
    EXPECT_TRUE(t->field("ValorLancamento").isNull()) << bad;
    leave(value);
    EXPECT_EQ(value.text(), bad);
    EXPECT_FALSE(DBEdit::typedTextsAccepted(&page));
    const QString refused = QString("'") + bad + "' não é um valor válido.";
    EXPECT_EQ(said, QStringList({refused, refused}));
  }
  typeOver(value, "-999.999.999.999,9999");
  EXPECT_TRUE(DBEdit::typedTextsAccepted(&page));
  EXPECT_DOUBLE_EQ(t->field("ValorLancamento").asFloat(), -999999999999.9999);
  t->cancel();
  EXPECT_EQ(value.text(), "50.000,00");

  // A grid's amount cell is refused alike, and nothing is written.
  b.ui.clear();
  DBGrid grid;
  grid.setDataSource(b.dm->DsLancamen);
  grid.setColumns({{"ValorLancamento", "", 0}});
  grid.setReadOnly(false);
  grid.setUi(&b.ui);
  EXPECT_FALSE(grid.model()->setData(grid.model()->index(0, 0), "inf"));
  EXPECT_EQ(b.ui.texts(), QStringList{"'inf' não é um valor válido."});
  EXPECT_DOUBLE_EQ(t->field("ValorLancamento").asFloat(), 50000.0);
  t->cancel();
}

TEST(DBEdit, DateUnderEightPositionPatternUsesTwoDigitYear) {
  OpenBook b;
  Table* t = b.dm->TbLancamen;
  t->first();
  DBEdit date(b.dm->DsLancamen, "DataDaContabilizacao");
  EXPECT_EQ(date.patternText(), "05/01/04");
  date.setCursorPosition(0);
  QTest::keyClicks(&date, "100204");
  EXPECT_EQ(t->field("DataDaContabilizacao").asDate(), QDate(2004, 2, 10));
  // Half-typed: the buffer keeps the last full date.
  date.setCursorPosition(0);
  QTest::keyClicks(&date, "3/4");
  EXPECT_EQ(t->field("DataDaContabilizacao").asDate(), QDate(2004, 2, 10));
  t->cancel();
}

TEST(DBEdit, WithoutAutoEditBrowsedRecordIsNotChanged) {
  OpenBook b;
  b.dm->DsHistoric->setAutoEdit(false);
  DBEdit name(b.dm->DsHistoric, "NomeHistorico");
  typeOver(name, "X");
  EXPECT_EQ(b.dm->TbHistoric->state(), Table::State::Browse);
  EXPECT_EQ(name.text(), "PAGAMENTO CONFORME NOTA FISCAL");
  b.dm->DsHistoric->setAutoEdit(true);
}

TEST(DBEdit, HeldBackWhileControlsAreDisabledAndLookupIsReadOnly) {
  OpenBook b;
  Table* t = b.dm->TbHistoric;
  DBEdit name(b.dm->DsHistoric, "NomeHistorico");
  t->disableControls();
  t->last();
  EXPECT_EQ(name.text(), "PAGAMENTO CONFORME NOTA FISCAL");
  t->enableControls();
  EXPECT_EQ(name.text(), "PRESTAÇÃO DE SERVIÇOS");

  DBEdit lookup(b.dm->DsLancamen, "NomeHistorico");
  EXPECT_TRUE(lookup.isReadOnly());
  EXPECT_EQ(lookup.text(), b.dm->TbLancamen->field("NomeHistorico").asString());
  EXPECT_FALSE(lookup.text().isEmpty());
}

TEST(DBEdit, AFieldWrittenWhileControlsAreSuspendedShowsWhenTheyResume) {
  OpenBook b;
  Table* t = b.dm->TbHistoric;
  DBEdit name(b.dm->DsHistoric, "NomeHistorico");
  t->edit();
  t->disableControls();
  t->setValue("NomeHistorico", "TARIFA DOC");
  EXPECT_EQ(name.text(), "PAGAMENTO CONFORME NOTA FISCAL");
  t->enableControls();
  EXPECT_EQ(name.text(), "TARIFA DOC");
  t->cancel();
}

// ---------------------------------------------------------------- DBGrid

namespace {
struct ChartGrid {
  explicit ChartGrid(OpenBook& b) {
    grid.setDataSource(b.dm->DsContas);
    grid.setColumns({{"CodigoContaContabil", "", 0},
                     {"CodigoContaCorrente", "", 0},
                     {"NomeContaContabil", "", 0}});
    grid.setUi(&b.ui);
    grid.resize(600, 300);
    grid.show();
  }
  DBGrid grid;
};
} // namespace

TEST(DBGrid, GridAndTableMoveAsOne) {
  OpenBook b;
  Table* t = b.dm->TbContas;
  ChartGrid g(b);
  DBGrid& grid = g.grid;
  EXPECT_EQ(grid.model()->rowCount(), t->recordCount());
  EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal).toString(), "Nome da Conta Contábil");
  EXPECT_EQ(grid.currentIndex().row(), 0);

  t->moveBy(3);
  EXPECT_EQ(grid.currentIndex().row(), 3);
  t->last();
  EXPECT_EQ(grid.currentIndex().row(), t->recordCount() - 1);

  clickRow(grid, 7);
  EXPECT_EQ(t->recNo(), 8);
  EXPECT_EQ(t->field("CodigoContaContabil").asString(),
            grid.model()->index(7, 0).data().toString());
  QTest::keyClick(grid.viewport(), Qt::Key_Down);
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(t->recNo(), grid.currentIndex().row() + 1);
  EXPECT_EQ(t->field("CodigoContaContabil").asString(),
            grid.model()->index(grid.currentIndex().row(), 0).data().toString());

  // A new order puts the rows elsewhere; the grid reads them again and follows.
  t->setOrder("SI_NomCtaCon");
  EXPECT_EQ(grid.model()->index(0, 2).data().toString(), "ALUGUÉIS");
  EXPECT_EQ(grid.currentIndex().row(), t->recNo() - 1);
}

TEST(DBGrid, ReadsPagesOfALargerTableAndFollowsItsFilter) {
  OpenBook b;
  Table* t = b.dm->TbBalanco; // 12 rows per account: several pages
  DBGrid grid;
  grid.setDataSource(b.dm->DsBalanco);
  grid.setColumns({{"CodCtaConCodCtaCor", "", 0}, {"SaldoAtual", "", 0}});
  const int n = t->recordCount();
  ASSERT_GT(n, 3 * TableModel::pageSize);
  t->last();
  EXPECT_EQ(grid.currentIndex().row(), n - 1);
  EXPECT_EQ(grid.model()->index(n - 1, 0).data().toString(),
            t->field("CodCtaConCodCtaCor").asString());
  EXPECT_EQ(grid.model()->index(n - 1, 1).data().toString(), "0,00");
  EXPECT_EQ(grid.model()->index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
            Qt::AlignRight);

  t->setFilter("CodigoContaContabil = '111121'");
  t->setFiltered(true);
  EXPECT_EQ(grid.model()->rowCount(), 24);
  EXPECT_EQ(grid.currentIndex().row(), 0);
  t->setFiltered(false);
  EXPECT_EQ(grid.model()->rowCount(), n);
}

TEST(DBGrid, ReadOnlyGridRefusesTyping) {
  OpenBook b;
  Table* t = b.dm->TbContas;
  ChartGrid g(b);
  clickRow(g.grid, 2, 2);
  const QString before = t->field("NomeContaContabil").asString();
  QTest::keyClicks(&g.grid, "XYZ");
  QTest::keyClick(&g.grid, Qt::Key_Return);
  EXPECT_EQ(t->state(), Table::State::Browse);
  EXPECT_EQ(t->recNo(), 3); // typing did not jump to a row either
  EXPECT_EQ(t->field("NomeContaContabil").asString(), before);
  EXPECT_FALSE(g.grid.model()->flags(g.grid.currentIndex()) & Qt::ItemIsEditable);
}

namespace {
// Types into the current cell of an editable grid and commits with Enter.
void typeIntoCell(DBGrid& grid, const QString& text) {
  QTest::keyClick(&grid, Qt::Key_F2);
  QLineEdit* editor = grid.viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents(); // the delegate commits Enter through the event queue
}
} // namespace

namespace {
// The standard descriptions in an editable grid on screen, refused posts reported to the book's Ui.
void showEditableDescriptions(DBGrid& grid, OpenBook& b) {
  grid.setDataSource(b.dm->DsHistoric);
  grid.setColumns({{"CodigoHistorico", "", 0}, {"NomeHistorico", "", 0}});
  grid.setReadOnly(false);
  grid.setUi(&b.ui);
  grid.resize(500, 300);
  grid.show();
}
} // namespace

TEST(DBGrid, EditableGridWritesTheCellAndPostsWhenMovingRows) {
  OpenBook b;
  Table* t = b.dm->TbHistoric;
  DBGrid grid;
  showEditableDescriptions(grid, b);

  clickRow(grid, 1, 1);
  typeIntoCell(grid, "RECEBIMENTO DE DUPLICATA");
  EXPECT_EQ(t->state(), Table::State::Edit);
  EXPECT_EQ(t->field("NomeHistorico").asString(), "RECEBIMENTO DE DUPLICATA");
  EXPECT_EQ(grid.model()->index(1, 1).data().toString(), "RECEBIMENTO DE DUPLICATA");

  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(t->state(), Table::State::Browse);
  EXPECT_EQ(t->recNo(), 3);
  EXPECT_EQ(grid.currentIndex().row(), 2);
  ASSERT_TRUE(t->findKey({"0002"}));
  EXPECT_EQ(t->field("NomeHistorico").asString(), "RECEBIMENTO DE DUPLICATA");
  EXPECT_TRUE(b.ui.said.empty());
}

TEST(DBGrid, RefusedPostIsShownAndTheGridStaysOnTheRow) {
  OpenBook b;
  Table* t = b.dm->TbHistoric;
  DBGrid grid;
  showEditableDescriptions(grid, b);

  clickRow(grid, 1, 0);
  typeIntoCell(grid, "0001"); // the code of row 0
  clickRow(grid, 4, 0);
  EXPECT_EQ(b.ui.texts(), QStringList{"Código de histórico já cadastrado. Não pode ser repetido."});
  EXPECT_EQ(t->state(), Table::State::Edit);
  EXPECT_EQ(grid.currentIndex().row(), 1);

  // A grid without the data module's hook shows the store's own message.
  b.ui.clear();
  t->onPostError = nullptr;
  clickRow(grid, 4, 0);
  EXPECT_EQ(b.ui.texts(), QStringList{"Key violation."});
  EXPECT_EQ(grid.currentIndex().row(), 1);
  t->cancel();
  EXPECT_EQ(grid.model()->index(1, 0).data().toString(), "0002");
}

TEST(DBGrid, InsertedRecordIsAnExtraRowUntilPosted) {
  OpenBook b;
  Table* t = b.dm->TbHistoric;
  DBGrid grid;
  grid.setDataSource(b.dm->DsHistoric);
  grid.setColumns({{"CodigoHistorico", "", 0}, {"NomeHistorico", "", 0}});
  const int n = t->recordCount();
  t->insert();
  EXPECT_EQ(grid.model()->rowCount(), n + 1);
  EXPECT_EQ(grid.currentIndex().row(), n);
  t->setValue("CodigoHistorico", "0000");
  t->setValue("NomeHistorico", "ABERTURA");
  EXPECT_EQ(grid.model()->index(n, 1).data().toString(), "ABERTURA");
  t->post();
  EXPECT_EQ(grid.model()->rowCount(), n + 1);
  EXPECT_EQ(grid.currentIndex().row(), 0); // "0000" sorts first
  EXPECT_EQ(grid.model()->index(0, 1).data().toString(), "ABERTURA");
}

// ---------------------------------------------------------------- DBLookupCombo

TEST(DBLookupCombo, ShowsTheEntrysLookupAndWritesThePickedKey) {
  OpenBook b;
  Table* t = b.dm->TbLancamen;
  t->first();
  DBLookupCombo combo;
  combo.setDataSource(b.dm->DsLancamen);
  combo.setListTable(b.dm->TbContas);
  combo.setDataField("NomeContaContabil");
  EXPECT_EQ(combo.count(), b.dm->TbContas->recordCount());
  EXPECT_EQ(combo.currentText(), t->field("NomeContaContabil").asString());
  EXPECT_EQ(combo.keyValue(), t->field("CodigoContaContabil").asString());

  const int caixa = combo.findText("CAIXA GERAL");
  ASSERT_GE(caixa, 0);
  combo.setCurrentIndex(caixa);
  emit combo.activated(caixa); // what the list's click does
  EXPECT_EQ(t->state(), Table::State::Edit);
  EXPECT_EQ(t->field("CodigoContaContabil").asString(), "111111");
  EXPECT_EQ(t->field("NomeContaContabil").asString(), "CAIXA GERAL");
  t->cancel();
  EXPECT_EQ(combo.keyValue(), t->field("CodigoContaContabil").asString());

  t->last();
  EXPECT_EQ(combo.currentText(), t->field("NomeContaContabil").asString());
}

// ---------------------------------------------------------------- YearSelector

TEST(YearSelector, SelectsAndLocatesListedYearsOnly) {
  OpenBook b;
  Table* f = b.dm->TbFechamen;
  YearSelector years;
  years.setTable(f);
  for (const char* y : {"2005", "2003"}) {
    f->insert();
    f->setValue("Exercicio", y);
    f->post();
  }
  ASSERT_EQ(years.count(), 3);
  EXPECT_EQ(years.itemText(0), "2003");
  EXPECT_EQ(years.itemText(2), "2005");

  years.setYear("2004");
  EXPECT_EQ(years.text(), "2004");
  EXPECT_EQ(f->field("Exercicio").asString(), "2004");

  years.setYear("1999");
  EXPECT_EQ(years.year(), "");
  EXPECT_EQ(years.currentIndex(), -1);

  // The user's choice locates the row too.
  years.setCurrentIndex(2);
  emit years.activated(2);
  EXPECT_EQ(years.year(), "2005");
  EXPECT_EQ(f->field("Exercicio").asString(), "2005");

  // A year that disappears from the table leaves nothing selected.
  f->remove();
  EXPECT_EQ(years.count(), 2);
  EXPECT_EQ(years.year(), "");
}
