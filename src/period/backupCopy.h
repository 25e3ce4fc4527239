#pragma once
#include "ui/mainContext.h"

#include <QString>
#include <QStringList>

namespace esc {

// The file systems a copy can go to. The copy asks them through here, so that tests can
// stand in for a full or vanishing medium.
class BackupVolumes {
public:
  virtual ~BackupVolumes() = default;
  // The file system that holds `directory` (or its nearest existing parent) is mounted and
  // ready.
  virtual bool ready(const QString& directory) const;
  // Bytes free for the user on that file system; -1 when they cannot be determined.
  virtual qint64 freeBytes(const QString& directory) const;
  // The first mounted, writable removable medium's directory followed by "/", or the user's
  // home directory followed by "/".
  virtual QString defaultDestination() const;
};

// "&Cópia de Segurança do Banco de Dados": copies every file of the data directory that the
// store keeps (the eight tables and the anchor file) to a directory the user names. Each
// file is read through SQLite's online backup from one read snapshot of all files, so the
// copy holds only committed rows and agrees across tables, and it is written under a
// staging name and checked. Only when every file is staged and sound are they renamed into
// place, each after the journal files an earlier, interrupted use of the copy left beside
// it are removed, and then opened once more read-only and checked; otherwise the
// destination keeps what it held and the user is told which files could not be copied. The
// copy directory is itself a data directory.
class BackupCopy {
public:
  explicit BackupCopy(MainContext& ctx, const BackupVolumes* volumes = nullptr);

  // Asks for the destination and copies; true when the whole copy is in place.
  bool run();
  // The checks and the copy for a destination already typed.
  bool copyTo(const QString& destination);

  // The files in copy order: the tables in the order of their names, then the anchor.
  static QStringList fileNames();
  // The name a file is written under until the whole copy is sound.
  static QString stagingName(const QString& fileName);
  // Below this many free bytes the user is asked for another medium.
  static constexpr qint64 lowSpace = 200000;

private:
  QStringList copyFiles(const QString& destination);

  MainContext& ctx_;
  BackupVolumes systemVolumes_;
  const BackupVolumes& volumes_;
  bool renamed_ = false;
  bool unsound_ = false; // every file is in place, but some did not open soundly there
};

} // namespace esc
