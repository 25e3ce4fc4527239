#include "store/fileIdentity.h"

#include <QFile>
#include <sys/stat.h>

namespace esc {

bool sameFile(const QString& a, const QString& b) {
  struct stat sa;
  struct stat sb;
  return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
         ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

} // namespace esc
