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
  // Indexes the store keeps for its own searches, never offered as orders (the trial
  // balance's period restriction). Created with the file, and on opening a file made before.
  QVector<IndexDef> supportIndexes;

  int fieldIndex(const QString& name) const; // -1 when absent (case ignored)
  const FieldDef& field(const QString& name) const;
  const IndexDef* index(const QString& name) const; // "" = primary; nullptr when unknown
  const LookupDef* lookup(const QString& name) const;
  QString createSql() const; // CREATE TABLE and CREATE INDEX statements
};

// A column as an index on it compares: `"Name" COLLATE ESCI` on a case-ignoring index,
// `"Name"` otherwise, and `rowid` for the autoincrement field (the row id orders every index).
QString columnExpression(const FieldDef& field, bool ignoreCase);
// The SQL that creates a support index when it is missing (in `schema` when given).
QString supportIndexSql(const TableDef& table, const IndexDef& index, const QString& schema = {});

// The eight tables, in the order the data module declares them.
const QVector<TableDef>& allTables();
const TableDef& tableDef(const QString& component);

} // namespace esc
