#pragma once
#include "store/table.h"
#include "store/userPrompts.h"

#include <QObject>

namespace esc {

// The two guards of a saved journal entry. They watch the entry's fields, not a page, so a
// change typed into any box or made through any picker of any page meets them alike:
//  - fixed fields: the account code, the current-account code, the description code and the
//    amount of a saved entry never change; a wrong entry is deleted and typed again;
//  - processed entries: the date and the document number of an entry already posted stay.
// Either refusal says so and discards every pending change of the entry. A new entry being
// typed is free.
class EntryGuards : public QObject {
  Q_OBJECT
public:
  // The one guard of `journal` (TbLancamen), made on first use and kept with the table, so
  // pages built on the same table share it and a change is refused once.
  static EntryGuards& of(Table& journal, Ui& ui);

private:
  EntryGuards(Table& journal, Ui& ui);
  void fieldChanged(const QString& name);

  Table& journal_;
  Ui& ui_;
};

} // namespace esc
