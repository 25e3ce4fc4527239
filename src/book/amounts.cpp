#include "amounts.h"

#include "store/database.h"

#include <cmath>
#include <sqlite3.h>

namespace esc {

double roundAmount(double value) {
  // The quotient of a whole number of ten-thousandths is the double nearest that decimal.
  // Adding 0.0 turns a -0 into 0, so a balance that comes out as zero is stored as zero.
  return std::round(value * 10000.0) / 10000.0 + 0.0;
}

namespace {

void roundAmountSql(sqlite3_context* context, int, sqlite3_value** args) {
  if (sqlite3_value_type(args[0]) == SQLITE_NULL)
    sqlite3_result_null(context);
  else
    sqlite3_result_double(context, roundAmount(sqlite3_value_double(args[0])));
}

} // namespace

void registerRoundAmount(Database& db) {
  // Registering again while statements of the connection are running is refused with
  // SQLITE_BUSY; the function is then there already.
  sqlite3_create_function_v2(db.handle(), "round_amount", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                             nullptr, roundAmountSql, nullptr, nullptr, nullptr);
}

namespace book {

double natureBalance(const QString& nature, double opening, double debits, double credits) {
  return roundAmount(nature == QLatin1String("D") ? opening + debits - credits
                                                  : opening + credits - debits);
}

std::optional<QString> letterFor(const QString& nature, double value) {
  if (nature == QLatin1String("D")) return QString(value >= 0 ? "D" : "C");
  if (nature == QLatin1String("C")) return QString(value >= 0 ? "C" : "D");
  return std::nullopt;
}

} // namespace book

} // namespace esc
