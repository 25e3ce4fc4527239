#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class QLockFile;
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

namespace detail {
struct Connection;
}

// A prepared statement, owned by its user from prepare() until it is destroyed: nobody else
// gets it meanwhile, so a query may run inside a loop over the same query, and nothing frees
// it while it lives (a table closed meanwhile makes its next step an error, not a crash).
// Destroyed, it is reset, unbound and handed back to the connection's cache.
class Statement {
public:
  // A statement not from the cache: reset on destruction, never finalized here.
  Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  Statement& bind(int index, const QVariant& value); // 1-based
  Statement& bindAll(const QVariantList& values, int first = 1);
  bool step();  // true while a row is available; throws StoreError on failure
  void run();   // steps to the end (a write)
  void reset(); // back to before the first step, keeping the bound values, to run it again
  bool isReadOnly() const;
  int columnCount() const;
  QString columnName(int column) const;
  QVariant value(int column) const; // TEXT as QString, REAL as double, INTEGER as qint64
  QString text(int column) const;
  double real(int column) const;
  qint64 integer(int column) const;
  bool isNull(int column) const;

private:
  friend class Database;
  Statement(std::shared_ptr<detail::Connection> c, sqlite3_stmt* stmt, const QString& sql);
  void release();

  std::shared_ptr<detail::Connection> conn_; // null for a statement not from the cache
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  QString sql_;
};

// The book's lock file in the data directory: one program that writes at a time. The lock of
// a process that died is taken over; a live holder is named in the refusal.
class BookLock {
public:
  static constexpr const char* fileName = "ESCRIVON.lock";
  // Throws StoreError "Os dados em <diretório> já estão abertos por outro Escrivon (processo
  // <pid>)." while another process holds it, and writes nothing else into the directory.
  explicit BookLock(const QString& directory);
  ~BookLock();
  BookLock(const BookLock&) = delete;
  BookLock& operator=(const BookLock&) = delete;
  QString directory() const { return directory_; }

private:
  QString directory_;
  std::unique_ptr<QLockFile> file_;
};

// The one connection to the data directory. Each table file is ATTACHed as it opens, so a
// transaction and a query can span every table. The main database is the small anchor file
// "ESCRIVON.db": SQLite needs a named main file for commits across attached files to be atomic.
//
// Set-based work (a whole year's roll-up, opening, carry-forward, statements) goes straight
// through here instead of through cursors: exec() for writes, select()/query() for reads, all
// with bound parameters, inside one Transaction. Tables are named as the reports name them
// (contas, historic, lancamen, balanco, balpatri, demresul, fechamen, cabecalh), columns as
// the fields. A blank text or date is '' (those columns are NOT NULL), a blank number is NULL.
// Every cursor re-reads when the transaction ends, so pages show what the SQL wrote.
//
//   Transaction tx(dm.database());
//   Database& db = dm.database();
//   Statement rows = db.query("SELECT rowid, SaldoAtual FROM balanco WHERE Periodo = ? "
//                             "ORDER BY CodCtaConCodCtaCor", {period});
//   while (rows.step())
//     db.exec("UPDATE balanco SET SaldoAnterior = ? WHERE rowid = ?",
//             {rows.real(1), rows.integer(0)});
//   const auto totals = db.select("SELECT NivelDaConta, total(SaldoAtual) FROM balanco "
//                                 "WHERE Periodo = ? GROUP BY NivelDaConta", {period});
//   tx.commit(); // without it (an exception on the way) nothing of the above stays
//
// Each call runs exactly one statement: text after it is refused, and the read calls refuse
// a statement that writes.
class Database : public QObject {
  Q_OBJECT
public:
  static constexpr const char* anchorFileName = "ESCRIVON.db";

  // ReadOnly: every file is opened with SQLite's mode=ro and nothing is created, the anchor
  // neither (without one, the tables attach to a connection in memory); a file holding an
  // interrupted transaction is refused (StoreError::Kind::NeedsRecovery), since only a
  // connection that writes may roll it back.
  enum class Access { ReadWrite, ReadOnly };

  explicit Database(QObject* parent = nullptr);
  ~Database() override;

  // Opens the connection on `directory`; the directory must exist. Creates only the anchor.
  void openDirectory(const QString& directory, Access access = Access::ReadWrite);
  // Creates a new, empty table file (escrivon-init and tests only); refuses an existing one.
  static void createTableFile(const QString& directory, const QString& fileName,
                              const QString& createSql);
  void closeDirectory();
  // Gives another connection to a table file the store's collations, so that it can read
  // and check the indexes (a backup copy being verified).
  static void registerCollations(sqlite3* db);
  bool isConnected() const { return db_ != nullptr; }
  bool isReadOnly() const { return access_ == Access::ReadOnly; }
  QString directory() const { return directory_; }

  // Attaches `fileName` of the directory as schema `schema`; checks it holds `sqlTable`
  // with `columns`. Never creates the file. Errors name the file.
  void attach(const QString& schema, const QString& fileName, const QString& sqlTable,
              const QStringList& columns);
  void detach(const QString& schema);

  // A statement of one SQL statement, read or write, for its caller alone until destroyed.
  Statement prepare(const QString& sql);
  // Runs one statement (a write) with bound parameters; the number of rows it changed.
  int exec(const QString& sql, const QVariantList& params = {});
  // A read-only query, bound and ready to step: for walking many rows without copying them.
  Statement query(const QString& sql, const QVariantList& params = {});
  // A read-only query; rows of values as Statement::value gives them.
  QVector<QVariantList> select(const QString& sql, const QVariantList& params = {},
                               QStringList* columns = nullptr);
  // The first column of the first row of a read-only query (invalid when no row).
  QVariant selectValue(const QString& sql, const QVariantList& params = {});
  void execScript(const QString& sql); // several statements, no parameters

  // Transactions nest (the outermost one commits). See Transaction.
  void begin();
  void commit();
  void rollback();
  int transactionDepth() const { return depth_; }
  // SQLite rolled the open transaction back by itself (a full disk, an I/O error, no
  // memory): every write until the outermost Transaction ends is refused.
  bool transactionAborted() const;
  // Transactions open on any connection of the process (the user interface holds its input
  // while an operation's transaction is open).
  static int openTransactions();

  // Counts row changes per table (by the update hook), so cursors know when what they
  // cached is stale, whoever wrote the rows. A rollback undoes changes without calling the
  // hook, so it moves every table's generation on.
  quint64 generation(const QString& sqlTable) const {
    return generations_.value(sqlTable) + rollbacks_;
  }
  sqlite3* handle() const { return db_; }
  qint64 lastInsertRowId() const;
  // Statements prepared and kept for reuse (idle), for tests and benchmarks.
  int cachedStatements() const;

signals:
  // When the outermost transaction begins: cursors note where they stand.
  void transactionStarted();
  // After a commit or a rollback (of the outermost transaction, a rollback to a nested
  // one's savepoint, or SQLite's own rollback of a failing transaction; transactionDepth()
  // and transactionAborted() tell which): cursors re-read.
  void transactionEnded(bool committed);

private:
  friend class Statement;
  static void updateHook(void* self, int op, const char* dbName, const char* table, long long);
  void dropIdleStatements();
  void noteFailure(); // after a failed step: did SQLite end the transaction?
  Statement prepareChecked(const QString& sql, const QVariantList& params, bool readOnly);

  sqlite3* db_ = nullptr;
  std::shared_ptr<detail::Connection> conn_;
  QString directory_;
  Access access_ = Access::ReadWrite;
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
