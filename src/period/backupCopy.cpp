#include "backupCopy.h"

#include "store/database.h"
#include "store/fileIdentity.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace esc {

namespace {

// The nearest directory of `path` that exists: a medium's file system is asked about even
// when the typed directory is missing on it.
QString existingParent(const QString& path) {
  QFileInfo info(QDir::cleanPath(QDir(path).absolutePath()));
  while (!info.exists() && !info.isRoot()) {
    const QString up = info.absolutePath();
    if (up == info.absoluteFilePath()) break;
    info = QFileInfo(up);
  }
  return info.absoluteFilePath();
}

// A block device that the kernel marks removable, or a volume mounted where desktops mount
// media.
bool isRemovable(const QStorageInfo& volume) {
  const QString root = volume.rootPath();
  if (root.startsWith("/media/") || root.startsWith("/run/media/")) return true;
  const QString device = QString::fromLocal8Bit(volume.device());
  if (!device.startsWith("/dev/")) return false;
  QString dir = QFileInfo("/sys/class/block/" + QFileInfo(device).fileName()).canonicalFilePath();
  if (dir.isEmpty()) return false;
  if (QFileInfo::exists(dir + "/partition")) dir = QFileInfo(dir).absolutePath();
  QFile flag(dir + "/removable");
  return flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1";
}

void syncDirectory(const QString& dir) {
  const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void removeStaged(const QString& path) {
  QFile::remove(path);
  QFile::remove(path + "-journal");
}

// The files SQLite keeps beside a database while it writes to it. One left in the destination
// by a copy that was opened and interrupted would be rolled back over the new copy on its
// first open.
void removeSideFiles(const QString& path) {
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    QFile::remove(path + suffix);
}

QString uriOf(const QString& path, const char* mode) {
  return QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(path, "/")) +
         "?mode=" + mode;
}

// One connection that holds a read snapshot of every file of the data directory while the
// copy goes on, so a commit elsewhere cannot slip in between two files.
class Snapshot {
public:
  explicit Snapshot(const QString& directory, const QStringList& files) {
    if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK)
      return;
    sqlite3_busy_timeout(db_, 2000);
    Database::registerCollations(db_);
    for (int i = 0; i < files.size(); ++i) {
      const QString path = QDir(directory).filePath(files[i]);
      bool ok = QFileInfo(path).isFile();
      if (ok) {
        const QByteArray sql = QStringLiteral("ATTACH DATABASE '%1' AS s%2")
                                   .arg(uriOf(path, "rw").replace("'", "''"))
                                   .arg(i)
                                   .toUtf8();
        ok = sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
      }
      attached_ << ok;
    }
    sqlite3_exec(db_, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < files.size(); ++i) {
      if (!attached_[i]) continue;
      const QByteArray sql =
          QStringLiteral("SELECT count(*) FROM s%1.sqlite_master").arg(i).toUtf8();
      attached_[i] = sqlite3_exec(db_, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }
  }
  ~Snapshot() {
    if (!db_) return;
    sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db_);
  }
  sqlite3* db() const { return db_; }
  bool readable(int i) const { return db_ && i < attached_.size() && attached_[i]; }

private:
  sqlite3* db_ = nullptr;
  QVector<bool> attached_;
};

// The first result row of `pragma` on `db` is "ok".
bool checkedOk(sqlite3* db, const char* pragma) {
  sqlite3_stmt* st = nullptr;
  const bool ok =
      sqlite3_prepare_v2(db, pragma, -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_step(st) == SQLITE_ROW &&
      QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok" &&
      sqlite3_step(st) == SQLITE_DONE;
  sqlite3_finalize(st);
  return ok;
}

// The copy in place opens as the next user will open it, read-only, so this check can
// neither repair nor spoil it.
bool opensSound(const QString& path) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(uriOf(path, "ro").toUtf8().constData(), &db,
                            SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) == SQLITE_OK;
  if (ok) {
    Database::registerCollations(db);
    ok = checkedOk(db, "PRAGMA quick_check");
  }
  sqlite3_close(db);
  return ok;
}

// Writes schema `s<index>` of the snapshot to `target` and checks the result.
bool stage(const Snapshot& source, int index, const QString& target) {
  removeStaged(target);
  sqlite3* dst = nullptr;
  if (sqlite3_open_v2(QFile::encodeName(target).constData(), &dst,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    sqlite3_close(dst);
    removeStaged(target);
    return false;
  }
  Database::registerCollations(dst);
  bool ok = false;
  const QByteArray schema = QStringLiteral("s%1").arg(index).toUtf8();
  if (sqlite3_backup* b = sqlite3_backup_init(dst, "main", source.db(), schema.constData())) {
    int rc;
    int tries = 0;
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
      if (++tries > 20) break;
      sqlite3_sleep(100);
    }
    ok = sqlite3_backup_finish(b) == SQLITE_OK && rc == SQLITE_DONE;
  }
  if (ok) ok = checkedOk(dst, "PRAGMA integrity_check");
  ok = sqlite3_close(dst) == SQLITE_OK && ok;
  if (!ok) removeStaged(target);
  return ok;
}

} // namespace

// ---------------------------------------------------------------- volumes

bool BackupVolumes::ready(const QString& directory) const {
  QStorageInfo volume(existingParent(directory));
  return volume.isValid() && volume.isReady();
}

qint64 BackupVolumes::freeBytes(const QString& directory) const {
  QStorageInfo volume(existingParent(directory));
  if (!volume.isValid() || !volume.isReady()) return -1;
  return volume.bytesAvailable();
}

QString BackupVolumes::defaultDestination() const {
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
    if (!v.isValid() || !v.isReady() || v.isReadOnly() || v.isRoot()) continue;
    if (isRemovable(v)) return v.rootPath() + "/";
  }
  return QDir::homePath() + "/";
}

// ---------------------------------------------------------------- copy

namespace {

// What the copy left: the files that failed, whether some were already renamed into place,
// and whether all were in place but some did not open soundly there.
struct Copied {
  QStringList failed;
  int renamed = 0;
  bool unsound = false;
};

Copied copyFiles(const QString& source, const QString& destination, Progress& progress,
                 const BackupVolumes& volumes, const std::function<void()>& lowSpace) {
  const QStringList files = backupFileNames();
  progress.setRange(0, files.size());
  progress.setPosition(0);
  Copied out;
  {
    Snapshot snapshot(source, files);
    for (int i = 0; i < files.size(); ++i) {
      const qint64 size = QFileInfo(QDir(source).filePath(files[i])).size();
      const qint64 free = volumes.freeBytes(destination);
      if ((free < 0 || free < backupLowSpace || free < size) && lowSpace) lowSpace();
      if (!snapshot.readable(i) || !stage(snapshot, i, destination + backupStagingName(files[i])))
        out.failed << files[i];
      progress.setPosition(i + 1);
    }
  }
  if (!out.failed.isEmpty()) {
    for (const QString& f : files)
      removeStaged(destination + backupStagingName(f));
    return out;
  }
  syncDirectory(destination);
  for (const QString& f : files) {
    removeSideFiles(destination + f);
    const QByteArray from = QFile::encodeName(destination + backupStagingName(f));
    const QByteArray to = QFile::encodeName(destination + f);
    if (std::rename(from.constData(), to.constData()) != 0) {
      out.failed << f;
      removeStaged(destination + backupStagingName(f));
    } else {
      ++out.renamed;
    }
  }
  syncDirectory(destination);
  if (!out.failed.isEmpty()) return out;
  for (const QString& f : files)
    if (!opensSound(destination + f)) out.failed << f;
  out.unsound = !out.failed.isEmpty();
  return out;
}

} // namespace

QStringList backupFileNames() {
  QStringList out;
  for (const char* table : {"TbBalanco", "TbBalPatri", "TbCabecalh", "TbContas", "TbDemResul",
                            "TbFechamen", "TbHistoric", "TbLancamen"})
    out << tableDef(table).fileName;
  out << QString::fromLatin1(Database::anchorFileName);
  return out;
}

QString backupStagingName(const QString& fileName) {
  return fileName + ".copia";
}

std::optional<OperationResult> backupRefusal(const QString& dataDirectory,
                                             const QString& destination,
                                             const BackupVolumes& volumes) {
  auto refused = [](const QString& text) {
    return OperationResult::refused(text, int(BackupRefusal::Destination));
  };
  if (destination.isEmpty())
    return refused(QStringLiteral("Destino da cópia inválido. Operação Cancelada."));
  if (!destination.endsWith('/'))
    return refused(QStringLiteral("Diretório de destino inválido Último caracter tem de ser /."));
  if (!volumes.ready(destination)) {
    QString where = destination;
    if (where.size() > 1) where.chop(1);
    return refused("Não há disco no drive " + where + ":");
  }
  if (!QFileInfo(destination).isDir()) return refused("Diretório " + destination + " não existe.");
  if (sameFile(destination, dataDirectory))
    return refused(QStringLiteral("Diretório de destino não pode o mesmo de origem."));
  return std::nullopt;
}

bool holdsBackup(const QString& destination) {
  const QStringList files = backupFileNames();
  return std::any_of(files.begin(), files.end(),
                     [&](const QString& f) { return QFileInfo::exists(destination + f); });
}

OperationResult copyBook(const QString& dataDirectory, const QString& destination,
                         Progress& progress, const BackupVolumes* volumes,
                         const std::function<void()>& lowSpace) {
  const BackupVolumes systemVolumes;
  const BackupVolumes& on = volumes ? *volumes : systemVolumes;
  if (auto refusal = backupRefusal(dataDirectory, destination, on)) return *refusal;
  const Copied c = copyFiles(dataDirectory, destination, progress, on, lowSpace);
  const QString failed = c.failed.join(", ");
  const QVector<OperationResult::Figure> figures = {
      {QStringLiteral("files copied"), c.failed.isEmpty() ? backupFileNames().size() : c.renamed}};
  if (c.failed.isEmpty())
    return OperationResult::done(
        QStringLiteral("Operação de cópia de segurança do banco de dados concluída."), figures);
  if (c.unsound)
    return OperationResult::refused("Cópia de segurança com erro: a conferência da cópia no "
                                    "destino falhou em " +
                                        failed + ". Repita a cópia em outro destino.",
                                    int(BackupRefusal::Unsound), figures);
  // Renaming staged files into place fails only when the medium changes under the copy;
  // the files renamed before then are new.
  if (c.renamed > 0)
    return OperationResult::refused(
        "Cópia de segurança incompleta. Não foi possível copiar: " + failed + ".",
        int(BackupRefusal::Incomplete), figures);
  return OperationResult::refused("Cópia de segurança não realizada. Não foi possível copiar: " +
                                      failed + ". Os arquivos do destino não foram alterados.",
                                  int(BackupRefusal::NotCopied), figures);
}

} // namespace esc
