#include "tf_Sobre.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace esc {

TF_Sobre::TF_Sobre(QWidget* parent) : QDialog(parent) {
  setObjectName("F_Sobre");
  setWindowTitle("Sobre o Sistema");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  auto* col = new QVBoxLayout(this);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* lines = new QVBoxLayout(panel);
  auto line = [panel, lines](const QString& text, const QString& style = {}) {
    auto* l = new QLabel(text, panel);
    l->setStyleSheet(style);
    lines->addWidget(l);
  };
  line("Escrivon", "font-size: 20pt; font-weight: bold; color: #0000c0;");
  line("Sistema de Gerenciamento Contábil", "font-weight: bold;");
  line("Versão 1");
  line("Escrituração contábil por partidas dobradas");
  col->addWidget(panel);
  col->addStretch();
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("ButOk");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addStretch();
  col->addLayout(row);
  setFixedSize(409, 316);
}

} // namespace esc
