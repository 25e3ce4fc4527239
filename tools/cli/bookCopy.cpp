#include "bookCopy.h"

#include "period/backupCopy.h"

namespace esc::cli {

// The copy is still the Atualizações page's class, driven through a context of its own; the
// Ui answers its questions Yes and says its messages.
bool copyBook(TDEscrivon& dm, const QString& destination) {
  SimpleContext context(dm, dm.ui());
  const QString directory = destination.endsWith('/') ? destination : destination + '/';
  return BackupCopy(context).copyTo(directory);
}

} // namespace esc::cli
