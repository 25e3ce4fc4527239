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

// A document number as every number is shown: one of fewer than five digits is completed
// with zeros on the left ("45" -> "00045"); any other text is left as typed.
QString documentNumber(const QString& typed);
// Whether `number` can choose a document: the document filter reads its value up to the first
// blank, so a number with a blank (or a quote) would choose some other document, or none.
bool usableDocumentNumber(const QString& number);
QString invalidDocumentNumber(const QString& typed); // what is said of one that cannot

// The chart's row of `pair` by its key, whatever order the chart is browsed in: its level, or
// nullopt when the chart has no such pair.
std::optional<QString> pairLevel(Database& db, const QString& pair);
bool historicoExists(Database& db, const QString& code);

} // namespace esc
