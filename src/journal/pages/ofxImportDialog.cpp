#include "ofxImportDialog.h"

#include "store/database.h"
#include "ui/pageParts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace esc {

namespace {

QComboBox* list(QWidget* parent, const QString& name, const QString& hint) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setToolTip(hint);
  c->setStatusTip(hint);
  c->setMinimumContentsLength(48);
  return c;
}

} // namespace

OfxImportDialog::OfxImportDialog(Database& db, QWidget* parent) : QDialog(parent) {
  setObjectName("F_ImportaExtrato");
  setWindowTitle(QStringLiteral("Importar extrato bancário (OFX)"));
  file_ = new QLineEdit(this);
  file_->setObjectName("EditArquivoOfx");
  file_->setToolTip(QStringLiteral("O extrato no formato OFX, como o banco o fornece"));
  auto* browse = makeButton(this, "ButProcurarOfx", QStringLiteral("&Procurar..."),
                            QStringLiteral("Escolhe o arquivo do extrato"));
  connect(browse, &QPushButton::clicked, this, &OfxImportDialog::browse);
  bank_ = list(this, "CmbContaBanco", QStringLiteral("A conta do banco no plano de contas"));
  counter_ = list(this, "CmbContrapartida",
                  QStringLiteral("A outra conta de cada lançamento, em geral uma conta "
                                 "transitória a reclassificar"));
  historico_ =
      list(this, "CmbHistoricoOfx", QStringLiteral("O histórico padrão de cada lançamento"));
  for (const QVariantList& r :
       db.select("SELECT CodigoContaContabil, CodigoContaCorrente, NomeContaContabil, "
                 "NomeContaCorrente FROM contas WHERE NivelDaConta = '6' "
                 "ORDER BY CodigoContaContabil, CodigoContaCorrente")) {
    const QString name =
        r[2].toString() + (r[3].toString().isEmpty() ? QString() : " - " + r[3].toString());
    const QString text = r[0].toString() + "/" + r[1].toString() + "  " + name;
    const QStringList pair = {r[0].toString(), r[1].toString()};
    bank_->addItem(text, pair);
    counter_->addItem(text, pair);
  }
  for (const QVariantList& r :
       db.select("SELECT CodigoHistorico, NomeHistorico FROM historic ORDER BY CodigoHistorico"))
    historico_->addItem(r[0].toString() + "  " + r[1].toString(), r[0].toString());

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_, 1);
  fileRow->addWidget(browse);
  auto* form = new QFormLayout;
  auto* fileLabel = new QLabel(QStringLiteral("&Arquivo:"), this);
  fileLabel->setBuddy(file_);
  form->addRow(fileLabel, fileRow);
  form->addRow(QStringLiteral("&Conta do banco:"), bank_);
  form->addRow(QStringLiteral("C&ontrapartida:"), counter_);
  form->addRow(QStringLiteral("&Histórico:"), historico_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Importar"));
  buttons->button(QDialogButtonBox::Ok)->setObjectName("ButImportarOfx");
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void OfxImportDialog::browse() {
  const QString path = QFileDialog::getOpenFileName(
      this, windowTitle(), file_->text(),
      QStringLiteral("Extratos OFX (*.ofx *.OFX);;Todos os arquivos (*)"));
  if (!path.isEmpty()) file_->setText(path);
}

OfxImportChoice OfxImportDialog::choice() const {
  OfxImportChoice c;
  c.path = file_->text().trimmed();
  const QStringList bank = bank_->currentData().toStringList();
  const QStringList counter = counter_->currentData().toStringList();
  if (bank.size() == 2)
    std::tie(c.options.account, c.options.current) = std::pair(bank[0], bank[1]);
  if (counter.size() == 2)
    std::tie(c.options.counterAccount, c.options.counterCurrent) =
        std::pair(counter[0], counter[1]);
  c.options.historico = historico_->currentData().toString();
  return c;
}

} // namespace esc
