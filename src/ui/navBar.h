#pragma once
#include "store/table.h"
#include "store/userPrompts.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace esc {

// The names of one bar's six buttons and skip box, as each page calls them.
struct NavBarNames {
  QString first, skipBack, prior, next, skipForward, last, skipBox;
};

// The record navigation bar every maintenance page and most list pages carry: First,
// Skip back, Prior, Next, Skip forward, Last, and the "Valor Salto" box. Bars on two pages
// of one table move the same cursor.
class NavBar : public QWidget {
  Q_OBJECT
public:
  NavBar(Table* table, Ui& ui, const NavBarNames& names, QWidget* parent = nullptr);

  QPushButton* firstButton() const { return buttons_[0]; }
  QPushButton* skipBackButton() const { return buttons_[1]; }
  QPushButton* priorButton() const { return buttons_[2]; }
  QPushButton* nextButton() const { return buttons_[3]; }
  QPushButton* skipForwardButton() const { return buttons_[4]; }
  QPushButton* lastButton() const { return buttons_[5]; }
  QLineEdit* skipBox() const { return skipBox_; }
  QList<QPushButton*> buttons() const { return buttons_; }

  void skip(int sign); // +1 Skip forward, -1 Skip back

private:
  void move(void (Table::*step)());
  Table* table_;
  Ui& ui_;
  QList<QPushButton*> buttons_;
  QLineEdit* skipBox_;
};

// The pair of read-only boxes "Registro Atual" / "Total de Registros".
class RecordCounters : public QWidget {
  Q_OBJECT
public:
  RecordCounters(const QString& currentName, const QString& totalName, QWidget* parent = nullptr);
  QLineEdit* current() const { return current_; }
  QLineEdit* total() const { return total_; }
  void show(Table* table); // writes the record number and the count as plain numbers

private:
  QLineEdit* current_;
  QLineEdit* total_;
};

} // namespace esc
