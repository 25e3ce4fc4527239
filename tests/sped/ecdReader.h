#pragma once
// A small reader of ECD files for the tests: the lines taken apart into their fields, and the
// rules of the layout that need no government validator.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace esc::test {

struct EcdLine {
  int number = 0;     // 1-based
  QStringList fields; // fields[0] is the register
  const QString& reg() const { return fields[0]; }
  QString at(int field) const { return fields.value(field - 1); } // as the manual numbers them
  // An amount field "1234,56" in cents.
  qint64 cents(int field) const;
};

struct EcdFile {
  QVector<EcdLine> lines;
  QStringList faults; // every rule broken, one text each
  QVector<const EcdLine*> all(const QString& reg) const;
  const EcdLine* first(const QString& reg) const;
};

// Reads `bytes` as ISO-8859-1 and checks the form of each line (pipes at both ends, CR LF, the
// field count of its register, no unknown register) and the file's structure: order and
// hierarchy of the registers, each x990 counting its block, every 9900, 9999 and the terms'
// line counts.
EcdFile readEcd(const QByteArray& bytes);

// The bookkeeping rules: I155 closing = opening +- movement and each month's opening = the
// month before's closing; I155 movements = the sums of the account's I250 in the month;
// every I200 = its I250 debits = its I250 credits; every I050 superior exists earlier with a
// lower level; J100 assets = liabilities + equity. Appends to `file.faults`.
void checkBookkeeping(EcdFile& file);

} // namespace esc::test
