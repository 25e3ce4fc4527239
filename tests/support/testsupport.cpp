#include "testsupport.h"

#include "demobook.h"
#include "store/storeerror.h"

#include <QCryptographicHash>
#include <QDir>

namespace esc::test {

TempBook::TempBook(bool demo, int year, const QString& password, bool demoYear) {
  InitOptions o;
  o.directory = dir.path();
  o.demo = demo;
  o.demoYear = demoYear;
  o.year = year;
  o.password = password;
  createDataDirectory(o);
}

OpenBook::OpenBook(bool demo, int year, bool demoYear)
    : TempBook(demo, year, "ESCRIVON", demoYear) {
  dm = std::make_unique<TDEscrivon>(ui);
  dm->connectDirectory(path());
  for (Table* t : dm->tables())
    t->open();
  dm->TbLancamen->setOrder("SI_AnoContasMesDia");
}

OpenDirectory::OpenDirectory(const QString& path) : dm(ui) {
  dm.connectDirectory(path);
  for (Table* t : dm.tables())
    t->open();
}

QString storeErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const StoreError& e) {
    return e.message();
  }
  return {};
}

QStringList listing(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QStringList fileSnapshot(const QString& dir) {
  QStringList out;
  for (const QFileInfo& f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
    QFile file(f.filePath());
    file.open(QIODevice::ReadOnly);
    out << f.fileName() + " " +
               QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
  }
  return out;
}

} // namespace esc::test
