#pragma once
#include "charts/yearCharts.h"
#include "reports/engine/registry.h"
#include "ui/mainContext.h"

#include <QWidget>
#include <functional>

class QChartView;
class QLabel;
class QLineEdit;
class QPushButton;

namespace esc {

// "Gráficos" (tab "Listas"): the selected fiscal year at a glance, from the trial balance.
// Revenue, expenses and result by month, the cash accounts at each month's end and the ten
// largest expenses of the year. A click on a month's bar or point opens that month's trial
// balance for the group clicked; a click on an expense opens the account's ledger for the
// year. Drawn again when it comes on show after the year or the trial balance changed, and
// at once when the year changes while it is on show.
class ChartsPage : public QWidget {
  Q_OBJECT
public:
  explicit ChartsPage(MainContext& ctx, QWidget* parent = nullptr);
  ~ChartsPage() override;

  // Reads the selected year's figures again and draws them.
  void refresh();
  // The year selector changed: drawn now when on show, else when next shown.
  void yearChanged();

  const YearPanel& panel() const { return panel_; }
  const charts::ResultChart& resultChart() const { return result_; }
  const charts::CashChart& cashChart() const { return cash_; }
  const charts::ExpenseChart& expenseChart() const { return expenses_; }

  // What the clicks open: the trial balance of month 1 to 12 for a group, and the ledger of
  // the year for an account of panel().largestExpenses.
  void openMonth(int month, charts::Group group);
  void openExpense(int index);
  // "Salvar imagem" and "Salvar PDF" to a path; false (said in an error box) when not written.
  bool saveImage(const QString& path);
  bool savePdf(const QString& path);

  // Seams for tests: how a report preview is opened, and how the user names a file ("" when
  // the user cancels).
  std::function<void(const QString& reportId, const report::ParamValues& values)> openReport;
  std::function<QString(const QString& caption, const QString& suggested, const QString& filter)>
      askSavePath;

  QLabel* LblGraficos;
  QChartView* GrafResultado;
  QChartView* GrafDisponivel;
  QChartView* GrafDespesas;
  QLineEdit* EdGDisponivel;
  QPushButton* ButGSalvarImagem;
  QPushButton* ButGSalvarPdf;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void draw();
  void savePrefix();
  void saveAs(const QString& caption, const QString& extension, const QString& filter);
  quint64 generation() const;

  MainContext& ctx_;
  YearPanel panel_;
  charts::ResultChart result_;
  charts::CashChart cash_;
  charts::ExpenseChart expenses_;
  bool drawn_ = false;
  QString drawnYear_;
  quint64 drawnGeneration_ = 0;
};

} // namespace esc
