#pragma once
#include "store/database.h"
#include "store/operationResult.h"

#include <QString>
#include <optional>

namespace esc {

// Closing and reopening a fiscal year: the state letter of its TbFechamen row. Closing ("F")
// is allowed from any state but closed; reopening ("R") only from closed. Neither touches a
// balance or an entry.
enum class YearChange { Close, Reopen };

// The question the page asks before the change.
QString yearChangeQuestion(YearChange change);

// The refusals of the change, in their order: no year, no row for the year, the year in a
// state the change does not start from. Nothing when it may run; the page says it before
// asking.
std::optional<OperationResult> yearChangeRefusal(Database& db, const QString& year,
                                                 YearChange change);

// "&Fechamento de Exercício Financeiro" and "Re&abertura de Exercício Fechado".
OperationResult changeYearState(Database& db, const QString& year, YearChange change);

} // namespace esc
