#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

namespace esc {

enum class FieldType { Text, Float, Date, AutoInc, Integer };

struct FieldDef {
  QString name;
  FieldType type = FieldType::Text;
  int width = 0; // characters, for text fields
  bool required = false;
  QString pattern;       // input pattern used by the editing boxes ("" = none)
  QString label;         // grid title and name in store messages ("" = the field's name)
  QString displayFormat; // ",#0.00" for amounts, "" otherwise
  QString displayLabel() const { return label.isEmpty() ? name : label; }
};

struct IndexDef {
  QString name; // "" = primary
  QStringList fields;
  bool ignoreCase = false;
  bool unique = false;
};

// A field computed on reading: the first row of `lookupTable` whose `lookupKey`
// equals this table's `keyField` gives `resultField`.
struct LookupDef {
  QString name;
  int width = 0;
  QString label;
  QString keyField;
  QString lookupTable; // component name, "TbContas"
  QString lookupKey;
  QString resultField;
};

struct TableDef {
  QString component; // "TbContas"
  QString fileName;  // "CONTAS.db"
  QString sqlName;   // "contas"
  QVector<FieldDef> fields;
  IndexDef primary; // fields empty = none (rows in stored order)
  QVector<IndexDef> indexes;
  QVector<LookupDef> lookups;
  // Uniqueness the store enforces beyond the primary order (the chart keeps one row per
  // account pair, so its violation is reported as a key violation like the primary's).
  QStringList uniquePair;

  int fieldIndex(const QString& name) const; // -1 when absent (case ignored)
  const FieldDef& field(const QString& name) const;
  const IndexDef* index(const QString& name) const; // "" = primary; nullptr when unknown
  const LookupDef* lookup(const QString& name) const;
  QString createSql() const; // CREATE TABLE and CREATE INDEX statements
};

// The eight tables, in the order the data module declares them.
const QVector<TableDef>& allTables();
const TableDef& tableDef(const QString& component);

} // namespace esc
