#pragma once
#include "ui/mainContext.h"

#include <QPushButton>
#include <QWidget>

namespace esc {

// "Manutenção" / "Atualizações": the month and year routines of the books. Each button runs
// one operation to completion inside its click, moving the progress bar `Termometro`.
class AtualizacoesPage : public QWidget {
  Q_OBJECT
public:
  AtualizacoesPage(MainContext& ctx, QWidget* parent = nullptr);

  // Synthetic roll-up, next-year opening, carry-forward, closing and reopening.
  void atuSaldo();
  void aberExer();
  void transpSdo();
  void fechaExercicio();
  void abreExercicio();
  // Income statement, balance sheet and the backup copy (atualizacoesStatements.cpp).
  void atuDemRes();
  void atuBalPatri();
  void backUp();

  QPushButton* ButAtuSaldo;
  QPushButton* ButAberExer;
  QPushButton* ButTranspSdo;
  QPushButton* ButAtuDemRes;
  QPushButton* ButAtuBalPatri;
  QPushButton* ButFechaExercicio;
  QPushButton* ButAbreExercicio;
  QPushButton* ButBackUp;

private:
  MainContext& ctx_;
};

} // namespace esc
