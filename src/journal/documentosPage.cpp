#include "documentosPage.h"

#include "ui/pageParts.h"

#include <QLabel>

namespace esc {

namespace {
QLineEdit* box(QWidget* parent, const QString& name, const QString& hint, int maxLength) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setToolTip(hint);
  e->setStatusTip(hint);
  if (maxLength > 0) e->setMaxLength(maxLength);
  return e;
}
} // namespace

DocumentosPage::DocumentosPage(MainContext& ctx, QWidget* parent)
    : MaintenancePage(ctx, "Documentos", parent) {
  auto* data = box(this, "EditDataLancto", "Clique aqui para indicar a data de lançamento", 10);
  data->setEnabled(false);
  auto* doc = box(this, "EditNumDocto", "Clique aqui para indicar o documento a filtrar", 5);
  auto* cred = box(this, "MskTotCred", "Esta é a soma dos créditos do documento selecionado", 0);
  auto* deb = box(this, "MskTotDeb", "Esta é a soma dos débitos do documento selecionado", 0);
  cred->setReadOnly(true);
  deb->setReadOnly(true);
  // Sized to what they hold: a date, five digits, and totals in general number form.
  const QFontMetrics fm(font());
  data->setFixedWidth(fm.horizontalAdvance("00/00/0000") + 16);
  doc->setFixedWidth(fm.horizontalAdvance("000000") + 16);
  for (QLineEdit* total : {cred, deb}) {
    total->setFixedWidth(fm.horizontalAdvance("000000000,0000") + 16);
    total->setAlignment(Qt::AlignRight);
  }
  form->addWidget(new QLabel("Data:", this), 0, 0);
  form->addWidget(data, 0, 1);
  form->addWidget(new QLabel("Filtro", this), 0, 2);
  form->addWidget(doc, 0, 3);
  form->addWidget(new QLabel("C", this), 1, 0);
  form->addWidget(cred, 1, 1);
  form->addWidget(new QLabel("D", this), 1, 2);
  form->addWidget(deb, 1, 3);
  form->setColumnStretch(4, 1);
  buttons->addWidget(
      makeButton(this, "ButIncluiLote", "&Incluir", "Inclui novos lançamentos no sistema"));
  auto* gravar = makeButton(this, "ButGravarLote", "&Gravar", hint::gravar);
  auto* cancelar =
      makeButton(this, "ButCancelaLote", "&Cancelar", "Cancela a inclusão do registro");
  auto* processar = makeButton(this, "ButProcessar", "&Processar", "Grava o registro incluído");
  gravar->setEnabled(false);
  cancelar->setEnabled(false);
  processar->setEnabled(false);
  buttons->addWidget(gravar);
  buttons->addWidget(cancelar);
  buttons->addWidget(
      makeButton(this, "ButFiltraDoctos", "&Filtrar",
                 "Mostra todos os registros ou somente os do documento especificado"));
  buttons->addWidget(processar);
}

} // namespace esc
