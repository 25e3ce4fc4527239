#include "fiscalYear.h"

#include <bit>

namespace esc {

namespace fiscal {

bool sameStored(const QVariant& stored, const QVariant& wanted) {
  if (stored.isNull() || wanted.isNull()) return stored.isNull() == wanted.isNull();
  const bool a = stored.typeId() == QMetaType::Double, b = wanted.typeId() == QMetaType::Double;
  if (a || b)
    return a == b &&
           std::bit_cast<quint64>(stored.toDouble()) == std::bit_cast<quint64>(wanted.toDouble());
  return stored.toString() == wanted.toString();
}

bool sameStored(const QVariantList& stored, const QVariantList& wanted) {
  if (stored.size() != wanted.size()) return false;
  for (qsizetype i = 0; i < stored.size(); ++i)
    if (!sameStored(stored[i], wanted[i])) return false;
  return true;
}

std::optional<QString> situation(Database& db, const QString& year) {
  const QVector<QVariantList> rows =
      db.select(QStringLiteral("SELECT Situacao FROM fechamen WHERE Exercicio = ?"), {year});
  if (rows.isEmpty()) return std::nullopt;
  return rows.first().value(0).toString();
}

} // namespace fiscal

ProgressSteps::ProgressSteps(Progress& bar, int total)
    : bar_(bar), total_(total), every_(qMax(1, total / 100)) {
  bar_.setRange(0, total_);
  bar_.setPosition(0);
}

void ProgressSteps::advance() {
  ++done_;
  if (done_ % every_ == 0 || done_ == total_) bar_.setPosition(done_);
}

} // namespace esc
