#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "data/cell.h"
#include "data/driver.h"
#include "data/field.h"

namespace tabrix {

class Connection;
class RowStore;
class ValueFormatter;

enum class DatasetState {
  Inactive,  // closed
  Opening,   // reading its rows
  Browse,
  Edit,    // the current row is being changed
  Insert,  // a new row is being made at the current position
};

// A set of rows read from the connection's database into memory in one pass
// (a client-side keyset cursor), with a current row, fields, and editing
// that writes back row by row with optimistic locking: a post or delete
// goes to the driver with the row's bookmark (where the driver gives them)
// and its original values, and fails, changing nothing, when someone else
// changed or deleted the row since it was read.
//
// Moving to another row (first, prior, next, last, setRecNo, locate,
// refresh) first ends an edit: a changed row is posted, an unchanged one
// cancelled. While a row is inserted it counts among the rows, at the
// current position. Closing the connection closes the dataset, dropping an
// unposted edit.
//
// Errors of the dataset's own checks are DatabaseErrors named after its
// objectName; the driver's are ProviderErrors.
class Dataset : public QObject {
  Q_OBJECT

 public:
  ~Dataset() override;

  Connection* connection() const { return m_connection; }
  // Attaches the dataset to a connection; an open dataset closes first.
  void setConnection(Connection* connection);

  DatasetState state() const { return m_state; }
  bool active() const { return m_state != DatasetState::Inactive && m_state != DatasetState::Opening; }
  // Reads the rows; does nothing when open. Emits beforeOpen and afterOpen.
  void open();
  // Drops the rows and an unposted edit; does nothing when closed.
  void close();

  int fieldCount() const { return static_cast<int>(m_fields.size()); }
  Field& field(int index) const { return *m_fields.at(index); }
  Field* findField(const QString& name) const;  // without regard to case
  Field& fieldByName(const QString& name) const;

  int recordCount() const;
  bool isEmpty() const { return recordCount() == 0; }
  // The current row's position, from 0; -1 without rows.
  int position() const { return m_current; }
  // The same from 1; 0 without rows.
  int recNo() const { return m_current + 1; }
  void setRecNo(int recNo);
  // At the start or end of the rows: after first() or a prior() on the first
  // row, after last() or a next() on the last row, and both without rows.
  bool bof() const { return m_bof; }
  bool eof() const { return m_eof; }
  void first();
  void prior();
  void next();
  void last();

  // Whether rows can be changed: open, and traced to one table.
  bool canModify() const;
  // Whether the row being edited or inserted has a changed value.
  bool modified() const;
  // Edit on a dataset without rows inserts instead.
  void edit();
  void insert();  // before the current row
  void append();  // after the last row
  void post();
  void cancel();
  void remove();
  // Reads the rows again, keeping the current row where it can.
  void refresh();

  // Makes current the first row, in ascending order of the field's values,
  // whose value matches the text: text fields by a case-insensitive prefix,
  // others by equality with the text read as the field's type. False, and
  // nothing moves, when no row matches. Ends a row edit first.
  bool locate(const QString& fieldName, const QString& text);

  // Any row's values without moving to it (position from 0), for grids.
  bool isNullAt(int position, int field) const;
  QVariant valueAt(int position, int field) const;
  // As Field::text() gives it.
  QString textAt(int position, int field) const;

  // The memory the rows take, in bytes.
  std::size_t memoryUsed() const;

 signals:
  void stateChanged(tabrix::DatasetState state);
  void beforeOpen();
  void afterOpen();
  // Every row changed (open, close, refresh).
  void aboutToReset();
  void rowsReset();
  void aboutToInsertRow(int position);
  void rowInserted(int position);
  void aboutToRemoveRow(int position);
  void rowRemoved(int position);
  // Values of a row changed (an edit, a post, a cancel).
  void rowChanged(int position);
  // The current row moved.
  void currentChanged(int position);

 protected:
  explicit Dataset(QObject* parent);

  // Checks its own properties, then reads every row from driver() into the
  // sink.
  virtual void read(RowSink& sink) = 0;

  // Throws DatabaseError "objectName: what".
  [[noreturn]] void fail(const QString& what) const;
  Driver& driver() const;
  void requireInactive() const;

 private:
  friend class Field;

  Cell currentCell(int field) const;
  // textAt() into a string whose block is used again (ValueFormatter::write);
  // false for a null.
  bool writeText(QString& text, int position, int field) const;
  void setCurrentCell(int field, Cell value);
  Cell cellAt(int position, int field) const;

  void requireActive() const;
  void endEdit();  // posts a changed row, cancels an unchanged one
  void moveTo(int position, bool bof, bool eof);
  void setState(DatasetState state);
  std::unique_ptr<RowStore> readRows();
  void buildFields();
  std::vector<ColumnValue> originalValues(std::uint32_t row) const;

  QPointer<Connection> m_connection;
  QMetaObject::Connection m_closingLink;
  DatasetState m_state = DatasetState::Inactive;
  std::unique_ptr<RowStore> m_store;
  std::vector<std::uint32_t> m_order;  // store rows in display order
  std::vector<std::unique_ptr<Field>> m_fields;
  // The texts of values in the default locale as it was when the rows were
  // read.
  std::shared_ptr<const ValueFormatter> m_formatter;
  int m_current = -1;
  bool m_bof = true;
  bool m_eof = true;
  std::vector<Cell> m_buffer;  // the row being edited or inserted
  std::vector<bool> m_changed;
};

}  // namespace tabrix
