#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/error.h"
#include "jet/index_cursor.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace jet {

enum class Format { Jet3, Jet4 };

struct OpenOptions {
  std::string password;         // the database password; ignored when the file has none
  std::string user = "admin";   // only admin can open a file without a workgroup
};

class RowCursor;

// An open .mdb file, read-only. Opening reads and checks the header; every
// page read later is checked as it is used. A Database is not thread-safe;
// cursors borrow it and must not outlive it.
class Database {
 public:
  // Throws Error: Io when the file can't be read, NotADatabase, Corrupt,
  // Password when the database password doesn't match or the user isn't admin.
  static std::unique_ptr<Database> open(const std::string& path, const OpenOptions& options = {});

  virtual ~Database() = default;

  virtual Format format() const = 0;
  virtual int pageSize() const = 0;
  virtual int codePage() const = 0;

  // Every table, system table and saved query that returns rows (a view;
  // action queries are left out), ordered as an ODBC catalogue call orders
  // them: system tables, tables, views, each by name without regard to case.
  // Linked tables are listed as tables.
  virtual std::vector<CatalogueEntry> catalogue() const = 0;

  // The definition of a table or system table; the name is matched without
  // regard to case. Throws Error: NotFound for an unknown name, Unsupported
  // for a saved query or a linked table, Corrupt, Io.
  virtual TableDef table(std::string_view name) const = 0;

  // A cursor over the table's live rows, in the order they are stored (an
  // overflowed row at its original place). Throws as table() does.
  virtual std::unique_ptr<RowCursor> rows(std::string_view table) const = 0;

  // A cursor over one of the table's indexes, named without regard to case
  // or given by its position in table().indexes. Throws as table() does, and
  // Error(NotFound) for an index the table doesn't have.
  virtual std::unique_ptr<IndexCursor> index(std::string_view table, std::string_view index) const = 0;
  virtual std::unique_ptr<IndexCursor> indexAt(std::string_view table, std::size_t position) const = 0;

  // Every relationship between tables (system tables among them), ordered
  // by name without regard to case; the cascade flags are only ever set on
  // an enforced one. Throws Error: Corrupt when the system table of
  // relationships contradicts itself, Io.
  virtual std::vector<Relationship> relationships() const = 0;
};

// Walks a table's rows. Values are decoded on demand, once per row; what
// value() returns (and the text and bytes it points to) is valid until the
// next call of next(). Values of different columns of one row stay valid
// together. Reading allocates nothing per row once buffers have grown.
class RowCursor {
 public:
  virtual ~RowCursor() = default;

  virtual const TableDef& table() const = 0;

  // Moves to the next live row; false past the last one. Throws Error on
  // corruption.
  virtual bool next() = 0;

  // The value of the column at this position in table().columns. Throws
  // Error: Corrupt for a value whose bytes contradict the format, NotFound
  // for a position past the columns or when not on a row.
  virtual const Value& value(std::size_t column) = 0;

  // The current row's identity while the file is unchanged:
  // (std::uint64_t(page) << 8) | row, the data page and the row's number on
  // it, as a row pointer in the file has them (an overflowed row is known by
  // where it was first stored). A writer finds the row again by it. Throws
  // Error: NotFound when not on a row, Corrupt for a row numbered beyond
  // what a row pointer can hold.
  virtual std::uint64_t bookmark() const = 0;
};

}  // namespace jet
