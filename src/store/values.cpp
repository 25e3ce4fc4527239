#include "values.h"

#include "formats.h"
#include "storeerror.h"

#include <QDate>

namespace esc {

bool isBlank(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return true;
  switch (value.typeId()) {
  case QMetaType::QString:
    return value.toString().trimmed().isEmpty();
  case QMetaType::QDate:
    return !value.toDate().isValid();
  default:
    return false;
  }
}

QVariant toStorage(const FieldDef& field, const QVariant& value) {
  const bool blank = isBlank(value);
  switch (field.type) {
  case FieldType::Text: {
    QString s = value.isValid() && !value.isNull() ? value.toString() : QString();
    if (value.typeId() == QMetaType::Double) s = fmt::general(value.toDouble());
    s = fmt::trimRight(s);
    if (field.width > 0 && s.size() > field.width) s = fmt::trimRight(s.left(field.width));
    return s.isNull() ? QString(QLatin1String("")) : s;
  }
  case FieldType::Float: {
    if (blank) return QVariant();
    if (value.typeId() == QMetaType::QString) {
      // Typed text is an amount in its Brazilian form or nothing: never the part of it that
      // happens to read as a number.
      const auto v = fmt::parseAmount(value.toString());
      if (!v) throw StoreError(fmt::invalidAmount(value.toString()));
      return *v;
    }
    return value.toDouble();
  }
  case FieldType::Date: {
    if (blank) return QString(QLatin1String(""));
    if (value.typeId() == QMetaType::QDate) return value.toDate().toString(Qt::ISODate);
    const QString s = value.toString().trimmed();
    if (auto d = fmt::parseDate(s)) return d->toString(Qt::ISODate);
    const QDate iso = QDate::fromString(s, Qt::ISODate);
    if (iso.isValid()) return iso.toString(Qt::ISODate);
    throw StoreError(QStringLiteral("'%1' is not a valid date for field '%2'.")
                         .arg(value.toString(), field.displayLabel()));
  }
  case FieldType::AutoInc:
  case FieldType::Integer: {
    if (blank) return QVariant();
    bool ok = false;
    const qlonglong n = value.toString().trimmed().toLongLong(&ok);
    if (!ok)
      throw StoreError(QStringLiteral("'%1' is not a valid integer value for field '%2'.")
                           .arg(value.toString(), field.displayLabel()));
    return n;
  }
  }
  return value;
}

QVariant fromStorage(const FieldDef& field, const QVariant& raw) {
  if (isBlank(raw)) return field.type == FieldType::Text ? QVariant(QString()) : QVariant();
  switch (field.type) {
  case FieldType::Text:
    return raw.toString();
  case FieldType::Float:
    return raw.toDouble();
  case FieldType::Date: {
    const QDate d = QDate::fromString(raw.toString(), Qt::ISODate);
    return d.isValid() ? QVariant(d) : QVariant();
  }
  case FieldType::AutoInc:
  case FieldType::Integer:
    return raw.toLongLong();
  }
  return raw;
}

QString displayText(const FieldDef* field, const QVariant& v) {
  if (isBlank(v)) return {};
  if (field && field->displayFormat == ",#0.00") return fmt::amount(v.toDouble());
  if (v.typeId() == QMetaType::Double) return fmt::general(v.toDouble());
  if (v.typeId() == QMetaType::QDate) return fmt::date(v.toDate());
  return v.toString();
}

} // namespace esc
