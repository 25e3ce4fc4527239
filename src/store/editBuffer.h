#pragma once
#include <QVariantList>
#include <QVector>

namespace esc {

// The record being edited or inserted: its stored values and which of them the edit
// changed, so a post writes only those and keeps what others wrote to the row meanwhile.
struct EditBuffer {
  QVariantList values;
  QVector<bool> changed;
  bool modified = false;

  void start(const QVariantList& from) {
    values = from;
    changed = QVector<bool>(from.size(), false);
    modified = false;
  }
  void clear() {
    values.clear();
    changed.clear();
    modified = false;
  }
  bool isEmpty() const { return values.isEmpty(); }
  // False when the value is the one held already.
  bool set(int field, const QVariant& v) {
    if (values[field] == v && values[field].isNull() == v.isNull()) return false;
    values[field] = v;
    changed[field] = true;
    modified = true;
    return true;
  }
};

} // namespace esc
