#include "relatoriosPage.h"

#include "parameterDialog.h"
#include "reportRun.h"
#include "reports/engine/registry.h"
#include "tf_SelTermo.h"
#include "ui/pageParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace esc {

namespace {

struct ButtonDef {
  const char* name;
  const char* caption;
  const char* hint;
};

struct GroupDef {
  const char* caption;
  QVector<ButtonDef> buttons;
};

const QVector<GroupDef>& groups() {
  static const QVector<GroupDef> g = {
      {"CONTAS",
       {{"ButRCPlano", "&Plano de Contas", ""}, {"ButRCNome", "Listagens de &Contas", ""}}},
      {"LANÇAMENTOS",
       {{"ButRLLista", "Lista de &Lançamentos", ""},
        {"ButRLRazao", "&Razão Contábil", ""},
        {"ButRLDiario", "&Diário Contábil", ""},
        {"ButRlTermos", "&Abertura/Encerramento",
         "Emite os termos de Abertura e Encerramento de Livros"}}},
      {"HISTÓRICOS", {{"ButRHistoric", "Listagens de &Históricos", ""}}},
      {"BALANÇO",
       {{"ButRBContas", "&Balancete de Contas", ""}, {"ButRBalPatri", "Balanç&o Patrimonial", ""}}},
      {"DEM. RESULTADO", {{"ButRDemRes", "Demonstração Resul&tado", ""}}},
  };
  return g;
}

// The reports whose button opens a dialog of their own instead of the generic form, by
// registry id; that dialog runs the report itself.
using DialogOpener = void (*)(QWidget* parent, MainContext& ctx);
DialogOpener ownDialog(const QString& id) {
  static const QHash<QString, DialogOpener> openers = {
      {"diario", [](QWidget* p, MainContext& c) { report::openSelTermo(p, c); }},
      {"termos", [](QWidget* p, MainContext& c) { report::openSelTermo(p, c); }},
  };
  return openers.value(id);
}

} // namespace

RelatoriosPage::RelatoriosPage(MainContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
  setObjectName("FichaSoftwares");
  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, "Relatórios"));
  auto* grid = new QGridLayout;
  int i = 0;
  for (const GroupDef& g : groups()) {
    auto* box = new QGroupBox(QString::fromUtf8(g.caption), this);
    auto* inner = new QVBoxLayout(box);
    for (const ButtonDef& b : g.buttons) {
      QPushButton* button =
          makeButton(box, b.name, QString::fromUtf8(b.caption), QString::fromUtf8(b.hint));
      inner->addWidget(button);
      const QString name = b.name;
      connect(button, &QPushButton::clicked, this, [this, name] { activate(name); });
    }
    inner->addStretch();
    grid->addWidget(box, i / 3, i % 3);
    ++i;
  }
  col->addLayout(grid);
  col->addStretch();
}

report::ParameterDialog* RelatoriosPage::activate(const QString& button) {
  const report::ReportEntry* entry = report::ReportRegistry::instance().byButton(button);
  if (!entry) {
    ctx_.ui().message(reportNotAvailableMessage);
    return nullptr;
  }
  if (const DialogOpener open = ownDialog(entry->id)) {
    open(window(), ctx_);
    return nullptr;
  }
  if (!entry->dialog) {
    report::run(ctx_, *entry, {}, report::Output::Video, window());
    return nullptr;
  }
  // Made anew at every click, so every field starts from its initial value.
  QWidget* owner = window();
  auto* dialog = new report::ParameterDialog(
      *entry->dialog,
      [this, entry](const report::ParamValues& v, report::Output out, QWidget* dialog) {
        report::run(ctx_, *entry, v, out, dialog);
      },
      owner);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  return dialog;
}

} // namespace esc
