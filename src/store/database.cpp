#include "database.h"

#include "collation.h"
#include "storeerror.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QUrl>
#include <sqlite3.h>

namespace esc {

// ---------------------------------------------------------------- registry

namespace {
QMutex registryMutex;
QHash<QString, QString>& registry() {
  static QHash<QString, QString> names;
  return names;
}
} // namespace

bool DatabaseRegistry::isKnown(const QString& name) {
  QMutexLocker lock(&registryMutex);
  return registry().contains(name.toLower());
}
void DatabaseRegistry::registerName(const QString& name, const QString& directory) {
  QMutexLocker lock(&registryMutex);
  registry().insert(name.toLower(), directory);
}
QString DatabaseRegistry::directory(const QString& name) {
  QMutexLocker lock(&registryMutex);
  return registry().value(name.toLower());
}
void DatabaseRegistry::forget(const QString& name) {
  QMutexLocker lock(&registryMutex);
  registry().remove(name.toLower());
}

namespace {

// Every DELETE goes row by row: SQLite's truncate shortcut for a DELETE without WHERE
// would skip the update hook, and cursors would keep counts of rows that are gone. Only a
// DELETE statement, though: DROP TABLE asks for a delete of the table itself right after
// asking for the drop, and DROP INDEX one of SQLite's schema table; an ignored delete there
// makes them do nothing without a word.
int authorize(void* data, int action, const char* table, const char*, const char*, const char*) {
  QByteArray& dropping = *static_cast<QByteArray*>(data);
  if (action == SQLITE_DROP_TABLE || action == SQLITE_DROP_TEMP_TABLE) {
    dropping = table;
    return SQLITE_OK;
  }
  const QByteArray dropped = std::exchange(dropping, QByteArray());
  if (action != SQLITE_DELETE || !table) return SQLITE_OK;
  if (dropped == table || sqlite3_strnicmp(table, "sqlite_", 7) == 0) return SQLITE_OK;
  return SQLITE_IGNORE;
}

// The directory of a connection's files, for messages: the anchor's or, on a connection in
// memory, that of the first table file attached.
QString directoryOf(sqlite3* db) {
  for (int i = 0; const char* name = sqlite3_db_name(db, i); ++i) {
    const char* file = sqlite3_db_filename(db, name);
    if (file && *file)
      return QDir::toNativeSeparators(QFileInfo(QString::fromUtf8(file)).absolutePath());
  }
  return {};
}

// What SQLite reported, as the user reads it: a busy book and an interrupted transaction in
// sentences of their own; anything else after a sentence that says what failed.
StoreError failure(sqlite3* db, const QString& doing, const QString& detail) {
  const int code = sqlite3_extended_errcode(db);
  if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
    return StoreError(StoreError::keyViolationText());
  if ((code & 0xff) == SQLITE_BUSY)
    return StoreError(StoreError::Kind::Busy, StoreError::busyText());
  if (code == SQLITE_READONLY_ROLLBACK)
    return StoreError(StoreError::Kind::NeedsRecovery,
                      QStringLiteral("Os dados em %1 guardam uma gravação interrompida, que só o "
                                     "Escrivon pode desfazer: abra-os primeiro no programa "
                                     "escrivon para concluir a recuperação. Nada foi alterado.")
                          .arg(directoryOf(db)));
  return StoreError(doing + ": " + detail);
}

[[noreturn]] void fail(sqlite3* db, const QString& doing) {
  throw failure(db, doing, QString::fromUtf8(sqlite3_errmsg(db)));
}

QString readingText() {
  return QStringLiteral("Não foi possível ler os dados");
}
QString writingText() {
  return QStringLiteral("Não foi possível gravar os dados");
}

// SQLite counts BEGIN, COMMIT and their kin as read-only statements; their failures are
// failures to write.
bool writes(sqlite3_stmt* stmt) {
  if (!sqlite3_stmt_readonly(stmt)) return true;
  const QByteArray sql = QByteArray(sqlite3_sql(stmt)).trimmed().toUpper();
  for (const char* word : {"BEGIN", "COMMIT", "END", "ROLLBACK", "SAVEPOINT", "RELEASE"})
    if (sql.startsWith(word)) return true;
  return false;
}

QString fileUri(const QString& path, const char* mode) {
  return QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(path, "/")) +
         "?mode=" + mode;
}

} // namespace

// ---------------------------------------------------------------- statement

namespace detail {

// What the statements of one connection share with it: the idle statements for reuse, and
// whether the connection is gone (a statement outliving it is then finalized, not kept).
struct Connection {
  sqlite3* db = nullptr;
  Database* owner = nullptr;
  QHash<QString, QVector<sqlite3_stmt*>> idle;
  int idleCount = 0;
  bool closed = false;
  bool aborted = false;     // SQLite rolled the open transaction back by itself
  QByteArray droppingTable; // the authorizer's memory between a drop and its delete
  static constexpr int maxIdle = 400;

  void finalizeIdle() {
    for (const QVector<sqlite3_stmt*>& list : std::as_const(idle))
      for (sqlite3_stmt* s : list)
        sqlite3_finalize(s);
    idle.clear();
    idleCount = 0;
  }
};

} // namespace detail

namespace {

QString abortedText() {
  return QStringLiteral("A transação foi desfeita por um erro anterior; nada mais pode ser "
                        "gravado nela.");
}

int openTransactionCount = 0;

} // namespace

Statement::Statement(std::shared_ptr<detail::Connection> c, sqlite3_stmt* stmt, const QString& sql)
    : conn_(std::move(c)), db_(conn_->db), stmt_(stmt), sql_(sql) {}

Statement::Statement(Statement&& other) noexcept
    : conn_(std::move(other.conn_)), db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)),
      sql_(std::move(other.sql_)) {}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    release();
    conn_ = std::move(other.conn_);
    db_ = other.db_;
    stmt_ = std::exchange(other.stmt_, nullptr);
    sql_ = std::move(other.sql_);
  }
  return *this;
}

Statement::~Statement() {
  release();
}

void Statement::release() {
  if (!stmt_) return;
  sqlite3_stmt* s = std::exchange(stmt_, nullptr);
  if (!conn_) {
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return;
  }
  if (conn_->closed || conn_->idleCount >= detail::Connection::maxIdle) {
    sqlite3_finalize(s);
  } else {
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    conn_->idle[sql_].append(s);
    ++conn_->idleCount;
  }
  conn_.reset();
}

Statement& Statement::bind(int index, const QVariant& v) {
  int rc;
  if (!v.isValid() || v.isNull()) {
    rc = sqlite3_bind_null(stmt_, index);
  } else {
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
      rc = sqlite3_bind_double(stmt_, index, v.toDouble());
      break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
      rc = sqlite3_bind_int64(stmt_, index, v.toLongLong());
      break;
    case QMetaType::QDate:
      rc = sqlite3_bind_text(stmt_, index, v.toDate().toString(Qt::ISODate).toUtf8().constData(),
                             -1, SQLITE_TRANSIENT);
      break;
    default: {
      const QByteArray utf8 = v.toString().toUtf8();
      rc = sqlite3_bind_text(stmt_, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
    }
    }
  }
  if (rc != SQLITE_OK) fail(db_, QStringLiteral("Não foi possível preparar a consulta aos dados"));
  return *this;
}

Statement& Statement::bindAll(const QVariantList& values, int first) {
  for (int i = 0; i < values.size(); ++i)
    bind(first + i, values[i]);
  return *this;
}

bool Statement::step() {
  if (conn_ && conn_->aborted && !sqlite3_stmt_readonly(stmt_)) throw StoreError(abortedText());
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  try {
    fail(db_, writes(stmt_) ? writingText() : readingText());
  } catch (const StoreError&) {
    if (conn_ && conn_->owner) conn_->owner->noteFailure();
    throw;
  }
}

void Statement::run() {
  while (step()) {
  }
}

void Statement::reset() {
  sqlite3_reset(stmt_);
}

bool Statement::isReadOnly() const {
  return sqlite3_stmt_readonly(stmt_) != 0;
}

int Statement::columnCount() const {
  return sqlite3_column_count(stmt_);
}
QString Statement::columnName(int c) const {
  return QString::fromUtf8(sqlite3_column_name(stmt_, c));
}

QVariant Statement::value(int c) const {
  switch (sqlite3_column_type(stmt_, c)) {
  case SQLITE_INTEGER:
    return QVariant(static_cast<qint64>(sqlite3_column_int64(stmt_, c)));
  case SQLITE_FLOAT:
    return QVariant(sqlite3_column_double(stmt_, c));
  case SQLITE_NULL:
    return QVariant();
  default:
    return text(c);
  }
}

QString Statement::text(int c) const {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
  return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, c)) : QString();
}
double Statement::real(int c) const {
  return sqlite3_column_double(stmt_, c);
}
qint64 Statement::integer(int c) const {
  return sqlite3_column_int64(stmt_, c);
}
bool Statement::isNull(int c) const {
  return sqlite3_column_type(stmt_, c) == SQLITE_NULL;
}

// ---------------------------------------------------------------- lock

BookLock::BookLock(const QString& directory) : directory_(QFileInfo(directory).absoluteFilePath()) {
  if (!QFileInfo(directory).isDir())
    throw StoreError(QStringLiteral("Diretório de dados não encontrado: %1").arg(directory));
  const QString path = QDir(directory_).filePath(fileName);
  file_ = std::make_unique<QLockFile>(path);
  // Only a dead holder makes the lock stale: a live one may keep the book open for days.
  file_->setStaleLockTime(0);
  // The holder may let go between the refusal and the reading of its name: try again then.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (file_->tryLock(0)) return;
    qint64 pid = 0;
    QString host, program;
    if (file_->error() != QLockFile::LockFailedError) break;
    if (file_->getLockInfo(&pid, &host, &program))
      throw StoreError(
          QStringLiteral("Os dados em %1 já estão abertos por outro Escrivon (processo %2).")
              .arg(QDir::toNativeSeparators(directory_))
              .arg(pid));
  }
  throw StoreError(QStringLiteral("Não foi possível criar o arquivo de trava %1.")
                       .arg(QDir::toNativeSeparators(path)));
}

BookLock::~BookLock() = default;

// ---------------------------------------------------------------- database

Database::Database(QObject* parent) : QObject(parent) {}

Database::~Database() {
  closeDirectory();
}

void Database::openDirectory(const QString& directory, Access access) {
  closeDirectory();
  QFileInfo dir(directory);
  if (!dir.exists() || !dir.isDir())
    throw StoreError(QStringLiteral("Diretório de dados não encontrado: %1").arg(directory));
  const QString anchor = QDir(directory).filePath(anchorFileName);
  const bool readOnly = access == Access::ReadOnly;
  // URIs: a reader's files are attached with mode=ro.
  QString target = anchor;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI;
  if (readOnly && QFileInfo(anchor).isFile()) {
    target = fileUri(QFileInfo(anchor).absoluteFilePath(), "ro");
    flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
  } else if (readOnly) {
    target = QStringLiteral(":memory:");
    flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI;
  }
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(target.toUtf8().constData(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sem memória");
    sqlite3_close(db);
    throw StoreError(QStringLiteral("Não foi possível abrir %1: %2").arg(anchor, msg));
  }
  db_ = db;
  conn_ = std::make_shared<detail::Connection>();
  conn_->db = db_;
  conn_->owner = this;
  directory_ = dir.absoluteFilePath();
  access_ = access;
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 2000);
  sqlite3_create_collation(db_, esciCollationName, SQLITE_UTF8, nullptr, esciCompare);
  sqlite3_update_hook(db_, &Database::updateHook, this);
  sqlite3_set_authorizer(db_, authorize, &conn_->droppingTable);
  if (!readOnly) execScript("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
}

void Database::createTableFile(const QString& directory, const QString& fileName,
                               const QString& createSql) {
  const QString path = QDir(directory).filePath(fileName);
  if (QFileInfo::exists(path))
    throw StoreError(QStringLiteral("O arquivo %1 já existe.").arg(path));
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
    sqlite3_close(db);
    throw StoreError(QStringLiteral("Não foi possível criar %1: %2").arg(path, msg));
  }
  sqlite3_create_collation(db, esciCollationName, SQLITE_UTF8, nullptr, esciCompare);
  char* err = nullptr;
  const int rc = sqlite3_exec(db, ("PRAGMA journal_mode=DELETE;" + createSql).toUtf8().constData(),
                              nullptr, nullptr, &err);
  const QString msg = QString::fromUtf8(err ? err : "");
  sqlite3_free(err);
  sqlite3_close(db);
  if (rc != SQLITE_OK)
    throw StoreError(QStringLiteral("Não foi possível criar %1: %2").arg(path, msg));
}

void Database::registerCollations(sqlite3* db) {
  sqlite3_create_collation(db, esciCollationName, SQLITE_UTF8, nullptr, esciCompare);
}

void Database::closeDirectory() {
  if (!db_) return;
  if (depth_ > 0) openTransactionCount -= 1;
  // Statements still held by their users are finalized when they are destroyed; SQLite
  // keeps the connection until then.
  conn_->finalizeIdle();
  conn_->closed = true;
  conn_->owner = nullptr;
  conn_.reset();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  depth_ = 0;
  access_ = Access::ReadWrite;
}

void Database::dropIdleStatements() {
  if (conn_) conn_->finalizeIdle();
}

int Database::cachedStatements() const {
  return conn_ ? conn_->idleCount : 0;
}

void Database::attach(const QString& schema, const QString& fileName, const QString& sqlTable,
                      const QStringList& columns) {
  if (!db_) throw StoreError(QStringLiteral("Banco de dados não conectado."));
  const QString path = QDir(directory_).filePath(fileName);
  QFileInfo info(path);
  if (!info.exists())
    throw StoreError(QStringLiteral("Arquivo de tabela não encontrado: %1").arg(path));
  if (!info.isFile() || !info.isReadable())
    throw StoreError(QStringLiteral("Arquivo de tabela ilegível: %1").arg(path));
  // mode=rw: attaching never creates a missing file; mode=ro: a reader never writes one.
  const QString uri = fileUri(info.absoluteFilePath(), isReadOnly() ? "ro" : "rw");
  // A close inside a transaction cannot detach; the file then stays attached until reopened.
  bool attached = false;
  {
    Statement st = prepare(QStringLiteral("PRAGMA database_list"));
    while (st.step())
      attached |= st.text(1) == schema && QFileInfo(st.text(2)) == info;
  }
  if (!attached) {
    dropIdleStatements(); // kept statements were compiled against the schemas of before
    Statement st = prepare(QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(schema));
    st.bind(1, uri);
    try {
      st.run();
    } catch (const StoreError& e) {
      if (e.kind() != StoreError::Kind::General) throw;
      throw StoreError(QStringLiteral("Não foi possível abrir %1: %2").arg(path, e.message()));
    }
  }
  // A file of ours holds the table with exactly our columns.
  QStringList found;
  try {
    Statement st =
        prepare(QStringLiteral("PRAGMA \"%1\".table_info(\"%2\")").arg(schema, sqlTable));
    while (st.step())
      found << st.text(1);
  } catch (const StoreError& e) {
    detach(schema);
    if (e.kind() != StoreError::Kind::General) throw;
    throw StoreError(QStringLiteral("Não foi possível abrir %1: %2").arg(path, e.message()));
  }
  bool same = found.size() == columns.size();
  for (int i = 0; same && i < columns.size(); ++i)
    same = found[i].compare(columns[i], Qt::CaseInsensitive) == 0;
  if (!same) {
    detach(schema);
    throw StoreError(
        QStringLiteral("O arquivo %1 não é uma tabela \"%2\" do Escrivon.").arg(path, sqlTable));
  }
}

void Database::detach(const QString& schema) {
  if (!db_) return;
  // Only idle statements go: one still held by its user fails at its next step instead.
  dropIdleStatements();
  exec(QStringLiteral("DETACH DATABASE \"%1\"").arg(schema));
  dropIdleStatements();
}

Statement Database::prepare(const QString& sql) {
  if (!db_) throw StoreError(QStringLiteral("Banco de dados não conectado."));
  auto it = conn_->idle.find(sql);
  if (it != conn_->idle.end() && !it->isEmpty()) {
    sqlite3_stmt* stmt = it->takeLast();
    --conn_->idleCount;
    return Statement(conn_, stmt, sql);
  }
  sqlite3_stmt* stmt = nullptr;
  const QByteArray utf8 = sql.toUtf8();
  const char* tail = nullptr;
  if (sqlite3_prepare_v3(db_, utf8.constData(), utf8.size(), SQLITE_PREPARE_PERSISTENT, &stmt,
                         &tail) != SQLITE_OK)
    fail(db_, readingText()); // preparing reads the files' schemas
  if (!stmt) throw StoreError(QStringLiteral("No SQL statement in \"%1\".").arg(sql));
  Statement out(conn_, stmt, sql);
  // Text after the statement would be dropped without a word: refuse it, unless it is only
  // blanks, semicolons or comments (they prepare to nothing).
  const char* end = utf8.constData() + utf8.size();
  while (tail && tail < end) {
    sqlite3_stmt* next = nullptr;
    const char* after = nullptr;
    const int rc = sqlite3_prepare_v2(db_, tail, int(end - tail), &next, &after);
    sqlite3_finalize(next);
    if (rc != SQLITE_OK || next)
      throw StoreError(QStringLiteral("Only one SQL statement may be run at a time; refused: %1")
                           .arg(QString::fromUtf8(tail, int(end - tail)).trimmed()));
    if (after == tail) break;
    tail = after;
  }
  return out;
}

Statement Database::prepareChecked(const QString& sql, const QVariantList& params, bool readOnly) {
  Statement st = prepare(sql);
  if (readOnly && !st.isReadOnly())
    throw StoreError(QStringLiteral("A query may only read; refused: %1").arg(sql));
  st.bindAll(params);
  return st;
}

int Database::exec(const QString& sql, const QVariantList& params) {
  Statement st = prepareChecked(sql, params, false);
  st.run();
  return sqlite3_changes(db_);
}

Statement Database::query(const QString& sql, const QVariantList& params) {
  return prepareChecked(sql, params, true);
}

QVector<QVariantList> Database::select(const QString& sql, const QVariantList& params,
                                       QStringList* columns) {
  Statement st = prepareChecked(sql, params, true);
  QVector<QVariantList> rows;
  const int n = st.columnCount();
  if (columns) {
    columns->clear();
    for (int i = 0; i < n; ++i)
      *columns << st.columnName(i);
  }
  while (st.step()) {
    QVariantList row;
    row.reserve(n);
    for (int i = 0; i < n; ++i)
      row << st.value(i);
    rows << row;
  }
  return rows;
}

QVariant Database::selectValue(const QString& sql, const QVariantList& params) {
  Statement st = prepareChecked(sql, params, true);
  return st.step() ? st.value(0) : QVariant();
}

void Database::execScript(const QString& sql) {
  if (!db_) throw StoreError(QStringLiteral("Banco de dados não conectado."));
  if (transactionAborted()) throw StoreError(abortedText());
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
    const StoreError e = failure(db_, writingText(), QString::fromUtf8(err ? err : ""));
    sqlite3_free(err);
    noteFailure();
    throw e;
  }
}

qint64 Database::lastInsertRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

bool Database::transactionAborted() const {
  return conn_ && conn_->aborted;
}

int Database::openTransactions() {
  return openTransactionCount;
}

void Database::noteFailure() {
  if (depth_ == 0 || !conn_ || conn_->aborted || !sqlite3_get_autocommit(db_)) return;
  // SQLite rolled the whole transaction back. Writes from now on would each commit alone,
  // outside the all-or-nothing the caller counts on: refuse them until the caller's
  // Transaction ends, and let the cursors go back to where the transaction found them.
  conn_->aborted = true;
  ++rollbacks_;
  emit transactionEnded(false);
}

void Database::begin() {
  if (!db_) throw StoreError(QStringLiteral("Banco de dados não conectado."));
  if (transactionAborted()) throw StoreError(abortedText());
  if (depth_ == 0) {
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    ++depth_;
    ++openTransactionCount;
    emit transactionStarted();
  } else {
    exec(QStringLiteral("SAVEPOINT sp%1").arg(depth_));
    ++depth_;
  }
}

void Database::commit() {
  if (depth_ == 0) return;
  --depth_;
  if (transactionAborted()) {
    if (depth_ == 0) {
      conn_->aborted = false;
      --openTransactionCount;
      emit transactionEnded(false);
    }
    throw StoreError(abortedText());
  }
  if (depth_ == 0) {
    --openTransactionCount;
    try {
      exec(QStringLiteral("COMMIT"));
    } catch (...) {
      if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
      conn_->aborted = false;
      ++rollbacks_;
      emit transactionEnded(false);
      throw;
    }
    emit transactionEnded(true);
  } else {
    exec(QStringLiteral("RELEASE sp%1").arg(depth_));
  }
}

void Database::rollback() {
  if (depth_ == 0) return;
  --depth_;
  if (transactionAborted()) {
    // SQLite has rolled back already; only the outermost end closes the refusal.
    if (depth_ == 0) {
      conn_->aborted = false;
      --openTransactionCount;
      emit transactionEnded(false);
    }
    return;
  }
  if (depth_ == 0) {
    --openTransactionCount;
    // An error may already have ended the transaction; roll back only what is open.
    if (!sqlite3_get_autocommit(db_)) execScript("ROLLBACK");
    ++rollbacks_;
    emit transactionEnded(false);
  } else {
    execScript(QStringLiteral("ROLLBACK TO sp%1; RELEASE sp%1;").arg(depth_));
    ++rollbacks_;
    emit transactionEnded(false);
  }
}

void Database::updateHook(void* self, int, const char*, const char* table, long long) {
  auto* d = static_cast<Database*>(self);
  ++d->generations_[QString::fromUtf8(table)];
}

// ---------------------------------------------------------------- transaction

Transaction::Transaction(Database& db) : db_(db) {
  db_.begin();
}

Transaction::~Transaction() {
  if (!done_) {
    try {
      db_.rollback();
    } catch (...) {
    }
  }
}

void Transaction::commit() {
  done_ = true;
  db_.commit();
}

} // namespace esc
