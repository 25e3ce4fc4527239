// escrivon-screenshots DIR [--data-dir BOOK]
// Writes the pictures of Escrivon's windows into DIR as PNG files, under the names the README
// shows them by (docs/screenshots): the password dialog, the main window's tabs, every page,
// the report dialogs, the preview window, the first PDF page of three reports and the about
// box. They are taken on a demo book made in a temporary directory as escrivon-init --demo
// makes it, or on a copy of BOOK: the pictures type a document and update the balance sheet,
// and a book that was given is never written. Needs no display: without one it draws offscreen.
#include "demobook.h"

#include "about/tf_Sobre.h"
#include "charts/chartsPage.h"
#include "journal/pages/documentosPage.h"
#include "journal/pages/lancamentosPage.h"
#include "mainwindow/tf_Escrivon.h"
#include "mainwindow/tf_Senha.h"
#include "masterdata/contasPage.h"
#include "masterdata/demResulPage.h"
#include "masterdata/historicosPage.h"
#include "masterdata/indicesPage.h"
#include "masterdata/listsTab.h"
#include "masterdata/organizacaoPage.h"
#include "period/backupCopy.h"
#include "period/balanceSheetUpdate.h"
#include "reports/dialogs/parameterDialog.h"
#include "reports/dialogs/previewWindow.h"
#include "reports/dialogs/relatoriosPage.h"
#include "reports/dialogs/reportRun.h"
#include "reports/dialogs/tf_SelTermo.h"
#include "reports/engine/registry.h"
#include "store/dataModule.h"
#include "store/database.h"
#include "store/storeerror.h"
#include "ui/application.h"
#include "ui/navBar.h"
#include "ui/yearSelector.h"

#include <QAbstractButton>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <deque>
#include <exception>
#include <functional>

namespace esc {
namespace {

QTextStream& err() {
  static QTextStream s(stderr);
  return s;
}

// What a window would say in a box goes to the error output: the pictures are taken as
// nobody is there to answer. A question is answered No, a prompt from `answers` (Cancel when
// none is left).
class ShotUi : public Ui, public Progress {
public:
  void message(const QString& text) override { say(text); }
  void error(const QString& text) override { say(text); }
  bool confirm(const QString& text) override {
    say(text + " (Não)");
    return false;
  }
  std::optional<QString> prompt(const QString&, const QString& label, const QString&) override {
    if (answers.empty()) {
      say(label + " (Cancelar)");
      return std::nullopt;
    }
    const QString answer = answers.front();
    answers.pop_front();
    return answer;
  }
  Progress& progress() override { return *this; }
  void setRange(int, int) override {}
  void setPosition(int) override {}
  void reset() override {}

  std::deque<QString> answers;

private:
  static void say(const QString& text) { err() << "escrivon-screenshots: " << text << Qt::endl; }
};

// Where the pictures go, and how many could not be written.
struct Shots {
  QString dir;
  int failed = 0;

  void save(QWidget& w, const QString& name) {
    QApplication::processEvents();
    const QString file = dir + "/" + name + ".png";
    if (!w.grab().save(file)) {
      err() << "escrivon-screenshots: não foi possível gravar " << file << Qt::endl;
      ++failed;
    }
  }
  // One group of pictures; a store error stops that group alone (a book given may lack what
  // the pictures type), and is said.
  void step(const QString& what, const std::function<void()>& take) {
    try {
      take();
    } catch (const StoreError& e) {
      err() << "escrivon-screenshots: " << what << ": " << e.message() << Qt::endl;
      ++failed;
    }
  }
  // A page on its own at `size`, shown as the main window shows it.
  void savePage(QWidget& page, const QSize& size, const QString& name) {
    page.resize(size);
    page.show();
    QApplication::processEvents();
    save(page, name);
  }
};

// The main window's refresh fills a page's counters; a page on its own has them filled here,
// each from the table its name starts with (EdC contas, EdH históricos, EdL lançamentos,
// EdB balancete, else the income-statement groups).
void fillCounters(QWidget& page, TDEscrivon& dm) {
  for (auto* counters : page.findChildren<RecordCounters*>()) {
    const QString n = counters->current()->objectName();
    Table* t = n.startsWith("EdC")   ? dm.TbContas
               : n.startsWith("EdH") ? dm.TbHistoric
               : n.startsWith("EdL") ? dm.TbLancamen
               : n.startsWith("EdB") ? dm.TbBalanco
                                     : dm.TbDemResul;
    counters->show(t);
  }
}

// The main window's refresh switches a page's buttons by its table's state; a page on its own
// has them switched here: Gravar and Cancelar only while editing, the rest only while browsing.
void switchButtons(QWidget& page, const QString& prefix, bool editing) {
  for (auto* b : page.findChildren<QPushButton*>()) {
    const QString n = b->objectName();
    if (!n.startsWith(prefix)) continue;
    const bool saves = n == prefix + "Gravar" || n == prefix + "Cancelar";
    b->setEnabled(saves == editing);
  }
}

// The main window on each of its four tabs, then on each page of "Cadastros".
void mainWindowShots(Shots& shots, TF_Escrivon& w) {
  QApplication::processEvents();
  w.FichaPrincipal->setCurrentIndex(0);
  const char* tabs[] = {"cadastros", "listas", "relatorios", "manutencao"};
  for (int i = 0; i < 4; ++i) {
    w.FichaPrincipal->setCurrentIndex(i);
    shots.save(w, QStringLiteral("principal-%1").arg(tabs[i]));
  }
  w.FichaPrincipal->setCurrentIndex(0);
  const char* pages[] = {"contas",     "historicos", "lancamentos",
                         "documentos", "demres",     "organizacao"};
  for (int i = 0; i < 6; ++i) {
    w.cadastros->setCurrentIndex(i);
    shots.save(w, QStringLiteral("cadastros-%1").arg(pages[i]));
  }
}

// The master-data pages and the lists, each on its own at one size.
void masterDataShots(Shots& shots, TF_Escrivon& w, ShotUi& ui) {
  TDEscrivon& dm = w.dm();
  const QSize size(720, 480);
  auto save = [&](QWidget& page, const QString& name) {
    page.resize(size);
    page.show();
    QApplication::processEvents();
    fillCounters(page, dm);
    shots.save(page, name);
  };

  // The entries' order group with "Data da Contabilização" chosen; the order in force is put
  // back after, for the journal pages' pictures.
  IndicesPage indices(w);
  QAbstractButton *byDate = nullptr, *inForce = nullptr;
  for (auto* b : indices.group(SearchKind::Lancamentos)->findChildren<QAbstractButton*>()) {
    if (b->text() == QStringLiteral("Data da Contabilização")) byDate = b;
    if (b->isChecked()) inForce = b;
  }
  if (byDate) byDate->click();
  save(indices, "indices");
  if (inForce) inForce->click();

  HistoricosPage historicos(w);
  dm.TbHistoric->findKey({"0006"});
  save(historicos, "historicos");

  ContasPage contas(w);
  dm.TbContas->findKey({"1111210001"});
  switchButtons(contas, "ButC", false);
  save(contas, "contas");
  // Insert state: a copy of the account, its current account being typed.
  contas.duplicar();
  dm.TbContas->setValue("CodigoContaCorrente", "0003");
  dm.TbContas->setValue("NomeContaCorrente", "AG 1234-5 CC 99887-6");
  switchButtons(contas, "ButC", true);
  save(contas, "contas-inserir");
  contas.cancelar();

  DemResulPage demResul(w);
  dm.TbDemResul->findKey({"02"});
  switchButtons(demResul, "ButD", false);
  save(demResul, "demres");

  OrganizacaoPage organizacao(w);
  save(organizacao, "organizacao");
  ui.answers.push_back(QStringLiteral("preludix"));
  organizacao.alterar();
  save(organizacao, "organizacao-desbloqueada");
  organizacao.cancelar();

  dm.TbBalPatri->first();
  ListsTab lists(w);
  const char* names[] = {"listas-contas",    "listas-historicos", "listas-lancamentos",
                         "listas-balancete", "listas-demres",     "listas-balpatri"};
  for (int i = 0; i < lists.count() && i < 6; ++i) {
    lists.setCurrentIndex(i);
    save(lists, names[i]);
  }

  ChartsPage graficos(w);
  save(graficos, "listas-graficos");
}

// The journal pages at the size of the main window's page area: the entries from the first,
// and a document of three entries typed on "Documentos" and chosen with Filtrar.
void journalShots(Shots& shots, TF_Escrivon& w) {
  TDEscrivon& dm = w.dm();
  const QSize size(784, 430);
  QWidget window;
  auto* lanc = new LancamentosPage(w, &window);
  auto* docs = new DocumentosPage(w, &window);
  auto save = [&](QWidget* page, const QString& name) {
    lanc->hide();
    docs->hide();
    page->resize(size);
    page->show();
    window.resize(size);
    window.show();
    QApplication::processEvents();
    fillCounters(*page, dm);
    shots.save(*page, name);
  };

  Table& journal = *dm.TbLancamen;
  journal.first();
  save(lanc, "lancamentos");

  struct Typed {
    const char *account, *current, *hist, *type, *text;
    double value;
  };
  const QString date = QDate(w.selectedYear().toInt(), 3, 15).toString("dd/MM/yy");
  for (const Typed& e : {Typed{"411114", "999", "0006", "D", "NF 881 PAPELARIA CENTRAL", 100.10},
                         Typed{"411113", "999", "0001", "D", "CONTA DE LUZ MARÇO", 200.20},
                         Typed{"111121", "0001", "0001", "C", "PAGAMENTO NF 881 E LUZ", 300.30}}) {
    docs->incluir();
    journal.setValue("CodigoContaContabil", e.account);
    journal.setValue("CodigoContaCorrente", e.current);
    journal.setValue("CodigoHistorico", e.hist);
    journal.setValue("TipoDeLancamento", e.type);
    journal.setValue("HistoricoComplementar", QString::fromUtf8(e.text));
    journal.setValue("ValorLancamento", e.value);
    docs->findChild<QLineEdit*>("EditDataLancto")->setText(date);
    docs->gravar();
    if (journal.state() != Table::State::Browse) {
      journal.cancel();
      break;
    }
  }
  const QString doc = journal.field("NumeroDocumento").asString();
  auto* filtrar = docs->findChild<QPushButton*>("ButFiltraDoctos");
  auto* number = docs->findChild<QLineEdit*>("EditNumDocto");
  filtrar->click();
  number->setText(doc);
  filtrar->click();
  filtrar->setText("Des&filtrar");
  number->setEnabled(false);
  save(docs, "documentos");
}

// The first page of a report's PDF as a picture, when poppler's pdftoppm is at hand.
void savePdfPage(Shots& shots, report::PreviewWindow& preview, const QString& name) {
  if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
    err() << "escrivon-screenshots: sem pdftoppm, " << name << ".png não foi escrito" << Qt::endl;
    return;
  }
  QTemporaryDir pdf;
  const QString file = pdf.filePath(name + ".pdf");
  if (!preview.savePdfTo(file) ||
      QProcess::execute("pdftoppm", {"-png", "-r", "90", "-f", "1", "-l", "1", "-singlefile", file,
                                     shots.dir + "/" + name}) != 0) {
    err() << "escrivon-screenshots: não foi possível gravar " << name << ".png" << Qt::endl;
    ++shots.failed;
  }
}

// A report run to the preview window with the values given over its dialog's initial ones.
report::PreviewWindow* previewOf(TF_Escrivon& w, const QString& id,
                                 const report::ParamValues& values = {}) {
  const report::ReportEntry* entry = report::ReportRegistry::instance().byId(id);
  if (!entry) return nullptr;
  const auto windows = report::run(w, *entry, values, report::Output::Video);
  for (int i = 1; i < windows.size(); ++i)
    delete windows[i].data();
  return windows.isEmpty() ? nullptr : windows[0].data();
}

// "Relatórios" on its own, its dialogs, the trial balance's preview and three PDF pages.
void reportShots(Shots& shots, TF_Escrivon& w) {
  RelatoriosPage page(w);
  shots.savePage(page, QSize(720, 480), "relatorios-pagina");

  auto dialogShot = [&](const QString& button, const QString& name) {
    if (report::ParameterDialog* dialog = page.activate(button)) {
      shots.save(*dialog, name.isEmpty() ? dialog->objectName() : name);
      delete dialog;
    }
  };
  dialogShot("ButRBContas", "relatorios-selbalan");
  dialogShot("ButRLRazao", "relatorios-selrelan");
  // The listings' dialogs, under their own names.
  for (const char* button : {"ButRCNome", "ButRLLista", "ButRHistoric"})
    dialogShot(button, {});
  // The terms' dialog opens by itself rather than being handed back.
  page.activate("ButRlTermos");
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* termos = qobject_cast<report::TF_SelTermo*>(top); termos && termos->isVisible()) {
      shots.save(*termos, "relatorios-seltermo");
      delete termos;
      break;
    }

  if (auto* balancete = previewOf(w, "balancete", {{"SaldoZero", "1"}})) {
    balancete->showNormal(); // at its default size, as the user first sees it
    shots.save(*balancete, "relatorios-visualizar");
    savePdfPage(shots, *balancete, "relatorios-balancete-pdf");
    delete balancete;
  }
  for (const auto& [id, name] : {std::pair{"razao", "relatorios-razao-pdf"},
                                 std::pair{"balpatrimonial", "relatorios-balpatri-pdf"}})
    if (auto* preview = previewOf(w, id)) {
      savePdfPage(shots, *preview, name);
      delete preview;
    }
}

// The book the pictures are taken on, in `temp`: the demo book of the current year, or a
// copy of `given`.
QString prepareBook(const QTemporaryDir& temp, const QString& given) {
  const QString dir = temp.filePath("livro");
  QDir().mkpath(dir);
  if (given.isEmpty()) {
    InitOptions o;
    o.directory = dir;
    o.demo = o.demoYear = true;
    return createDataDirectory(o);
  }
  NoProgress none;
  const OperationResult r = copyBook(QFileInfo(given).absoluteFilePath(), dir + "/", none);
  if (!r.isDone()) throw std::runtime_error(r.message().toStdString());
  return dir;
}

} // namespace
} // namespace esc

int main(int argc, char** argv) {
  // Windows are drawn in memory when there is no screen to draw them on.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  esc::Application app(argc, argv);
  QApplication::setApplicationName("Escrivon");
  QApplication::setApplicationDisplayName("Escrivon");
  const QString usage = "uso: escrivon-screenshots DIR [--data-dir LIVRO]\n";

  QString out, given;
  const QStringList args = app.arguments().mid(1);
  for (int i = 0; i < args.size(); ++i) {
    if (args[i] == "--data-dir" && i + 1 < args.size()) {
      given = args[++i];
    } else if (args[i] == "-h" || args[i] == "--help") {
      QTextStream(stdout) << usage;
      return 0;
    } else if (args[i].startsWith("--") || !out.isEmpty()) {
      esc::err() << usage;
      return 2;
    } else {
      out = args[i];
    }
  }
  if (out.isEmpty() || !QDir().mkpath(out)) {
    esc::err() << usage;
    return 2;
  }

  QTemporaryDir temp;
  esc::Shots shots{QFileInfo(out).absoluteFilePath()};
  esc::ShotUi ui;
  app.setUi(&ui);
  try {
    const QString book = esc::prepareBook(temp, given);
    esc::DatabaseRegistry::registerName(esc::TDEscrivon::databaseName, book);
    esc::TDEscrivon dm(ui);
    esc::TF_Escrivon w(dm);
    w.lockKeys = [] { return std::optional<esc::LockKeys>(); };
    w.runPasswordDialog = [&](esc::TF_Senha& d) {
      d.show();
      d.EditSenha->setText("escri");
      shots.save(d, "senha");
      const auto stored = esc::decodePassword(dm.TbCabecalh->field("SenhaDeEntrada").asString());
      d.EditSenha->setText(stored.value_or(QString()));
      d.ButSenhaOk->click();
      return d.result();
    };
    // As the system starts: the window shows, then opens the book and asks the password.
    w.show();
    while (!w.accessGranted() && !w.ended())
      QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (w.ended()) return 1;
    // A book without the current year is shown on its latest, as the user would choose it.
    if (esc::YearSelector* years = w.DBLookupExercicio;
        w.selectedYear().isEmpty() && years->count())
      years->setYear(years->itemText(years->count() - 1));
    // The balance sheet has rows only after its update.
    esc::NoProgress none;
    esc::updateBalanceSheet(dm.database(), w.selectedYear(), none);
    dm.TbBalPatri->refresh();
    w.refresh();

    shots.step("a janela principal", [&] { esc::mainWindowShots(shots, w); });
    shots.step("os cadastros", [&] { esc::masterDataShots(shots, w, ui); });
    shots.step("os lançamentos", [&] { esc::journalShots(shots, w); });
    shots.step("os relatórios", [&] { esc::reportShots(shots, w); });
    esc::TF_Sobre about;
    about.show();
    shots.save(about, "sobre");
  } catch (const esc::StoreError& e) {
    esc::err() << "escrivon-screenshots: " << e.message() << Qt::endl;
    return 1;
  } catch (const std::exception& e) {
    esc::err() << "escrivon-screenshots: " << QString::fromUtf8(e.what()) << Qt::endl;
    return 1;
  }
  QTextStream(stdout) << "Imagens gravadas em " << shots.dir << "\n";
  return shots.failed ? 1 : 0;
}
