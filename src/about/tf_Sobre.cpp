#include "tf_Sobre.h"

#include "ui/logo.h"

#include <QDesktopServices>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace esc {

namespace {

// The contact addresses of the system's makers.
const char* const webAddress = "www.escrivon.example";
const char* const mailAddress = "suporte@escrivon.example";

// Drives past the fourth go on the second line of the disk list.
constexpr int drivesOnFirstLine = 4;

// The box's formats print whole numbers as "%d"; they are given 64-bit values here, so that a
// memory or a disk beyond 2 TB is not cut short.
QByteArray wide(const char* format) {
  return QByteArray(format).replace("%d", "%lld");
}

} // namespace

TF_Sobre::TF_Sobre(QWidget* parent)
    : QDialog(parent), ownFacts_(std::make_unique<LinuxSystemFacts>()), facts_(*ownFacts_) {
  build();
}

TF_Sobre::TF_Sobre(const SystemFacts& facts, QWidget* parent) : QDialog(parent), facts_(facts) {
  build();
}

TF_Sobre::~TF_Sobre() = default;

void TF_Sobre::build() {
  setObjectName("F_Sobre");
  setWindowTitle("Sobre o Sistema");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  openAddress = [](const QUrl& url) { QDesktopServices::openUrl(url); };

  auto* col = new QVBoxLayout(this);
  col->setContentsMargins(8, 8, 8, 8);
  col->setSpacing(6);

  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* upper = new QHBoxLayout(panel);
  upper->setContentsMargins(8, 4, 8, 4);
  auto* picture = new QLabel(panel);
  picture->setObjectName("ProgramIcon");
  picture->setPixmap(escrivonLogo(64));
  upper->addWidget(picture, 0, Qt::AlignTop);
  auto* lines = new QVBoxLayout;
  lines->setSpacing(0);
  auto line = [panel, lines](const QString& text, const QString& style) {
    auto* l = new QLabel(text, panel);
    l->setStyleSheet(style);
    lines->addWidget(l);
  };
  line("Escrivon", "font-size: 18pt; font-weight: bold; color: #0000c0;");
  line("Sistema de Gerenciamento Contábil", "font-weight: bold;");
  line("Versão 1", "");
  line("Escrituração contábil por partidas dobradas", "font-style: italic;");
  upper->addLayout(lines, 1);
  col->addWidget(panel);

  auto* group = new QGroupBox("Dados Técnicos", this);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(2);
  int row = 0;
  auto value = [group, grid, &row](const QString& caption, const QString& name,
                                   const QString& design = {}) {
    if (!caption.isEmpty()) grid->addWidget(new QLabel(caption, group), row, 0);
    auto* l = new QLabel(design, group);
    l->setObjectName(name);
    // Long values (a deep mount point, a long processor name) are cut at the border
    // rather than widening the fixed box.
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    grid->addWidget(l, row++, 1);
    return l;
  };
  EnderNet = value("Endereço Internet:", "EnderNet", webAddress);
  EMail = value("E-Mail:", "EMail", mailAddress);
  WinVersion = value("Versão Windows:", "WinVersion");
  DosVersion = value("Versão do DOS:", "DosVersion");
  CPU = value("CPU:", "CPU");
  FreeMemory = value("Memória Livre:", "FreeMemory");
  FreeDisk = value("Espaço Livre:", "FreeDisk");
  FreeResources = value({}, "FreeResources");
  grid->setColumnStretch(1, 1);
  for (QLabel* contact : {EnderNet, EMail}) {
    contact->setCursor(Qt::PointingHandCursor);
    contact->setStyleSheet("color: #0000c0; text-decoration: underline;");
    contact->installEventFilter(this);
  }
  col->addWidget(group, 1);

  ButOk = new QPushButton("OK", this);
  ButOk->setObjectName("ButOk");
  ButOk->setDefault(true);
  connect(ButOk, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ButOk);
  buttons->addStretch();
  col->addLayout(buttons);

  setFixedSize(409, 316);
}

void TF_Sobre::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  showSystemFacts();
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

bool TF_Sobre::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
    // The results are not examined: a desktop without a browser or mail program shows nothing.
    if (watched == EnderNet) openAddress(QUrl::fromUserInput(EnderNet->text()));
    if (watched == EMail) openAddress(QUrl("mailto:" + EMail->text()));
  }
  return QDialog::eventFilter(watched, e);
}

void TF_Sobre::showSystemFacts() {
  // A fact the machine does not give leaves its label as designed.
  if (const auto name = facts_.platformName()) WinVersion->setText(*name);
  if (const auto v = facts_.version())
    DosVersion->setText(QString::asprintf("%d.%d   Ver : %d", v->major, v->minor, v->build));
  if (const auto p = facts_.processors())
    CPU->setText(QString::asprintf("%d %s", p->count, p->name.toUtf8().constData()));
  if (const auto m = facts_.memory())
    FreeMemory->setText(QString::asprintf(wide("Tot: %d KB     Disp: %d KB").constData(),
                                          static_cast<long long>(m->totalBytes / 1024),
                                          static_cast<long long>(m->availableBytes / 1024)));
  listDrives();
}

void TF_Sobre::listDrives() {
  FreeDisk->clear();
  FreeResources->clear();
  const QStringList drives = facts_.drives();
  QString lines[2];
  for (int i = 0; i < drives.size(); ++i) {
    // The list ends at the first drive whose free space cannot be read (absent, no medium).
    // That includes the first one: an unreadable drive is not shown as having 0 MB free.
    const auto free = facts_.freeBytes(drives[i]);
    if (!free) break;
    lines[i < drivesOnFirstLine ? 0 : 1] +=
        QString::asprintf(wide("%s: %d MB  ").constData(), drives[i].toUtf8().constData(),
                          static_cast<long long>(*free / 1024 / 1024));
  }
  FreeDisk->setText(lines[0]);
  FreeResources->setText(lines[1]);
}

} // namespace esc
