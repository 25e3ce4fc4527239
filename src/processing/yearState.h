#pragma once
#include "store/dataModule.h"

#include <QString>

namespace esc {

// Closing and reopening the selected fiscal year: the state letter of its TbFechamen row.
// Closing ("F") is allowed from any state but closed; reopening ("R") only from closed.
// Neither touches a balance or an entry.
class YearState {
public:
  YearState(TDEscrivon& dm, Ui& ui, const QString& year) : dm_(dm), ui_(ui), year_(year) {}
  bool close();  // "&Fechamento de Exercício Financeiro"; true when the year was closed
  bool reopen(); // "Re&abertura de Exercício Fechado"; true when the year was reopened

private:
  // The selected year's row made current; false (and the refusal shown) when there is none.
  bool findYear(const QString& year);
  void setSituation(const QString& situation);
  // A change of the year's state letter to `situation`, allowed only from closed when
  // `fromClosed` and only from any other state when not: the refusal, the question and the
  // message of a done change each follow "Exercício de <year>" where they name it.
  struct Change {
    bool fromClosed;
    const char* refusal;
    const char* question;
    const char* situation;
    const char* done;
  };
  bool change(const Change& c);

  TDEscrivon& dm_;
  Ui& ui_;
  QString year_;
};

} // namespace esc
