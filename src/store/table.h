#pragma once
#include "cursorSql.h"
#include "database.h"
#include "editBuffer.h"
#include "filter.h"
#include "schema.h"
#include "storeerror.h"
#include "values.h"

#include <QDate>
#include <QObject>
#include <QVariant>
#include <functional>
#include <optional>

namespace esc {

class Table;

struct Bookmark {
  qint64 rowId = 0;
  bool isValid() const { return rowId != 0; }
};

// A field of the current record (or of the record being edited), by name.
class Field {
public:
  Field(Table& table, const QString& name) : table_(&table), name_(name) {}
  QVariant value() const;
  QString asString() const; // text; amounts in general form; dates dd/mm/yyyy
  double asFloat() const;   // blank = 0
  QDate asDate() const;
  int asInteger() const;
  bool isNull() const;         // true for a blank of any type (see values.h)
  QString editText() const;    // what an edit box shows: amounts ",#0.00", dates dd/mm/yyyy
  QString displayText() const; // same forms, for grids
  QString label() const;
  void setValue(const QVariant& v) const;
  void setAsString(const QString& text) const; // parses amounts and dates in our forms

private:
  Table* table_;
  QString name_;
};

// A navigational cursor over one table: an active order (an index by name, "" = primary),
// a filter, a current record, a state and an edit buffer. Navigation is by keyset (its SQL
// is CursorSql's): every move is one indexed SELECT from the current key, so a 250 000-row
// table moves as fast as a small one. Counts and record numbers are cached until a row of
// the table changes. Conversions are in values.h, lookups in lookup.h.
//
// Signals: a slot connected here must not let a StoreError out (Qt does not carry exceptions
// through signals); the data-aware controls catch and report what they meet.
class Table : public QObject {
  Q_OBJECT
public:
  enum class State { Inactive, Browse, Edit, Insert };
  enum class PostErrorAction { Fail, Abort };

  Table(Database& db, const TableDef& def, QObject* parent = nullptr);
  ~Table() override;

  const TableDef& def() const { return def_; }
  QString name() const { return def_.component; }
  Database& database() const { return db_; }

  void open();
  void close();
  bool isOpen() const { return state_ != State::Inactive; }

  void setOrder(const QString& indexName);
  QString order() const { return order_; }

  bool findKey(const QVariantList& leadingValues);
  void findNearest(const QVariant& value);
  bool locate(const QString& field, const QVariant& value);

  void setFilter(const QString& expression); // checked at once; throws on a bad expression
  QString filter() const { return filterText_; }
  void setFiltered(bool on);
  bool filtered() const { return filtered_; }

  void first();
  void last();
  void next();
  void prior();
  int moveBy(int count); // records actually moved, signed
  bool eof() const { return eof_; }
  bool bof() const { return bof_; }
  bool isEmpty() const { return !current_.has_value(); }

  int recordCount();
  int recNo(); // 1-based position under the filter in the active order; 0 when empty

  void insert();
  void edit();
  void post();
  void cancel();
  void remove();
  void checkBrowseMode(); // posts a changed buffer, drops an unchanged one
  State state() const { return state_; }
  bool isEditing() const { return state_ == State::Edit || state_ == State::Insert; }
  bool modified() const { return buffer_.modified; }

  Field field(const QString& name) { return Field(*this, name); }
  QVariant value(const QString& name) const;
  void setValue(const QString& name, const QVariant& value);
  bool hasField(const QString& name) const;

  Bookmark bookmark() const { return Bookmark{current_ ? current_->rowId : 0}; }
  void gotoBookmark(const Bookmark& b);

  // Re-reads the current record (after rows were written by SQL).
  void refresh();

  void disableControls();
  void enableControls();
  bool controlsDisabled() const { return disabled_ > 0; }

  // For grids: `limit` rows from position `offset` under the filter in the active order.
  QVector<Record> rows(int offset, int limit);
  std::optional<Record> currentRecord() const { return current_; }
  QVariant valueOf(const Record& r, const QString& name) const; // converted as value()
  QString displayTextOf(const Record& r, const QString& name) const;

  std::function<PostErrorAction(const StoreError&)> onPostError;
  std::function<void()> afterPost;

  // An edit belongs to the page it began on: the one `pageInUse` names when the record goes
  // into edit or insert state (the captions of the tabs that lead to it, outermost first).
  // Any page may save it with post(), after its own checks, or drop it with cancel(). Leaving
  // the edit state any other way (choosing an order or a filter, moving, inserting, deleting)
  // would store or lose what was typed without the owner's checks, so another page asking
  // for it is refused, before anything changes, with the message that names the owner.
  // Without `pageInUse` (the engine on its own) every request is the owner's.
  std::function<QStringList()> pageInUse;

  // The lookup tables a lookup field reads, by component name (set by the data module).
  void setLookupSource(const QString& component, Table* table) {
    lookupSources_[component] = table;
  }

  // Every row's `field` in the primary order, whatever filter is in force (lists such as
  // the year selector's).
  QStringList listValues(const QString& field);

signals:
  void stateChanged();
  void recordChanged();
  void fieldChanged(const QString& name);
  void dataChanged();

private:
  friend class Field;
  void requireOpen() const;
  void requireEditing(const QString& field) const;
  QStringList currentPage() const { return pageInUse ? pageInUse() : QStringList(); }
  bool othersEdit() const;
  void requireOwnEdit() const; // throws that refusal when the pending edit is another page's
  void setCurrent(std::optional<Record> r);
  void reread();
  void applyOrder(const IndexDef& index);
  void applyFilter();
  void ensureSupportIndexes();
  void announceRecord();
  void announceState();
  void announceData();
  QVariant lookupValue(const LookupDef& l, const QVariant& key) const;
  const QVariantList& activeValues() const;
  void invalidatePosition() { recNoRowId_ = 0; }
  void writeBuffer(); // the post's SQL; throws StoreError
  void onTransactionStarted();
  void onTransactionEnded(bool committed);

  Database& db_;
  TableDef def_;
  QString schema_;
  CursorSql sql_;
  State state_ = State::Inactive;
  QString order_;
  QString filterText_;
  SqlFilter filter_;
  bool filtered_ = false;
  std::optional<Record> current_;
  EditBuffer buffer_;
  QStringList owner_; // the page the edit began on
  bool eof_ = true, bof_ = true;
  int disabled_ = 0;
  bool pendingRecord_ = false, pendingState_ = false, pendingData_ = false;
  QStringList pendingFields_; // fields written while the controls were suspended

  quint64 countGen_ = ~0ull;
  int count_ = 0;
  quint64 recNoGen_ = ~0ull;
  qint64 recNoRowId_ = 0;
  int recNo_ = 0;
  quint64 seenGen_ = 0;
  QHash<QString, Table*> lookupSources_;

  // Where the cursor stood when the outermost transaction began, so that a rollback puts
  // it back: its order and filter, and a record typed before the transaction returns to its
  // edit or insert state.
  struct Snapshot {
    State state = State::Browse;
    EditBuffer buffer;
    std::optional<Record> current;
    bool eof = true, bof = true;
    bool editPosted = false;
    QString order;
    QString filterText;
    SqlFilter filter;
    bool filtered = false;
    QStringList owner;
  };
  std::optional<Snapshot> saved_;
};

// The binding point of a table for the controls and for `ConfirmaCancelaEdicao`.
class DataSource : public QObject {
  Q_OBJECT
public:
  DataSource(Table* table, QObject* parent = nullptr) : QObject(parent), table_(table) {}
  Table* table() const { return table_; }
  Table::State state() const { return table_->state(); }
  bool autoEdit() const { return autoEdit_; }
  void setAutoEdit(bool on) { autoEdit_ = on; }

private:
  Table* table_;
  bool autoEdit_ = true;
};

} // namespace esc
