#include "navBar.h"

#include "store/formats.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>

namespace esc {

namespace {

QPushButton* makeButton(const QString& name, const QString& glyph, const QString& hint,
                        QWidget* parent) {
  auto* b = new QPushButton(glyph, parent);
  b->setObjectName(name);
  b->setToolTip(hint);
  b->setStatusTip(hint);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFixedSize(30, 24);
  return b;
}

} // namespace

NavBar::NavBar(Table* table, Ui& ui, const NavBarNames& n, QWidget* parent)
    : QWidget(parent), table_(table), ui_(ui) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(2);
  buttons_ = {makeButton(n.first, "|◀", "Primeiro registro", this),
              makeButton(n.skipBack, "◀◀", "Volta o salto dos registros", this),
              makeButton(n.prior, "◀", "Registro anterior", this),
              makeButton(n.next, "▶", "Próximo registro", this),
              makeButton(n.skipForward, "▶▶", "Salta registros", this),
              makeButton(n.last, "▶|", "Último registro", this)};
  for (QPushButton* b : buttons_)
    row->addWidget(b);
  row->addSpacing(6);
  auto* label = new QLabel("Valor Salto", this);
  row->addWidget(label);
  skipBox_ = new QLineEdit(this);
  skipBox_->setObjectName(n.skipBox);
  skipBox_->setToolTip("Defina um valor para o salto dos registros");
  skipBox_->setStatusTip(skipBox_->toolTip());
  skipBox_->setFixedWidth(48);
  label->setBuddy(skipBox_);
  row->addWidget(skipBox_);
  row->addStretch();

  connect(buttons_[0], &QPushButton::clicked, this, [this] { move(&Table::first); });
  connect(buttons_[1], &QPushButton::clicked, this, [this] { skip(-1); });
  connect(buttons_[2], &QPushButton::clicked, this, [this] { move(&Table::prior); });
  connect(buttons_[3], &QPushButton::clicked, this, [this] { move(&Table::next); });
  connect(buttons_[4], &QPushButton::clicked, this, [this] { skip(+1); });
  connect(buttons_[5], &QPushButton::clicked, this, [this] { move(&Table::last); });
}

void NavBar::move(void (Table::*step)()) {
  try {
    (table_->*step)();
  } catch (const StoreError& e) {
    if (!e.silent()) ui_.error(e.message());
  }
}

void NavBar::skip(int sign) {
  const QString text = fmt::trimRight(skipBox_->text());
  bool ok = false;
  const int count = text.trimmed().toInt(&ok); // digits with an optional sign
  const bool wellFormed = ok && !text.isEmpty() && !text.trimmed().contains(' ');
  try {
    if (!wellFormed) throw StoreError(QString());
    table_->moveBy(sign * count);
  } catch (const StoreError&) {
    // Whatever went wrong (a bad amount, or a record that could not leave its edit state),
    // the user is told to try again; the position is what the failure left.
    ui_.message("Valor do Salto inválido. Tente novamente.");
  }
}

RecordCounters::RecordCounters(const QString& currentName, const QString& totalName,
                               QWidget* parent)
    : QWidget(parent) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  auto box = [this, row](const QString& name, const QString& caption, const QString& hint) {
    auto* label = new QLabel(caption, this);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setToolTip(hint);
    edit->setStatusTip(hint);
    edit->setFixedWidth(64);
    edit->setAlignment(Qt::AlignRight);
    row->addWidget(label);
    row->addWidget(edit);
    return edit;
  };
  current_ = box(currentName, "Registro Atual", "Mostra o número do registro corrente");
  total_ = box(totalName, "Total de Registros", "Mostra o total de registros do arquivo");
  row->addStretch();
}

void RecordCounters::show(Table* table) {
  current_->setText(QString::number(table->recNo()));
  total_->setText(QString::number(table->recordCount()));
}

} // namespace esc
