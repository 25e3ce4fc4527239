#include "helpDocument.h"

#include <QDir>
#include <QFileInfo>

namespace esc {

QString helpDocument(const QString& defaultDirectory, const QString& programDirectory,
                     const QString& installedManual) {
  const QString own = QDir(defaultDirectory).filePath("Escrivon.doc");
  if (QFileInfo(own).isFile()) return own;
  const QString manual = QDir::cleanPath(QDir(programDirectory).filePath(manualRelativePath));
  if (QFileInfo(manual).isFile()) return manual;
  if (!installedManual.isEmpty() && QFileInfo(installedManual).isFile()) return installedManual;
  return {};
}

} // namespace esc
