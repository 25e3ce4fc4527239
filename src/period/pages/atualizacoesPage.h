#pragma once
#include "period/yearState.h"
#include "ui/mainContext.h"

#include <QPushButton>
#include <QWidget>
#include <functional>
#include <optional>

namespace esc {

// "Manutenção" / "Atualizações": the month and year routines of the books. Each button checks
// the selected year, asks what the routine needs asked, runs the routine to completion inside
// its click, moving the progress bar `Termometro`, says how it ended and leaves the tables'
// cursors as the routine's walk would. Each handler is true when the routine was done.
class AtualizacoesPage : public QWidget {
  Q_OBJECT
public:
  AtualizacoesPage(MainContext& ctx, QWidget* parent = nullptr);

  // Synthetic roll-up, next-year opening, carry-forward, closing and reopening.
  bool atuSaldo();
  bool aberExer();
  bool transpSdo();
  bool fechaExercicio();
  bool abreExercicio();
  // Income statement, balance sheet and the backup copy.
  bool atuDemRes();
  bool atuBalPatri();
  void backUp();
  // The year's digital bookkeeping file (ECD), and the data it needs beyond the book's.
  bool exportaEcd();
  // Asks for the SPED data when the export misses one; true when they were saved. The dialog
  // by default; a test puts its own answer here.
  std::function<bool()> askSpedData;
  void dadosSped();

  QPushButton* ButAtuSaldo;
  QPushButton* ButAberExer;
  QPushButton* ButTranspSdo;
  QPushButton* ButAtuDemRes;
  QPushButton* ButAtuBalPatri;
  QPushButton* ButFechaExercicio;
  QPushButton* ButAbreExercicio;
  QPushButton* ButBackUp;
  QPushButton* ButExportaEcd;
  QPushButton* ButDadosSped;

private:
  // The selected year; "" after saying that none is selected.
  QString selectedYearOrSay();
  // Says a store failure (unless already said) and answers false, as every handler ends on one.
  bool failed(const StoreError& e);
  // Says a routine's refusal when there is one; true when it was said.
  bool saidRefusal(const std::optional<OperationResult>& refusal);
  bool changeYear(YearChange change);
  // The income statement of a period already typed (the prompt's answer).
  bool atuDemResPeriod(const QString& typed);

  MainContext& ctx_;
};

} // namespace esc
