#pragma once
#include "database.h"
#include "table.h"
#include "userPrompts.h"

#include <QObject>

namespace esc {

// The data module: the one connection, the eight tables and their data sources, for the
// whole run. Every window binds to these same objects, so each table has one current
// record, one order and one filter everywhere.
class TDEscrivon : public QObject {
  Q_OBJECT
public:
  static constexpr const char* databaseName = "Escrivon";

  TDEscrivon(Ui& ui, QObject* parent = nullptr);
  ~TDEscrivon() override;

  // The data directory when none is given (--data-dir, ESCRIVON_DATA): on Linux
  // ~/.local/share/Escrivon.
  static QString defaultDirectory();
  // Connects to the directory registered under "Escrivon" (tables stay closed).
  void connectDatabase();
  // ReadOnly (a program that only reads) opens every file with mode=ro, creates nothing, and
  // refuses a directory without the eight table files as not a book.
  void connectDirectory(const QString& directory,
                        Database::Access access = Database::Access::ReadWrite);
  // A program that writes holds the book's lock file from start-up to its end, so that a
  // second one refuses to start (StoreError naming the holder's process) before it touches
  // anything. Readers need none.
  void lockDatabase();
  void lockDirectory(const QString& directory);
  Database& database() { return db_; }
  Ui& ui() { return ui_; }

  enum class Answer { NotEditing, Yes, No };
  // Asked before an operation that must not run while `source`'s table is being edited.
  Answer ConfirmaCancelaEdicao(DataSource* source, const QString& what, const QString& action);

  QVector<Table*> tables() const; // in declaration order
  void closeAll();

  Database db_; // declared first: the tables use it
  Table* TbContas;
  Table* TbHistoric;
  Table* TbLancamen;
  Table* TbBalanco;
  Table* TbBalPatri;
  Table* TbDemResul;
  Table* TbFechamen;
  Table* TbCabecalh;
  DataSource* DsContas;
  DataSource* DsHistoric;
  DataSource* DsLancamen;
  DataSource* DsBalanco;
  DataSource* DsBalpatri;
  DataSource* DsDemResul;
  DataSource* DsFechamen;
  DataSource* DsCabecalh;

private:
  Table* make(const QString& component, const QString& duplicateKeyMessage = {});
  Ui& ui_;
  std::unique_ptr<BookLock> lock_;
};

} // namespace esc
