#include "tf_Escrivon.h"

#include "about/helpDocument.h"
#include "about/tf_Sobre.h"
#include "charts/chartsPage.h"
#include "journal/pages/documentosPage.h"
#include "journal/pages/lancamentosPage.h"
#include "masterdata/contasPage.h"
#include "masterdata/demResulPage.h"
#include "masterdata/historicosPage.h"
#include "masterdata/indicesPage.h"
#include "masterdata/listsTab.h"
#include "masterdata/organizacaoPage.h"
#include "period/pages/atualizacoesPage.h"
#include "period/pages/spedDataDialog.h"
#include "reports/dialogs/relatoriosPage.h"
#include "store/formats.h"
#include "ui/yearSelector.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

namespace esc {

namespace {

QStringList groupButtons(QChar letter, bool withInsert) {
  const QString p = QStringLiteral("But") + letter;
  QStringList names;
  if (withInsert) names << p + "Inserir";
  names << p + "Eliminar" << p + "Duplicar" << p + "Buscar" << p + "First" << p + "RW"
        << p + "Prior" << p + "Next" << p + "FF" << p + "Last";
  return names;
}

// The captions of the tabs down to the page on show, outermost first: where the user works.
QStringList pageOnShow(QTabWidget* tabs) {
  QStringList path;
  for (; tabs && tabs->currentIndex() >= 0; tabs = qobject_cast<QTabWidget*>(tabs->currentWidget()))
    path << tabs->tabText(tabs->currentIndex());
  return path;
}

} // namespace

TF_Escrivon::TF_Escrivon(TDEscrivon& dm, QWidget* parent) : QMainWindow(parent), dm_(dm) {
  setObjectName("F_Escrivon");
  // The process-wide forms: dd/mm/yyyy, "," for decimals and "." for thousands.
  QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
  setWindowTitle("Escrivon - Sistema de Gerenciamento Contábil");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  runPasswordDialog = [](TF_Senha& d) { return d.exec(); };
  lockKeys = readLockKeys;

  auto* central = new QWidget(this);
  auto* col = new QVBoxLayout(central);
  col->setContentsMargins(6, 6, 6, 2);
  FichaPrincipal = new QTabWidget(central);
  FichaPrincipal->setObjectName("FichaPrincipal");
  col->addWidget(FichaPrincipal, 1);

  auto* bottom = new QHBoxLayout;
  auto* yearLabel = new QLabel("Exercício:", central);
  yearLabel->setStyleSheet("color: red; font-weight: bold;");
  DBLookupExercicio = new YearSelector(central);
  DBLookupExercicio->setObjectName("DBLookupExercicio");
  DBLookupExercicio->setStyleSheet("color: red; font-weight: bold;");
  const QString yearHint = "Indique o exercício financeiro para o qual o sistema estará operando";
  DBLookupExercicio->setToolTip(yearHint);
  DBLookupExercicio->setStatusTip(yearHint);
  DBLookupExercicio->setMinimumWidth(90);
  yearLabel->setBuddy(DBLookupExercicio);
  DBLookupExercicio->setTable(dm_.TbFechamen);
  DBLookupExercicio->onError = [this](const StoreError& e) {
    if (!e.silent()) ui().error(e.message());
  };
  bottom->addWidget(yearLabel);
  bottom->addWidget(DBLookupExercicio);
  Termometro = new QProgressBar(central);
  Termometro->setObjectName("Termometro");
  Termometro->setTextVisible(false);
  Termometro->setValue(0);
  bottom->addWidget(Termometro, 1);
  ButSobre = new QPushButton("&Sobre", central);
  ButSobre->setObjectName("ButSobre");
  ButSobre->setToolTip("Informações sobre o Sistema");
  ButSobre->setStatusTip(ButSobre->toolTip());
  ButAjuda = new QPushButton("&Ajuda", central);
  ButAjuda->setObjectName("ButAjuda");
  ButFechar = new QPushButton("&Fechar", central);
  ButFechar->setObjectName("ButFechar");
  ButFechar->setToolTip("Termina as operações do sistema");
  ButFechar->setStatusTip(ButFechar->toolTip());
  bottom->addWidget(ButSobre);
  bottom->addWidget(ButAjuda);
  bottom->addWidget(ButFechar);
  col->addLayout(bottom);
  setCentralWidget(central);

  connect(ButSobre, &QPushButton::clicked, this, [this] {
    TF_Sobre about(this);
    about.exec();
  });
  connect(ButAjuda, &QPushButton::clicked, this, [] {
    // The result is not examined: with no document at all, or no program to show it,
    // nothing opens.
    const QString doc = helpDocument(defaultDirectory(), QCoreApplication::applicationDirPath(),
                                     installedManualPath);
    if (!doc.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(doc));
  });
  connect(ButFechar, &QPushButton::clicked, this, &QWidget::close);

  buildPages();
  // An edit belongs to the page it began on; no other page may store it by moving its table.
  for (Table* t : dm_.tables())
    t->pageInUse = [tabs = QPointer<QTabWidget>(FichaPrincipal)] { return pageOnShow(tabs); };
  buildStatusLine();
  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setInterval(1000);
  connect(Timer, &QTimer::timeout, this, &TF_Escrivon::refresh);
  Timer->start();

  setFixedSize(800, 560);
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

TF_Escrivon::~TF_Escrivon() = default;

void TF_Escrivon::buildPages() {
  cadastros = new QTabWidget;
  cadastros->setObjectName("FichaCadastros");
  cadastros->addTab(new ContasPage(*this), "Contas");
  cadastros->addTab(new HistoricosPage(*this), "Históricos");
  cadastros->addTab(new LancamentosPage(*this), "Lançamentos");
  cadastros->addTab(new DocumentosPage(*this), "Documentos");
  cadastros->addTab(new DemResulPage(*this), "Dem.Res.");
  auto* organizacao = new OrganizacaoPage(*this);
  connect(organizacao, &OrganizacaoPage::spedDataRequested, this,
          [this, organizacao] { editSpedData(*this, organizacao); });
  cadastros->addTab(organizacao, "Organização");
  cadastros->setCurrentIndex(2);

  listas = new ListsTab(*this);
  listas->setObjectName("FichaListas");
  // The charts read the trial balance: their page follows it. The year selector, built
  // before the pages, redraws it.
  auto* graficos = new ChartsPage(*this);
  for (int i = 0; i < listas->count(); ++i)
    if (listas->tabText(i) == QLatin1String("Balancete")) {
      listas->insertTab(i + 1, graficos, "Gráficos");
      break;
    }
  connect(DBLookupExercicio, &YearSelector::yearChanged, graficos, &ChartsPage::yearChanged);

  auto* relatorios = new RelatoriosPage(*this);

  manutencao = new QTabWidget;
  manutencao->setObjectName("FichaManutencao");
  manutencao->addTab(new IndicesPage(*this), "Índices");
  manutencao->addTab(new AtualizacoesPage(*this), "Atualizações");
  manutencao->setCurrentIndex(1);

  FichaPrincipal->addTab(cadastros, "Cadastros");
  FichaPrincipal->addTab(listas, "Listas");
  FichaPrincipal->addTab(relatorios, "Relatórios");
  FichaPrincipal->addTab(manutencao, "Manutenção");
  FichaPrincipal->setCurrentIndex(0);
}

void TF_Escrivon::buildStatusLine() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName("LinhaStatus");
  bar->setSizeGripEnabled(false);
  const int widths[7] = {60, 60, 253, 40, 40, 40, 50};
  const QString initial[7] = {"99:99:99", "99/99/99", "Escrivon - Contabilidade", "", "", "", ""};
  for (int i = 0; i < 7; ++i) {
    panels[i] = new QLabel(initial[i], bar);
    panels[i]->setObjectName(QStringLiteral("Painel%1").arg(i + 1));
    panels[i]->setAlignment(Qt::AlignCenter);
    panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // The widths fit the texts of the original layout; let a wider font widen them.
    panels[i]->setMinimumWidth(widths[i]);
    bar->addWidget(panels[i], i == 2 ? 1 : 0);
  }
  setStatusBar(bar);
}

QString TF_Escrivon::selectedYear() const {
  return DBLookupExercicio->year();
}

QString TF_Escrivon::defaultDirectory() {
  return TDEscrivon::defaultDirectory();
}

void TF_Escrivon::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shown_) return;
  shown_ = true;
  // After the window is on screen: the password dialog is modal over it.
  QTimer::singleShot(0, this, [this] { startUp(); });
}

bool TF_Escrivon::startUp() {
  delete splash.data();
  if (!DatabaseRegistry::isKnown(TDEscrivon::databaseName))
    DatabaseRegistry::registerName(TDEscrivon::databaseName, defaultDirectory());
  try {
    // A second Escrivon on the same book stops here, before it opens or writes anything.
    dm_.lockDatabase();
    dm_.connectDatabase();
    openTables();
    DBLookupExercicio->reload();
    DBLookupExercicio->setYear(QString::number(QDate::currentDate().year()));
  } catch (const StoreError& e) {
    // Without its tables the system cannot work, and without the password nobody may.
    ui().error(e.message());
    endSystem();
    return false;
  }
  refresh();
  if (!askPassword()) {
    endSystem();
    return false;
  }
  accessGranted_ = true;
  return true;
}

void TF_Escrivon::openTables() {
  auto open = [](Table* t) {
    if (!t->isOpen()) t->open();
  };
  open(dm_.TbBalanco);
  setSearchText(SearchKind::Balanco, dm_.TbBalanco->field("CodCtaConCodCtaCor").asString());
  dm_.TbBalanco->setOrder("");
  open(dm_.TbBalPatri);
  open(dm_.TbCabecalh);
  open(dm_.TbContas);
  dm_.TbContas->setOrder("");
  setSearchText(SearchKind::Contas, dm_.TbContas->field("CodigoContaContabil").asString());
  open(dm_.TbDemResul);
  dm_.TbDemResul->setOrder("");
  setSearchText(SearchKind::DemResul, dm_.TbDemResul->field("OrdemDoGrupo").asString());
  open(dm_.TbFechamen);
  open(dm_.TbHistoric);
  dm_.TbHistoric->setOrder("");
  setSearchText(SearchKind::Historicos, dm_.TbHistoric->field("CodigoHistorico").asString());
  open(dm_.TbLancamen);
  dm_.TbLancamen->setOrder("SI_AnoContasMesDia");
  setSearchText(SearchKind::Lancamentos, dm_.TbLancamen->field("AnoContasMesDia").asString());
}

bool TF_Escrivon::askPassword() {
  TF_Senha dialog(this);
  if (runPasswordDialog(dialog) != QDialog::Accepted) return false;
  const auto expected = decodePassword(dm_.TbCabecalh->field("SenhaDeEntrada").asString());
  if (!expected) {
    ui().message("Senha de entrada armazenada inválida. Acesso não permitido");
    return false;
  }
  if (!passwordMatches(dialog.EditSenha->text(), *expected)) {
    ui().message("Senha de entrada incorreta. Acesso não permitido");
    return false;
  }
  return true;
}

void TF_Escrivon::endSystem() {
  ended_ = true;
  close();
}

void TF_Escrivon::closeEvent(QCloseEvent* e) {
  struct Ask {
    DataSource* source;
    const char* what;
  };
  const Ask asks[] = {{dm_.DsContas, "de Contas"},       {dm_.DsBalanco, "de Balanco"},
                      {dm_.DsBalpatri, "de Bal. Patr."}, {dm_.DsCabecalh, "de Dados Org."},
                      {dm_.DsDemResul, "de Dem. Res."},  {dm_.DsFechamen, "de Fechamento"},
                      {dm_.DsHistoric, "de Históricos"}, {dm_.DsLancamen, "de Lançamentos"}};
  for (const Ask& a : asks) {
    switch (dm_.ConfirmaCancelaEdicao(a.source, QString::fromUtf8(a.what), "fechar")) {
    case TDEscrivon::Answer::No:
      ended_ = false;
      e->ignore();
      return;
    case TDEscrivon::Answer::Yes:
      a.source->table()->cancel();
      break;
    case TDEscrivon::Answer::NotEditing:
      break;
    }
  }
  dm_.closeAll();
  Timer->stop();
  ended_ = true;
  e->accept();
}

// ---------------------------------------------------------------- refresh

QWidget* TF_Escrivon::widget(const QString& name) {
  auto it = widgets_.find(name);
  if (it == widgets_.end()) it = widgets_.insert(name, findChild<QWidget*>(name));
  return it->data();
}

void TF_Escrivon::setEnabled(const QString& name, bool on) {
  if (auto* w = child<QWidget>(name)) w->setEnabled(on);
}

void TF_Escrivon::switchGroup(const QStringList& names, const QString& deleteName,
                              const QString& totalName, bool on) {
  for (const QString& n : names)
    setEnabled(n, on);
  auto* total = child<QLineEdit>(totalName);
  if (total && total->text() == "0") setEnabled(deleteName, false);
}

void TF_Escrivon::HabilitaBotoesC(bool on) {
  switchGroup(groupButtons('C', true), "ButCEliminar", "EdCTotRec", on);
}
void TF_Escrivon::HabilitaBotoesH(bool on) {
  switchGroup(groupButtons('H', true), "ButHEliminar", "EdHTotRec", on);
}
void TF_Escrivon::HabilitaBotoesL(bool on) {
  switchGroup(groupButtons('L', false), "ButLEliminar", "EdLTotRec", on);
  // The journal group repeats the chart's and descriptions' delete rule after its own.
  if (auto* t = child<QLineEdit>("EdCTotRec"); t && t->text() == "0")
    setEnabled("ButCEliminar", false);
  if (auto* t = child<QLineEdit>("EdHTotRec"); t && t->text() == "0")
    setEnabled("ButHEliminar", false);
}
void TF_Escrivon::HabilitaBotoesD(bool on) {
  switchGroup(groupButtons('D', true), "ButDEliminar", "EdDTotRec", on);
}

void TF_Escrivon::refresh() {
  const QDateTime now = QDateTime::currentDateTime();
  panels[0]->setText(now.time().toString("HH:mm:ss"));
  panels[1]->setText(fmt::shortDate(now.date()));
  const auto keys = lockKeys ? lockKeys() : std::nullopt;
  const LockKeys k = keys.value_or(LockKeys{});
  panels[3]->setText(k.num ? "Num" : "");
  panels[4]->setText(k.scroll ? "Scroll" : "");
  panels[5]->setText(k.caps ? "Caps" : "");
  panels[6]->setText(k.insert ? "Ins" : "");

  struct Counter {
    const char *recNo, *total;
    Table* table;
  };
  const Counter counters[] = {
      {"EdCRecNo", "EdCTotRec", dm_.TbContas},      {"EdCEdRecNo", "EdCEdTotRec", dm_.TbContas},
      {"EdHRecNo", "EdHTotRec", dm_.TbHistoric},    {"EdHEdRecNo", "EdHEdTotRec", dm_.TbHistoric},
      {"EdLRecNo", "EdLTotRec", dm_.TbLancamen},    {"EdLEdRecNo", "EdLEdTotRec", dm_.TbLancamen},
      {"EdBEdRecNo", "EdBEdTotRec", dm_.TbBalanco}, {"EdDRecNo", "EdDTotRec", dm_.TbDemResul},
      {"EdDEdRecNo", "EdDEdTotRec", dm_.TbDemResul}};
  try {
    for (const Counter& c : counters) {
      if (auto* e = child<QLineEdit>(c.recNo)) e->setText(QString::number(c.table->recNo()));
      if (auto* e = child<QLineEdit>(c.total)) e->setText(QString::number(c.table->recordCount()));
    }
  } catch (const StoreError&) {
    // A book another program holds busy cannot be read now: the counters keep what they
    // showed until a later tick reads them, and the buttons below still follow the tables.
  }

  Table* lanc = dm_.TbLancamen;
  const bool docFilter = lanc->filtered();
  for (const char* name : {"ButFiltraDoctos", "ButLFiltrar"})
    if (auto* b = child<QPushButton>(name)) b->setText(docFilter ? "Des&filtrar" : "&Filtrar");
  setEnabled("EditNumDocto", !docFilter);

  const bool contasEditing = dm_.TbContas->isEditing();
  setEnabled("ButCGravar", contasEditing);
  setEnabled("ButCCancelar", contasEditing);
  HabilitaBotoesC(!contasEditing);

  const bool histEditing = dm_.TbHistoric->isEditing();
  setEnabled("ButHGravar", histEditing);
  setEnabled("ButHCancelar", histEditing);
  HabilitaBotoesH(!histEditing);

  const bool lancEditing = lanc->isEditing();
  for (const char* n : {"ButLGravar", "ButLCancelar", "ButGravarLote", "ButCancelaLote"})
    setEnabled(n, lancEditing);
  for (const char* n : {"ButLFiltrar", "ButFiltraDoctos", "ButIncluiLote", "ButEstornar"})
    setEnabled(n, !lancEditing);
  if (lancEditing) {
    setEnabled("ButProcessar", false);
  } else {
    setEnabled("ButProcessar", docFilter);
    if (!docFilter)
      if (auto* e = child<QLineEdit>("EditDataLancto"))
        e->setText(lanc->isOpen() ? lanc->field("DataDaContabilizacao").editText() : QString());
  }
  HabilitaBotoesL(!lancEditing);

  const bool demEditing = dm_.TbDemResul->isEditing();
  setEnabled("ButDGravar", demEditing);
  setEnabled("ButDCancelar", demEditing);
  HabilitaBotoesD(!demEditing);
}

} // namespace esc
