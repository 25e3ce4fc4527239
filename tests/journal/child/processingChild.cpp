// processing_child DIR YEAR DOC [--die-at-io N] [--report]
// Processes document DOC of the book in DIR as "&Processar" does, for the crash test. It
// writes "ready" when everything before the click is done. With --die-at-io it kills itself
// at the N-th write, sync, truncation or deletion of a file once processing has begun, so the
// test can stop it at every step of the commit; with --report it writes how many such
// operations processing made and how long it took (microseconds after ready).
#include "journal/pages/documentosPage.h"
#include "scriptedUi.h"
#include "ui/mainContext.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <cstdio>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// A VFS that forwards everything to the default one and counts the operations that change
// files.
sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs shimVfs;
sqlite3_io_methods shimIo;
bool armed = false;
long ioCount = 0;
long dieAt = 0;
QElapsedTimer runClock;

void countIo() {
  if (!armed) return;
  if (++ioCount == dieAt) kill(getpid(), SIGKILL);
}

struct ShimFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* realOf(sqlite3_file* f) {
  return reinterpret_cast<ShimFile*>(f)->real;
}

int shimClose(sqlite3_file* f) {
  return realOf(f)->pMethods->xClose(realOf(f));
}
int shimRead(sqlite3_file* f, void* b, int n, sqlite3_int64 o) {
  return realOf(f)->pMethods->xRead(realOf(f), b, n, o);
}
int shimWrite(sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
  countIo();
  return realOf(f)->pMethods->xWrite(realOf(f), b, n, o);
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size) {
  countIo();
  return realOf(f)->pMethods->xTruncate(realOf(f), size);
}
int shimSync(sqlite3_file* f, int flags) {
  countIo();
  return realOf(f)->pMethods->xSync(realOf(f), flags);
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size) {
  return realOf(f)->pMethods->xFileSize(realOf(f), size);
}
int shimLock(sqlite3_file* f, int l) {
  return realOf(f)->pMethods->xLock(realOf(f), l);
}
int shimUnlock(sqlite3_file* f, int l) {
  return realOf(f)->pMethods->xUnlock(realOf(f), l);
}
int shimCheckReservedLock(sqlite3_file* f, int* out) {
  return realOf(f)->pMethods->xCheckReservedLock(realOf(f), out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg) {
  return realOf(f)->pMethods->xFileControl(realOf(f), op, arg);
}
int shimSectorSize(sqlite3_file* f) {
  return realOf(f)->pMethods->xSectorSize(realOf(f));
}
int shimDeviceCharacteristics(sqlite3_file* f) {
  return realOf(f)->pMethods->xDeviceCharacteristics(realOf(f));
}
int shimShmMap(sqlite3_file* f, int pg, int sz, int ext, void volatile** p) {
  return realOf(f)->pMethods->xShmMap(realOf(f), pg, sz, ext, p);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags) {
  return realOf(f)->pMethods->xShmLock(realOf(f), offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f) {
  realOf(f)->pMethods->xShmBarrier(realOf(f));
}
int shimShmUnmap(sqlite3_file* f, int del) {
  return realOf(f)->pMethods->xShmUnmap(realOf(f), del);
}
int shimFetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) {
  return realOf(f)->pMethods->xFetch(realOf(f), o, n, p);
}
int shimUnfetch(sqlite3_file* f, sqlite3_int64 o, void* p) {
  return realOf(f)->pMethods->xUnfetch(realOf(f), o, p);
}

int shimOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
  auto* shim = reinterpret_cast<ShimFile*>(f);
  shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
  const int rc = realVfs->xOpen(realVfs, name, shim->real, flags, outFlags);
  shim->base.pMethods = shim->real->pMethods ? &shimIo : nullptr;
  return rc;
}
int shimDelete(sqlite3_vfs*, const char* name, int syncDir) {
  countIo();
  return realVfs->xDelete(realVfs, name, syncDir);
}

void installShim() {
  realVfs = sqlite3_vfs_find(nullptr);
  shimVfs = *realVfs;
  shimVfs.zName = "escrivon-crash";
  shimVfs.szOsFile = int(sizeof(ShimFile)) + realVfs->szOsFile;
  shimVfs.xOpen = shimOpen;
  shimVfs.xDelete = shimDelete;
  shimIo = {3,
            shimClose,
            shimRead,
            shimWrite,
            shimTruncate,
            shimSync,
            shimFileSize,
            shimLock,
            shimUnlock,
            shimCheckReservedLock,
            shimFileControl,
            shimSectorSize,
            shimDeviceCharacteristics,
            shimShmMap,
            shimShmLock,
            shimShmBarrier,
            shimShmUnmap,
            shimFetch,
            shimUnfetch};
  sqlite3_vfs_register(&shimVfs, 1);
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 4) return 2;
  const int die = args.indexOf("--die-at-io");
  if (die > 0) dieAt = args.value(die + 1).toLong();
  const bool report = args.contains("--report");
  installShim();

  esc::ScriptedUi ui;
  esc::TDEscrivon dm(ui);
  dm.connectDirectory(args[1]);
  for (esc::Table* t : dm.tables())
    t->open();
  esc::SimpleContext ctx(dm, ui);
  ctx.year = args[2];
  dm.TbLancamen->setOrder("SI_AnoContasMesDia");
  dm.TbLancamen->setFilter("NumeroDocumento=" + args[3]);
  dm.TbLancamen->setFiltered(true);
  ui.confirmAnswers = {true};

  std::printf("ready\n");
  std::fflush(stdout);
  runClock.start();
  armed = true;
  const bool done = esc::processChosenDocument(ctx, nullptr);
  armed = false;
  const qint64 ended = runClock.nsecsElapsed() / 1000;
  if (report) std::printf("io %ld end %lld\n", ioCount, ended);
  std::fflush(stdout);
  return done ? 0 : 1;
}
