#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

struct sqlite3;
struct sqlite3_stmt;

namespace esc {

// Named databases: "Escrivon" -> its data directory, for as long as the process runs.
class DatabaseRegistry {
public:
  static bool isKnown(const QString& name);
  static void registerName(const QString& name, const QString& directory);
  static QString directory(const QString& name); // "" when unknown
  static void forget(const QString& name);       // tests only
};

// A prepared statement from the connection's cache; reset and unbound when released.
class Statement {
public:
  Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  Statement(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  Statement& bind(int index, const QVariant& value); // 1-based
  Statement& bindAll(const QVariantList& values, int first = 1);
  bool step(); // true while a row is available; throws StoreError on failure
  void run();  // steps to the end (a write)
  int columnCount() const;
  QString columnName(int column) const;
  QVariant value(int column) const; // TEXT as QString, REAL as double, INTEGER as qint64
  QString text(int column) const;
  double real(int column) const;
  qint64 integer(int column) const;
  bool isNull(int column) const;

private:
  sqlite3* db_;
  sqlite3_stmt* stmt_;
};

// The one connection to the data directory. Each table file is ATTACHed as it opens, so a
// transaction and a query can span every table. The main database is the small anchor file
// "ESCRIVON.db": SQLite needs a named main file for commits across attached files to be atomic.
class Database : public QObject {
  Q_OBJECT
public:
  static constexpr const char* anchorFileName = "ESCRIVON.db";

  explicit Database(QObject* parent = nullptr);
  ~Database() override;

  // Opens the connection on `directory`; the directory must exist. Creates only the anchor.
  void openDirectory(const QString& directory);
  // Creates a new, empty table file (escrivon-init and tests only); refuses an existing one.
  static void createTableFile(const QString& directory, const QString& fileName,
                              const QString& createSql);
  void closeDirectory();
  // Gives another connection to a table file the store's collations, so that it can read
  // and check the indexes (a backup copy being verified).
  static void registerCollations(sqlite3* db);
  bool isConnected() const { return db_ != nullptr; }
  QString directory() const { return directory_; }

  // Attaches `fileName` of the directory as schema `schema`; checks it holds `sqlTable`
  // with `columns`. Never creates the file. Errors name the file.
  void attach(const QString& schema, const QString& fileName, const QString& sqlTable,
              const QStringList& columns);
  void detach(const QString& schema);

  Statement prepare(const QString& sql);
  void exec(const QString& sql, const QVariantList& params = {});
  // A read-only query; rows of values as Statement::value gives them.
  QVector<QVariantList> select(const QString& sql, const QVariantList& params = {},
                               QStringList* columns = nullptr);
  QVariant selectValue(const QString& sql, const QVariantList& params = {});
  void execScript(const QString& sql); // several statements, no parameters

  // Transactions nest (the outermost one commits). See Transaction.
  void begin();
  void commit();
  void rollback();
  int transactionDepth() const { return depth_; }

  // Counts row changes per table (by the update hook), so cursors know when what they
  // cached is stale, whoever wrote the rows. A rollback undoes changes without calling the
  // hook, so it moves every table's generation on.
  quint64 generation(const QString& sqlTable) const {
    return generations_.value(sqlTable) + rollbacks_;
  }
  sqlite3* handle() const { return db_; }
  qint64 lastInsertRowId() const;

signals:
  // When the outermost transaction begins: cursors note where they stand.
  void transactionStarted();
  // After a commit or a rollback (of the outermost transaction, or a rollback to a nested
  // one's savepoint; transactionDepth() tells which): cursors re-read.
  void transactionEnded(bool committed);

private:
  static void updateHook(void* self, int op, const char* dbName, const char* table, long long);
  void finalizeAll();

  sqlite3* db_ = nullptr;
  QString directory_;
  QHash<QString, sqlite3_stmt*> cache_;
  QHash<QString, quint64> generations_;
  int depth_ = 0;
  quint64 rollbacks_ = 0;
};

// All-or-nothing for a write of several rows: begins on construction; commit() makes it
// durable; destroyed without commit() (an exception on the way) it rolls back, and every
// cursor re-reads its record.
class Transaction {
public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit();

private:
  Database& db_;
  bool done_ = false;
};

} // namespace esc
