#include "pageParts.h"

#include <QBoxLayout>

namespace esc {

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setStatusTip(hint);
  return b;
}

EditingButtons makeEditingButtons(QWidget* parent, QChar letter, QBoxLayout* into) {
  const QString p = QStringLiteral("But") + letter;
  EditingButtons b{makeButton(parent, p + "Inserir", "&Inserir", hint::inserir),
                   makeButton(parent, p + "Gravar", "&Gravar", hint::gravar),
                   makeButton(parent, p + "Cancelar", "&Cancelar", hint::cancelar),
                   makeButton(parent, p + "Eliminar", "&Eliminar", hint::eliminar),
                   makeButton(parent, p + "Duplicar", "&Duplicar", hint::duplicar),
                   makeButton(parent, p + "Buscar", "&Buscar", hint::buscar)};
  for (QPushButton* x : {b.inserir, b.gravar, b.cancelar, b.eliminar, b.duplicar, b.buscar})
    into->addWidget(x);
  return b;
}

QLabel* makeHeading(QWidget* parent, const QString& text) {
  auto* l = new QLabel(text, parent);
  QFont f = l->font();
  f.setBold(true);
  f.setPointSizeF(f.pointSizeF() * 1.15);
  l->setFont(f);
  l->setAlignment(Qt::AlignCenter);
  return l;
}

} // namespace esc
