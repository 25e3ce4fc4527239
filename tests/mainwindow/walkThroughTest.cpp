// A year's work on the demo book as an accountant does it, through the main window's own
// widgets: type and process a document, update the synthetic accounts, open the next year,
// carry the balances forward, update both statements, then every report to the preview and
// to the printer.
#include "reports/dialogs/previewWindow.h"
#include "reports/dialogs/reportRun.h"
#include "reports/engine/registry.h"
#include "startedWindow.h"
#include "testsupport.h"
#include "ui/yearSelector.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace esc;

namespace {

struct WalkThrough {
  WalkThrough() {
    DatabaseRegistry::registerName(TDEscrivon::databaseName, book.path());
    dm = std::make_unique<TDEscrivon>(ui);
    w = std::make_unique<TF_Escrivon>(*dm);
    test::typePasswordOnStart(*w, "escrivon");
  }
  ~WalkThrough() {
    for (QWidget* t : QApplication::topLevelWidgets())
      if (t != w.get() && t->isVisible()) t->close();
    report::setPrinterFactory({});
  }

  template <class T> T* get(const QString& name) {
    T* found = w->findChild<T*>(name);
    EXPECT_TRUE(found) << name.toStdString();
    return found;
  }
  // A click as the user makes it: the main window's tick first sets the buttons.
  void click(const QString& name) {
    w->refresh();
    auto* b = get<QPushButton>(name);
    ASSERT_TRUE(b->isEnabled()) << name.toStdString();
    QTest::mouseClick(b, Qt::LeftButton);
  }
  void type(const QString& name, const QString& text) {
    auto* e = get<QLineEdit>(name);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
  }
  void pick(const QString& name, const QString& key) {
    auto* c = get<QComboBox>(name);
    const int i = c->findData(key);
    ASSERT_GE(i, 0) << name.toStdString() << " has no " << key.toStdString();
    c->setCurrentIndex(i);
    emit c->activated(i);
  }
  void entry(const char* account, const char* current, const char* dc, const char* amount,
             const QString& date = {}) {
    click("ButIncluiLote");
    if (!date.isEmpty()) get<QLineEdit>("EditDataLancto")->setText(date);
    pick("DbLKCtaCon", account);
    pick("DBLkCorrente", current);
    pick("DBLkCodHis", "0008");
    type("DBEdit8", "nf 4711");
    type("DBEdit10", dc);
    type("DBEdit9", amount);
    click("ButGravarLote");
  }
  // What the system said since the last look, and forget it.
  std::string said() {
    const QString t = ui.texts().join(" | ");
    ui.clear();
    return t.toStdString();
  }
  double balance(const QString& account, const QString& current, const QString& period) {
    return dm->database()
        .selectValue("SELECT SaldoAtual FROM balanco WHERE CodigoContaContabil = ? AND "
                     "trim(CodigoContaCorrente) = ? AND Periodo = ?",
                     {account, current, period})
        .toDouble();
  }

  test::TempBook book{true, 0, "ESCRIVON", true}; // the book scripts/run makes, this year's
  ScriptedUi ui;
  std::unique_ptr<TDEscrivon> dm;
  std::unique_ptr<TF_Escrivon> w;
};

QDialog* openDialog() {
  for (QWidget* t : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<QDialog*>(t); d && d->isVisible()) return d;
  return nullptr;
}

QPushButton* captioned(QWidget* parent, const QString& caption) {
  for (auto* b : parent->findChildren<QPushButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

int visiblePreviews() {
  int n = 0;
  for (QWidget* t : QApplication::topLevelWidgets())
    n += qobject_cast<report::PreviewWindow*>(t) && t->isVisible();
  return n;
}

TEST(WalkThrough, ADocumentTheYearRoutinesAndEveryReportOnTheDemoBook) {
  WalkThrough s;
  ASSERT_TRUE(s.w->startUp());
  s.w->show();
  const int year = QDate::currentDate().year();
  const QString y = QString::number(year), next = QString::number(year + 1);
  ASSERT_EQ(s.w->selectedYear(), y);

  // A service invoiced and received on the bank, typed as one document of three entries.
  s.w->FichaPrincipal->setCurrentIndex(0);
  s.w->cadastros->setCurrentWidget(s.get<QWidget>("Documentos"));
  const double bankBefore = s.balance("111121", "0001", y + "12");
  s.entry("111121", "0001", "d", "1500,00", "15/12/" + y.right(2));
  EXPECT_EQ(s.get<QLineEdit>("EditNumDocto")->text(), "00149");
  s.entry("311111", "999", "c", "1200,00");
  s.entry("311112", "999", "c", "300,00");
  EXPECT_EQ(s.said(), "");
  EXPECT_EQ(s.get<QLineEdit>("MskTotDeb")->text(), s.get<QLineEdit>("MskTotCred")->text());
  s.ui.confirmAnswers = {true};
  s.click("ButProcessar");
  EXPECT_EQ(s.said(), "Confirma o processamento deste documento? | "
                      "Processamento do documento concluído com sucesso");
  EXPECT_DOUBLE_EQ(s.balance("111121", "0001", y + "12") - bankBefore, 1500.0);

  // The year's routines in their order.
  s.w->FichaPrincipal->setCurrentIndex(3);
  s.w->manutencao->setCurrentWidget(s.get<QWidget>("TabAtualizacoes"));
  s.click("ButAtuSaldo");
  const std::string atu = s.said();
  EXPECT_TRUE(atu.starts_with("Foram atualizadas ")) << atu;
  const double assets = s.balance("100000", "999", y + "12");
  s.ui.confirmAnswers = {true};
  s.click("ButAberExer");
  EXPECT_EQ(s.said(), ("Confirma a abertura do exercício de " + next +
                       "? | Abertura do exercício de " + next + " concluída.")
                          .toStdString());
  s.ui.confirmAnswers = {true};
  s.click("ButTranspSdo");
  EXPECT_EQ(s.said(), ("Confirma a retransposição dos saldos de " + y + " para " + next +
                       "? | Retransposição de saldos de " + y + " para " + next +
                       " concluída. 56 contas retranspostas.")
                          .toStdString());
  EXPECT_DOUBLE_EQ(s.balance("100000", "999", next + "01"), assets);
  s.ui.promptAnswers = {y + "12"};
  s.click("ButAtuDemRes");
  EXPECT_EQ(s.said(),
            ("Atualização | Atualização concluída para o período de 12/" + y + ".").toStdString());
  s.ui.confirmAnswers = {true};
  s.click("ButAtuBalPatri");
  EXPECT_EQ(s.said(), ("Confirma atualização do exercício de " + y +
                       "? | Atualização concluída para o período de " + y)
                          .toStdString());

  // Every report: to the preview, then from its dialog to the printer.
  QTemporaryDir pdfs;
  QStringList jobs;
  report::setPrinterFactory([&](const QString& title) {
    jobs << title;
    return std::make_unique<QPdfWriter>(pdfs.filePath(QString("job%1.pdf").arg(jobs.size())));
  });
  s.w->FichaPrincipal->setCurrentIndex(2);
  for (const report::ReportEntry& e : report::ReportRegistry::instance().entries()) {
    SCOPED_TRACE(e.id.toStdString());
    const int before = visiblePreviews();
    const int printed = jobs.size();
    s.click(e.button);
    if (QDialog* d = openDialog()) {
      ASSERT_TRUE(captioned(d, "&Vídeo"));
      QTest::mouseClick(captioned(d, "&Vídeo"), Qt::LeftButton);
      QTest::mouseClick(captioned(d, "&Impressora"), Qt::LeftButton);
      EXPECT_GT(jobs.size(), printed);
      // Printing runs a progress window; the dialog closes once its events are through.
      QPointer<QDialog> open(d);
      QTest::mouseClick(captioned(d, "&Encerrar"), Qt::LeftButton);
      for (int i = 0; i < 100 && open && open->isVisible(); ++i)
        QTest::qWait(20);
      EXPECT_TRUE(!open || !open->isVisible());
    }
    EXPECT_GT(visiblePreviews(), before);
    EXPECT_EQ(s.said(), "");
  }
  for (int i = 1; i <= jobs.size(); ++i) {
    QFile f(pdfs.filePath(QString("job%1.pdf").arg(i)));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << jobs[i - 1].toStdString();
    EXPECT_TRUE(f.read(5) == "%PDF-") << jobs[i - 1].toStdString();
    EXPECT_GT(f.size(), 1000) << jobs[i - 1].toStdString();
  }
}

} // namespace
