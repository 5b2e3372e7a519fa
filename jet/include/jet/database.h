#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/change.h"
#include "jet/error.h"
#include "jet/index_cursor.h"
#include "jet/schema.h"
#include "jet/value.h"

namespace jet {

enum class Format { Jet3, Jet4 };

struct OpenOptions {
  std::string password;         // the database password; ignored when the file has none
  std::string user = "admin";   // only admin can open a file without a workgroup
  // Open for changes: write() is allowed, and the user takes an entry in the
  // lock file beside the database (name.ldb), as Access users do. A file
  // that can only be read still opens; write() then says why it can't
  // change it.
  bool write = false;
  // Keep every other program out: the open fails while another has the file
  // open, and no other can change it meanwhile (reading it is still
  // allowed). Opens for changes.
  bool exclusive = false;
  // How long a read or a change waits for another program's change (or a
  // change for another program's reads) before giving up.
  std::chrono::milliseconds lockWait{5000};
};

class RowCursor;

// An open .mdb file. Opening reads and checks the header; every page read
// later is checked as it is used. Other programs (and other Database
// objects) may have the file open too: each read sees the file whole, as a
// change of another program left it, and a change is made whole or not at
// all, even across a crash (a change cut short is rolled back the next time
// the file is opened or read). A Database is not thread-safe; cursors borrow
// it and must not outlive it.
class Database {
 public:
  // Throws Error: Io when the file can't be read, NotADatabase, Corrupt,
  // Password when the database password doesn't match or the user isn't admin,
  // Locked when an exclusive open finds the file open elsewhere.
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
  // overflowed row at its original place). Until it is destroyed (or has
  // passed its last row) other programs' changes wait. Throws as table()
  // does, and Error(Locked) when another program's change doesn't end in
  // time.
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

  // Makes one atomic change: runs `change`, then stores all it did, durably;
  // if `change` throws, nothing it did reaches the file and the exception
  // goes on. Other programs' changes and reads wait meanwhile (the reads
  // only while the change is being stored). Throws Error: ReadOnly when the
  // database was opened for reading, or the file or its folder can't be
  // written; Locked when another program holds the database exclusively or
  // its change or reads don't end in time; Io when a write or sync fails.
  // After any of these the file is as it was.
  virtual void write(const std::function<void(Change&)>& change) = 0;
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
