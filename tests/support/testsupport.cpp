#include "testsupport.h"

#include "demobook.h"

namespace esc::test {

TempBook::TempBook(bool demo, int year, const QString& password) {
  InitOptions o;
  o.directory = dir.path();
  o.demo = demo;
  o.year = year;
  o.password = password;
  createDataDirectory(o);
}

OpenBook::OpenBook(bool demo, int year) : TempBook(demo, year) {
  dm = std::make_unique<TDEscrivon>(ui);
  dm->connectDirectory(path());
  for (Table* t : dm->tables())
    t->open();
  dm->TbLancamen->setOrder("SI_AnoContasMesDia");
}

} // namespace esc::test
