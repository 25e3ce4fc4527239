#include "parameterDialog.h"

#include "ui/pageParts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace esc::report {

ParameterDialog::ParameterDialog(const DialogForm& form, Runner runner, QWidget* parent)
    : ReportDialog(parent), form_(form), runner_(std::move(runner)) {
  setObjectName(form.name.startsWith("T") ? form.name.mid(1) : form.name);
  setWindowTitle(form.caption);

  auto* col = new QVBoxLayout(this);
  col->addWidget(makeHeading(this, QStringLiteral("Seleção de Parâmetros")));

  auto* panel = new QGroupBox(this);
  panel->setObjectName("PainelParametros");
  auto* grid = new QGridLayout(panel);
  int row = 0;
  auto edit = [&](const QString& name, const DialogField& f) {
    auto* e = new QLineEdit(panel);
    e->setObjectName(name);
    if (f.maxLength > 0) e->setMaxLength(f.maxLength);
    if (!f.hint.isEmpty()) {
      e->setToolTip(f.hint);
      e->setStatusTip(f.hint);
    }
    if (f.upperCase)
      connect(e, &QLineEdit::textEdited, e, [e](const QString& t) {
        const int pos = e->cursorPosition();
        e->setText(t.toUpper());
        e->setCursorPosition(pos);
      });
    edits_.insert(name, e);
    return e;
  };
  for (const DialogField& f : form.fields) {
    auto* from = edit(f.from, f);
    from->setText(f.initial);
    auto* label = new QLabel(f.label, panel);
    label->setBuddy(from);
    grid->addWidget(label, row, 0, Qt::AlignRight);
    grid->addWidget(from, row, 1);
    if (!f.to.isEmpty()) {
      auto* to = edit(f.to, f);
      auto* toLabel = new QLabel(f.toLabel, panel);
      toLabel->setBuddy(to);
      grid->addWidget(toLabel, row, 2, Qt::AlignRight);
      grid->addWidget(to, row, 3);
    }
    ++row;
  }
  for (const DialogCheck& c : form.checks) {
    auto* box = new QCheckBox(c.caption, panel);
    box->setObjectName(c.name);
    box->setChecked(c.initial);
    grid->addWidget(box, row++, 0, 1, 4);
    checks_.insert(c.name, box);
  }
  col->addWidget(panel);

  if (form.choice) {
    auto* group = new QGroupBox(form.choice->caption, this);
    group->setObjectName(form.choice->name);
    auto* g = new QGridLayout(group);
    order_ = new QButtonGroup(group);
    const int columns = std::max(1, form.choice->columns);
    const int perColumn = int((form.choice->items.size() + columns - 1) / columns);
    for (int i = 0; i < form.choice->items.size(); ++i) {
      auto* r = new QRadioButton(form.choice->items[i], group);
      r->setObjectName(form.choice->name + QString::number(i));
      r->setChecked(i == 0);
      order_->addButton(r, i);
      g->addWidget(r, i % perColumn, i / perColumn);
    }
    col->addWidget(group);
  }

  auto* buttons = new QHBoxLayout;
  auto* video = makeButton(this, form.videoButton, QStringLiteral("&Vídeo"), form.videoHint);
  auto* printer =
      makeButton(this, form.printerButton, QStringLiteral("&Impressora"), form.printerHint);
  auto* close = makeButton(this, form.closeButton, QStringLiteral("&Encerrar"), form.closeHint);
  video->setAutoDefault(false);
  printer->setAutoDefault(false);
  close->setAutoDefault(false);
  buttons->addWidget(video);
  buttons->addWidget(printer);
  buttons->addWidget(close);
  col->addLayout(buttons);
  connect(video, &QPushButton::clicked, this, [this] { runner_(values(), Output::Video, this); });
  connect(printer, &QPushButton::clicked, this,
          [this] { runner_(values(), Output::Printer, this); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(sizeHint());
}

ParamValues ParameterDialog::values() const {
  ParamValues v;
  for (auto it = edits_.begin(); it != edits_.end(); ++it)
    v.insert(it.key(), it.value()->text());
  for (auto it = checks_.begin(); it != checks_.end(); ++it)
    v.insert(it.key(), it.value()->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
  // By the button's id: a caption can change on screen (a style that adds accelerators).
  if (order_ && order_->checkedId() >= 0)
    v.insert(form_.choice->name, form_.choice->items.value(order_->checkedId()));
  return v;
}

} // namespace esc::report
