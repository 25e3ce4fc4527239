#pragma once
#include "store/operationResult.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

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
// destination keeps what it held and the result names the files that could not be copied.
// The copy directory is itself a data directory.

// Why a copy was refused: the destination, before anything is written (said as a plain
// message), or the copy itself (said as an error).
enum class BackupRefusal { Destination = 1, NotCopied, Incomplete, Unsound };

// The files in copy order: the tables in the order of their names, then the anchor.
QStringList backupFileNames();
// The name a file is written under until the whole copy is sound.
QString backupStagingName(const QString& fileName);
// Below this many free bytes the user is told to put in another medium.
inline constexpr qint64 backupLowSpace = 200000;

// The checks of the destination, in their order: typed, ending in "/", on a ready medium, an
// existing directory, not the data directory itself. Nothing when the copy may go there.
std::optional<OperationResult> backupRefusal(const QString& dataDirectory,
                                             const QString& destination,
                                             const BackupVolumes& volumes);
// The destination already holds a file of a copy (any of them): the window asks before
// replacing it.
bool holdsBackup(const QString& destination);

// The copy of `dataDirectory` to `destination` (a directory ending in "/"), after the checks
// of backupRefusal. `lowSpace` is called before each file while the destination's free space
// is below backupLowSpace, below the file's size or unknown; the copy goes on when it returns,
// so a window can let the user change the medium meanwhile. The bar runs over the files and
// is left where the copy ended. Figures: "files copied" (those in place, some of them when
// renaming failed part-way).
OperationResult copyBook(const QString& dataDirectory, const QString& destination,
                         Progress& progress, const BackupVolumes* volumes = nullptr,
                         const std::function<void()>& lowSpace = {});

} // namespace esc
