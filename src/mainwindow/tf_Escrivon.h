#pragma once
#include "keyboardState.h"
#include "tf_Senha.h"
#include "ui/mainContext.h"

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <functional>

namespace esc {

class YearSelector;

// The main window: four tabs of pages over the eight tables, the fiscal-year selector,
// the status line and the one-second refresh that keeps counters and buttons in step with
// the tables' states.
class TF_Escrivon : public QMainWindow, public MainContext {
  Q_OBJECT
public:
  TF_Escrivon(TDEscrivon& dm, QWidget* parent = nullptr);
  ~TF_Escrivon() override;

  // MainContext
  TDEscrivon& dm() override { return dm_; }
  Ui& ui() override { return dm_.ui(); }
  QString selectedYear() const override;

  // The default data directory, registered under "Escrivon" when no other was given.
  static QString defaultDirectory();

  // The first-show steps: register the name, open the tables, select the year, ask the
  // password. False when the system ended (a table that cannot be opened, a wrong
  // password, Cancelar).
  bool startUp();
  bool ended() const { return ended_; }
  bool accessGranted() const { return accessGranted_; }

  // The timer's tick: status line, counters, button groups.
  void refresh();
  void HabilitaBotoesC(bool on);
  void HabilitaBotoesH(bool on);
  void HabilitaBotoesL(bool on);
  void HabilitaBotoesD(bool on);

  // Seams for tests: how the password dialog is run, and where the lock keys are read.
  std::function<int(TF_Senha&)> runPasswordDialog;
  std::function<std::optional<LockKeys>()> lockKeys;

  YearSelector* DBLookupExercicio;
  QTabWidget* FichaPrincipal;
  QTabWidget* cadastros;
  QTabWidget* listas;
  QTabWidget* manutencao;
  QProgressBar* Termometro;
  QPushButton* ButSobre;
  QPushButton* ButAjuda;
  QPushButton* ButFechar;
  QLabel* panels[7];
  QTimer* Timer;
  QPointer<QWidget> splash;

protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

private:
  void buildPages();
  void buildStatusLine();
  void openTables();
  bool askPassword();
  void endSystem();
  void switchGroup(const QStringList& names, const QString& deleteName, const QString& totalName,
                   bool on);
  void setEnabled(const QString& name, bool on);
  // The refresh's widgets, looked up by name once and kept.
  template <class T> T* child(const QString& name) { return qobject_cast<T*>(widget(name)); }
  QWidget* widget(const QString& name);
  QHash<QString, QPointer<QWidget>> widgets_;

  TDEscrivon& dm_;
  bool shown_ = false;
  bool ended_ = false;
  bool accessGranted_ = false;
};

} // namespace esc
