#include "tf_Senha.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace esc {

std::optional<QString> decodePassword(const QString& stored) {
  QString out;
  for (int pos = 0; pos < 24; pos += 3) {
    const QString group = stored.mid(pos, 3);
    bool ok = group.size() == 3;
    for (QChar c : group)
      ok &= c.isDigit() && c.unicode() < 128;
    const int code = ok ? group.toInt() : -1;
    if (code < 0 || code > 255) return std::nullopt;
    out += QChar(code);
  }
  return out;
}

bool passwordMatches(const QString& typed, const QString& expected) {
  return typed.toUpper() == expected.toUpper();
}

TF_Senha::TF_Senha(QWidget* parent) : QDialog(parent) {
  setObjectName("F_Senha");
  setWindowTitle("Sistema Escrivon");
  // No system menu and no close box: the only ways out are OK and Cancelar.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  auto* col = new QVBoxLayout(this);
  auto* label = new QLabel("Digite a senha para acesso:", this);
  col->addWidget(label);
  EditSenha = new QLineEdit(this);
  EditSenha->setObjectName("EditSenha");
  EditSenha->setEchoMode(QLineEdit::Password);
  // Echo "*" for each character typed, whatever the platform style's own mask is.
  EditSenha->setStyleSheet("lineedit-password-character: 42");
  label->setBuddy(EditSenha);
  col->addWidget(EditSenha);
  auto* row = new QHBoxLayout;
  row->addStretch();
  ButSenhaOk = new QPushButton("&OK", this);
  ButSenhaOk->setObjectName("ButSenhaOk");
  ButSenhaOk->setDefault(true);
  ButSenhaCancel = new QPushButton("&Cancelar", this);
  ButSenhaCancel->setObjectName("ButSenhaCancel");
  row->addWidget(ButSenhaOk);
  row->addWidget(ButSenhaCancel);
  col->addLayout(row);
  connect(ButSenhaOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(ButSenhaCancel, &QPushButton::clicked, this, &QDialog::reject); // Escape rejects too
  setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

} // namespace esc
