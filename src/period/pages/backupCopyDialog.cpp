#include "backupCopyDialog.h"

namespace esc {

bool runBackupCopy(MainContext& ctx, const BackupVolumes* volumes) {
  const BackupVolumes systemVolumes;
  const BackupVolumes& on = volumes ? *volumes : systemVolumes;
  Ui& ui = ctx.ui();
  const auto destination =
      ui.prompt(QStringLiteral("Cópia de Segurança"),
                QStringLiteral("Informe o Drive e Diretório de destino"), on.defaultDestination());
  if (!destination) return false;
  const QString source = ctx.dm().database().directory();
  if (const auto refusal = backupRefusal(source, *destination, on)) {
    ui.message(refusal->message());
    return false;
  }
  if (!ui.confirm("Espaço no drive: " + QString::number(on.freeBytes(*destination)) +
                  " bytes. Confirma operação?"))
    return false;
  if (holdsBackup(*destination) &&
      !ui.confirmDefaultNo(QStringLiteral("Arquivo já existe no destino. Regravar?")))
    return false;

  const OperationResult r = copyBook(source, *destination, ui.progress(), &on, [&] {
    ui.message(QStringLiteral("Espaço em disco insuficiente. Coloque outro disco."));
  });
  ui.progress().reset();
  if (r.reason() == int(BackupRefusal::Destination) || r.isDone())
    ui.message(r.message());
  else
    ui.error(r.message());
  return r.isDone();
}

} // namespace esc
