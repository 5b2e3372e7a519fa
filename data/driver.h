#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "data/cell.h"
#include "data/connection.h"
#include "data/data_type.h"

namespace tabrix {

// One column of a result, as the driver describes it.
struct ColumnInfo {
  QString name;  // may be empty: the dataset names such columns
  DataType type = DataType::VarWChar;
  int size = 0;  // declared length: characters for text, bytes for binary
  int precision = 0;
  int scale = 0;
  bool nullable = true;
  bool autoIncrement = false;
  // Where the column's values are stored, in the driver's own terms; empty
  // for a computed column, which can't be written.
  QString baseColumn;
};

// A row's identity in a driver that has one: the engine's data page and
// row number, (page << 8) | row. It holds while the row is not deleted.
using Bookmark = std::uint64_t;

// What a driver tells about a result before its rows.
struct ResultInfo {
  std::vector<ColumnInfo> columns;
  // The one table the rows can be written to, by its bare name; empty when
  // they can't be (a join, an aggregate, a read-only driver).
  QString table;
  // The columns that identify a row (primary key or unique index), by
  // position; empty when none does, and every original value must.
  std::vector<int> key;
  // A hint for reserving memory, never a size to trust: a driver bounds a
  // count read from a file by what the file can hold. 0 if unknown.
  std::size_t expectedRows = 0;
  // Each row comes with its bookmark (RowSink::setBookmark).
  bool bookmarks = false;
};

// Receives a result from a driver: begin() once, then for each row one set
// call per column in any order (and setBookmark() where the result has
// bookmarks), then endRow(). Text and bytes are views valid only during the
// call, so a driver can hand over its buffers without a copy.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual void begin(const ResultInfo& info) = 0;
  virtual void setNull(int column) = 0;
  virtual void setBoolean(int column, bool value) = 0;
  virtual void setInteger(int column, std::int64_t value) = 0;  // also Currency, in ten-thousandths
  virtual void setReal(int column, double value) = 0;            // also DateTime, in days
  virtual void setGuid(int column, const Guid& value) = 0;
  virtual void setText(int column, std::u16string_view value) = 0;
  virtual void setBytes(int column, std::span<const std::byte> value) = 0;
  virtual void setBookmark(Bookmark bookmark) = 0;
  virtual void endRow() = 0;
};

// A value for one column in a write.
struct ColumnValue {
  QString column;  // ColumnInfo::baseColumn
  DataType type;
  int size;
  int precision;
  int scale;
  Cell value;
};

// What the data access component needs of a database. Every failure is a
// ProviderError with the driver's own text.
class Driver {
 public:
  virtual ~Driver() = default;

  // Every catalogue row, in the driver's order.
  virtual std::vector<CatalogueRow> catalogue() = 0;

  // Every row and column of a table, into the sink. The name is bare
  // ("Order Details"): the driver quotes it its own way.
  virtual void readTable(const QString& name, RowSink& sink) = 0;
  // Runs a statement; when it gives rows they go into the sink and the
  // answer is true. False when it gives none (it has run all the same).
  virtual bool readQuery(const QString& sql, RowSink& sink) = 0;
  // Runs a statement that gives no rows.
  virtual void execute(const QString& sql) = 0;

  // Changes one row of a table (its bare name). A driver with bookmarks
  // finds the row by its bookmark, then requires the original values to
  // hold there; one without gets none and finds the one row the original
  // values match (a null compares as IS NULL). When the row is gone or was
  // changed since it was read, or more than one row matches, nothing changes
  // and a ProviderError says so.
  virtual void updateRow(const QString& table, std::optional<Bookmark> bookmark,
                         const std::vector<ColumnValue>& original, const std::vector<ColumnValue>& values) = 0;
  // Deletes one row, found as updateRow() finds it.
  virtual void deleteRow(const QString& table, std::optional<Bookmark> bookmark,
                         const std::vector<ColumnValue>& original) = 0;
  // Adds a row, then reads the stored row back (autonumbers and defaults
  // filled in, and its bookmark where the driver has them) into `readBack`
  // as one row of the result described by `info`; false when it can't tell
  // which row it added.
  virtual bool insertRow(const QString& table, const std::vector<ColumnValue>& values, const ResultInfo& info,
                         RowSink& readBack) = 0;
};

}  // namespace tabrix
