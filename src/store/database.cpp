#include "database.h"

#include "storeerror.h"

#include <QDir>
#include <QFileInfo>
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

// ---------------------------------------------------------------- collation

namespace {

// Letters without their accents and case, so "Álvaro" sorts beside "alvaro".
QString baseForm(const QString& s) {
  QString d = s.normalized(QString::NormalizationForm_D);
  QString out;
  out.reserve(d.size());
  for (QChar c : d)
    if (c.category() != QChar::Mark_NonSpacing) out.append(c);
  return out.toCaseFolded();
}

// Case-insensitive order for the indexes that ignore case: accented letters fold too
// (SQLite's NOCASE folds only ASCII). Equal base forms fall back to the folded text, so
// the order is total and "ÁGUA" equals "água" but not "AGUA".
int esciCompare(void*, int la, const void* pa, int lb, const void* pb) {
  auto a = static_cast<const unsigned char*>(pa);
  auto b = static_cast<const unsigned char*>(pb);
  bool ascii = true;
  const int n = std::min(la, lb);
  for (int i = 0; i < n; ++i) {
    unsigned char ca = a[i], cb = b[i];
    if ((ca | cb) & 0x80) {
      ascii = false;
      break;
    }
    if (ca >= 'A' && ca <= 'Z') ca += 32;
    if (cb >= 'A' && cb <= 'Z') cb += 32;
    if (ca != cb) {
      // Decided already unless a later byte is non-ASCII; check the rest.
      for (int j = i; j < la; ++j)
        ascii &= a[j] < 0x80;
      for (int j = i; j < lb; ++j)
        ascii &= b[j] < 0x80;
      if (ascii) return ca < cb ? -1 : 1;
      break;
    }
  }
  if (ascii) {
    for (int j = n; j < la; ++j)
      ascii &= a[j] < 0x80;
    for (int j = n; j < lb; ++j)
      ascii &= b[j] < 0x80;
    if (ascii) return la == lb ? 0 : (la < lb ? -1 : 1);
  }
  const QString sa = QString::fromUtf8(reinterpret_cast<const char*>(a), la);
  const QString sb = QString::fromUtf8(reinterpret_cast<const char*>(b), lb);
  int c = baseForm(sa).compare(baseForm(sb));
  if (c == 0) c = sa.toCaseFolded().compare(sb.toCaseFolded());
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Every DELETE goes row by row: SQLite's truncate shortcut for a DELETE without WHERE
// would skip the update hook, and cursors would keep counts of rows that are gone.
int authorize(void*, int action, const char*, const char*, const char*, const char*) {
  return action == SQLITE_DELETE ? SQLITE_IGNORE : SQLITE_OK;
}

[[noreturn]] void fail(sqlite3* db, const QString& what) {
  const int code = sqlite3_extended_errcode(db);
  if (code == SQLITE_CONSTRAINT_UNIQUE || code == SQLITE_CONSTRAINT_PRIMARYKEY)
    throw StoreError(StoreError::keyViolationText());
  throw StoreError(what.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(db))
                                  : what + ": " + QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

// ---------------------------------------------------------------- statement

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
  other.stmt_ = nullptr;
}

Statement::~Statement() {
  if (stmt_) {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
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
  if (rc != SQLITE_OK) fail(db_, QStringLiteral("bind"));
  return *this;
}

Statement& Statement::bindAll(const QVariantList& values, int first) {
  for (int i = 0; i < values.size(); ++i)
    bind(first + i, values[i]);
  return *this;
}

bool Statement::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(stmt_);
  fail(db_, {});
}

void Statement::run() {
  while (step()) {
  }
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

// ---------------------------------------------------------------- database

Database::Database(QObject* parent) : QObject(parent) {}

Database::~Database() {
  closeDirectory();
}

void Database::openDirectory(const QString& directory) {
  closeDirectory();
  QFileInfo dir(directory);
  if (!dir.exists() || !dir.isDir())
    throw StoreError(QStringLiteral("Diretório de dados não encontrado: %1").arg(directory));
  const QString anchor = QDir(directory).filePath(anchorFileName);
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(anchor.toUtf8().constData(), &db,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI, nullptr);
  if (rc != SQLITE_OK) {
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("sem memória");
    sqlite3_close(db);
    throw StoreError(QStringLiteral("Não foi possível abrir %1: %2").arg(anchor, msg));
  }
  db_ = db;
  directory_ = dir.absoluteFilePath();
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, 2000);
  sqlite3_create_collation(db_, "ESCI", SQLITE_UTF8, nullptr, esciCompare);
  sqlite3_update_hook(db_, &Database::updateHook, this);
  sqlite3_set_authorizer(db_, authorize, nullptr);
  execScript("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL;");
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
  sqlite3_create_collation(db, "ESCI", SQLITE_UTF8, nullptr, esciCompare);
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
  sqlite3_create_collation(db, "ESCI", SQLITE_UTF8, nullptr, esciCompare);
}

void Database::closeDirectory() {
  if (!db_) return;
  finalizeAll();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  depth_ = 0;
}

void Database::finalizeAll() {
  for (sqlite3_stmt* s : std::as_const(cache_))
    sqlite3_finalize(s);
  cache_.clear();
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
  // mode=rw: attaching never creates a missing file.
  const QString uri =
      QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(path, "/")) + "?mode=rw";
  // A close inside a transaction cannot detach; the file then stays attached until reopened.
  bool attached = false;
  {
    Statement st = prepare(QStringLiteral("PRAGMA database_list"));
    while (st.step())
      attached |= st.text(1) == schema && QFileInfo(st.text(2)) == info;
  }
  if (!attached) {
    finalizeAll(); // ATTACH and DETACH need no statement pending
    Statement st = prepare(QStringLiteral("ATTACH DATABASE ? AS \"%1\"").arg(schema));
    st.bind(1, uri);
    try {
      st.run();
    } catch (const StoreError& e) {
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
  finalizeAll();
  exec(QStringLiteral("DETACH DATABASE \"%1\"").arg(schema));
  finalizeAll();
}

Statement Database::prepare(const QString& sql) {
  if (!db_) throw StoreError(QStringLiteral("Banco de dados não conectado."));
  auto it = cache_.find(sql);
  if (it == cache_.end()) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v3(db_, utf8.constData(), utf8.size(), SQLITE_PREPARE_PERSISTENT, &stmt,
                           nullptr) != SQLITE_OK)
      fail(db_, {});
    it = cache_.insert(sql, stmt);
  }
  return Statement(db_, it.value());
}

void Database::exec(const QString& sql, const QVariantList& params) {
  Statement st = prepare(sql);
  st.bindAll(params);
  st.run();
}

QVector<QVariantList> Database::select(const QString& sql, const QVariantList& params,
                                       QStringList* columns) {
  Statement st = prepare(sql);
  st.bindAll(params);
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
  Statement st = prepare(sql);
  st.bindAll(params);
  return st.step() ? st.value(0) : QVariant();
}

void Database::execScript(const QString& sql) {
  if (!db_) throw StoreError(QStringLiteral("Banco de dados não conectado."));
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
    QString msg = QString::fromUtf8(err ? err : "");
    sqlite3_free(err);
    throw StoreError(msg);
  }
}

qint64 Database::lastInsertRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

void Database::begin() {
  if (depth_ == 0) {
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    ++depth_;
    emit transactionStarted();
  } else {
    exec(QStringLiteral("SAVEPOINT sp%1").arg(depth_));
    ++depth_;
  }
}

void Database::commit() {
  if (depth_ == 0) return;
  --depth_;
  if (depth_ == 0) {
    try {
      exec(QStringLiteral("COMMIT"));
    } catch (...) {
      if (!sqlite3_get_autocommit(db_)) execScript("ROLLBACK");
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
  if (depth_ == 0) {
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
