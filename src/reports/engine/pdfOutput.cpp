#include "pdfOutput.h"

#include "render.h"
#include "store/fileIdentity.h"
#include "store/userPrompts.h"

#include <QFile>
#include <QFileInfo>

namespace esc::report {

namespace {

// The first bytes of an SQLite database, of its rollback journal and of its write-ahead log.
bool isSqliteFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray head = f.read(16);
  static const QByteArray database("SQLite format 3\0", 16);
  static const QByteArray journal("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
  static const QByteArray wal1("\x37\x7f\x06\x82", 4), wal2("\x37\x7f\x06\x83", 4);
  return head.startsWith(database) || head.startsWith(journal) || head.startsWith(wal1) ||
         head.startsWith(wal2);
}

} // namespace

QString cannotWriteMessage(const QString& path, const QString& reason) {
  return "Não foi possível gravar o relatório em " + path + "." +
         (reason.isEmpty() ? QString() : " (" + reason + ")");
}

QString outputRefusal(const QString& path, const QString& dataDirectory) {
  // A link is followed to the file it would replace.
  const QFileInfo target(path);
  const QString where = target.exists() ? target.canonicalFilePath() : target.absoluteFilePath();
  if (!dataDirectory.isEmpty() && sameFile(QFileInfo(where).absolutePath(), dataDirectory))
    return "O relatório não pode ser gravado em " + path + ": a pasta de dados do Escrivon (" +
           dataDirectory + ") guarda só os arquivos dos livros.";
  if (isSqliteFile(where))
    return "O relatório não pode ser gravado em " + path +
           ": o arquivo é um banco de dados SQLite.";
  return {};
}

bool savePdf(const QVector<Page>& pages, const QString& path, const QString& title,
             const QString& dataDirectory, Ui& ui) {
  if (const QString refusal = outputRefusal(path, dataDirectory); !refusal.isEmpty()) {
    ui.error(refusal);
    return false;
  }
  QString reason;
  if (writePdf(pages, path, title, &reason)) return true;
  ui.error(cannotWriteMessage(path, reason));
  return false;
}

} // namespace esc::report
