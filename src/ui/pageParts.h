#pragma once
#include <QLabel>
#include <QPushButton>
#include <QString>

class QBoxLayout;
class QWidget;

namespace esc {

// A button as the system names it: object name, caption with its "&" accelerator, and the
// hint as tool tip and status tip.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint);

// The editing buttons of a maintenance page, named But<letter>Inserir ... But<letter>Buscar,
// with the captions and hints every such page shares.
struct EditingButtons {
  QPushButton *inserir, *gravar, *cancelar, *eliminar, *duplicar, *buscar;
};
EditingButtons makeEditingButtons(QWidget* parent, QChar letter, QBoxLayout* into);

// The bold heading at the top of a page.
QLabel* makeHeading(QWidget* parent, const QString& text);

namespace hint {
inline const QString inserir = QStringLiteral("Insere um novo registro no banco de dados");
inline const QString gravar = QStringLiteral("Grava as alterações feitas na tela");
inline const QString cancelar =
    QStringLiteral("Cancela as operações não gravadas no banco de dados");
inline const QString eliminar = QStringLiteral("Elimina o registro atual");
inline const QString duplicar = QStringLiteral("Insere um novo registro com uma cópia do atual");
inline const QString buscar = QStringLiteral("Procura informações no banco de dados");
} // namespace hint

} // namespace esc
