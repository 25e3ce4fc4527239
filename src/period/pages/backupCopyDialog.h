#pragma once
#include "period/backupCopy.h"
#include "ui/mainContext.h"

namespace esc {

// The "&Cópia de Segurança do Banco de Dados" button's dialogue around the copy: asks for the
// destination (a mounted removable medium, else the home directory, offered), says a refused
// destination, asks to go on with the free space shown and, when a copy is already there,
// whether to replace it ("Não" the default); then copies, telling the user to put in another
// medium whenever space runs low, and says how the copy ended. True when the whole copy is in
// place. `volumes` stands in for the machine's file systems in tests.
bool runBackupCopy(MainContext& ctx, const BackupVolumes* volumes = nullptr);

} // namespace esc
