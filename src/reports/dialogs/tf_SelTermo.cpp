// TF_SelTermo: the book data of the organization record and the journal book's output.
#include "tf_SelTermo.h"

#include "reportRun.h"
#include "store/dataModule.h"
#include "store/storeerror.h"
#include "ui/dbEdit.h"
#include "ui/mainContext.h"
#include "ui/pageParts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace esc::report {

TF_SelTermo::TF_SelTermo(MainContext& ctx, QWidget* parent) : ReportDialog(parent), ctx_(ctx) {
  setObjectName("F_SelTermo");
  setWindowTitle("Termos de Abertura/Encerramento");

  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, QStringLiteral("Seleção de Parâmetros")));
  auto* panel = new QGroupBox(this);
  panel->setObjectName("PainelParametros");
  auto* grid = new QGridLayout(panel);
  DataSource* source = ctx.dm().DsCabecalh;
  // Created in tab order.
  // Created in tab order. Each label stands before its box: in the grid's first column, or
  // within the row for the second box of the sheets.
  auto edit = [&](const QString& field, const QString& label) {
    auto* e = new DBEdit(source, field, panel);
    e->setObjectName("DBEdit" + field);
    e->onWriteError = [this](const StoreError& err) {
      if (!err.silent()) ctx_.ui().error(err.message());
    };
    auto* l = new QLabel(label, panel);
    l->setBuddy(e);
    return std::pair{l, e};
  };
  auto number = [&](const QString& field, const QString& label) {
    auto p = edit(field, label);
    p.second->setMaximumWidth(80);
    return p;
  };
  const auto [firstLabel, first] = number("PaginaInicial", "Números das Folhas: De");
  const auto [lastLabel, last] = number("PaginaFinal", "até");
  auto* sheets = new QHBoxLayout;
  sheets->addWidget(first);
  sheets->addWidget(lastLabel);
  sheets->addWidget(last);
  sheets->addStretch();
  grid->addWidget(firstLabel, 0, 0, Qt::AlignRight);
  grid->addLayout(sheets, 0, 1);
  int row = 1;
  auto line = [&](std::pair<QLabel*, DBEdit*> p) {
    grid->addWidget(p.first, row, 0, Qt::AlignRight);
    grid->addWidget(p.second, row++, 1, Qt::AlignLeft);
    return p.second;
  };
  line(number("Livro", "Números do Livro:"));
  // Wide enough for the forty characters the two texts hold.
  for (DBEdit* e :
       {line(edit("Registro", "Sigla Junta, número do livro, folha e data de registro:")),
        line(edit("LocalData", "Local e data:"))})
    e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 42);
  col->addWidget(panel);

  auto* buttons = new QHBoxLayout;
  auto* video =
      makeButton(this, "ButVideo", "&Vídeo",
                 "Visualiza e imprime o livro Diário, sem os termos de abertura e encerramento");
  auto* printer = makeButton(this, "ButImpressora", "&Impressora",
                             "Imprime o Termo de Abertura, livro Diário e Termo de Encerramento");
  auto* close = makeButton(this, "ButEncerrar", "&Encerrar", "Cancela a emissão de listagens");
  for (QPushButton* b : {video, printer, close}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  col->addLayout(buttons);
  connect(video, &QPushButton::clicked, this, [this] { produce(Output::Video); });
  connect(printer, &QPushButton::clicked, this, [this] { produce(Output::Printer); });
  // Neither saves nor cancels: what was typed stays pending in the organization record.
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  setFixedSize(sizeHint());
}

void TF_SelTermo::produce(Output output) {
  Table* cabecalh = ctx_.dm().TbCabecalh;
  try {
    // Every pending change of the record, typed here or begun on the organization page.
    if (cabecalh->state() == Table::State::Edit) cabecalh->post();
  } catch (const StoreError& e) {
    if (!e.silent()) ctx_.ui().error(e.message());
    return;
  }
  if (const ReportEntry* entry = ReportRegistry::instance().byId("diario"))
    run(ctx_, *entry, {}, output, this);
}

TF_SelTermo* openSelTermo(QWidget* parent, MainContext& ctx) {
  // Made anew at every click, so it shows the record's values as they are now.
  auto* dialog = new TF_SelTermo(ctx, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->show();
  return dialog;
}

} // namespace esc::report
