#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

namespace esc {

// Decodes the stored entry password: eight groups of three digits, each a character code.
// Decoding stops at the first group that is not a number; nullopt unless all eight decode
// (a malformed stored password lets nobody in).
std::optional<QString> decodePassword(const QString& stored);

// Typed and expected passwords agree when equal after upper-casing both (no trimming).
bool passwordMatches(const QString& typed, const QString& expected);

// The entry-password dialog: no title-bar buttons; Enter is OK and Escape is Cancelar.
class TF_Senha : public QDialog {
  Q_OBJECT
public:
  explicit TF_Senha(QWidget* parent = nullptr);
  QLineEdit* EditSenha;
  QPushButton* ButSenhaOk;
  QPushButton* ButSenhaCancel;
};

} // namespace esc
