#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "jet/schema.h"
#include "jet/value.h"

namespace jet {

// Walks an index's entries in the index's order (a descending column's
// values from the largest down; nulls first in an ascending column, last in
// a descending one), each entry standing for one row. A new cursor stands
// before the first entry. Reads one index page at a time. Borrows the
// database, which it must not outlive; not thread-safe.
//
// Keys are given as values, one per index column from the first on; fewer
// than all the columns stand for every key that starts with them. A value
// must be of its column's type or convert to it exactly (between Byte,
// Integer and Long; Single and Double; a decimal to the column's scale);
// null is a value too. Text compares as the column's sort order does:
// without regard to case, trailing spaces ignored, only the first 255
// characters counting.
class IndexCursor {
 public:
  virtual ~IndexCursor() = default;

  virtual const TableDef& table() const = 0;
  virtual const Index& index() const = 0;

  // Moves before the first entry whose key is at or after `key`
  // (inclusive) or after it; an empty key moves before the first entry.
  // Throws Error: Unsupported for a value its column can't hold or a text
  // in a sort order the engine has no tables for, NotFound for more values
  // than the index has columns, Corrupt.
  virtual void seek(std::span<const Value> key, bool inclusive = true) = 0;

  // Ends the walk at `key`: next() returns false at the first entry after
  // it (inclusive) or at or after it. An empty key ends it at the last
  // entry. Kept across seek(). Throws as seek() does.
  virtual void stopAt(std::span<const Value> key, bool inclusive = true) = 0;

  // Moves to the next entry; false past the last (or the end stopAt() set).
  // Throws Error(Corrupt).
  virtual bool next() = 0;

  // The current entry's row: its data page in the high bits and its row
  // number on that page in the low 8 ((page << 8) | row), as a row cursor's
  // bookmark. Meaningful after next() returned true.
  virtual std::uint64_t bookmark() const = 0;

  // The current entry's value of the column at `column` in index().columns,
  // decoded from the key; valid until the next call of next() or seek().
  // Throws Error: Unsupported for a text or memo value that isn't null (a
  // text key keeps only the sort order's codes and can't be turned back
  // into text), or for
  // a column after a text in a sort order the engine has no tables for;
  // NotFound when not on an entry or for a position past the columns;
  // Corrupt.
  virtual const Value& key(std::size_t column) = 0;
};

}  // namespace jet
