#pragma once
#include "schema.h"

#include <QVariant>

// Conversions between what a field holds and what the store keeps, in one place.
//
// The blank rule: a field left empty has no value. Field::isNull() is true for it whatever
// its type; value() gives "" for a text (so asString() is "" everywhere) and a null QVariant
// for a number or a date. On disk text and date columns keep a blank as '' (they are NOT
// NULL, so blanks sort first and take part in key ranges); number columns keep it as NULL.
// Filters, finds and locates turn a blank into the same stored form, so "Campo=''" finds
// blank rows of any type.
namespace esc {

// A value as the store keeps it: text without trailing spaces, dates as ISO text, amounts
// as double, blank as above. Throws StoreError naming the field for a value it cannot read.
QVariant toStorage(const FieldDef& field, const QVariant& value);
// A stored value as a field gives it: QString, double, QDate or qint64; blank as above.
QVariant fromStorage(const FieldDef& field, const QVariant& raw);
// True for every form of blank a field can give or a caller can pass.
bool isBlank(const QVariant& value);
// The text a grid shows: amounts ",#0.00", other numbers in general form, dates dd/mm/yyyy.
QString displayText(const FieldDef* field, const QVariant& value);

} // namespace esc
