#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/value.h"

namespace jet {

class Collation;
struct TableInfo;

// One column of an index: what it takes to turn its values into key bytes
// and back. See jet/doc/indexes.md.
struct KeyColumn {
  std::string name;  // for error texts
  ColumnType type = ColumnType::Long;
  bool ascending = true;
  int scale = 0;                         // Numeric
  const Collation* collation = nullptr;  // Text and Memo; null for a sort order without tables
};

// The key columns of the index at `position` in info.def.indexes.
std::vector<KeyColumn> keyColumns(const TableInfo& info, Format format, std::size_t position);

// Appends a column's part of a key: a flag byte (null or not, ascending or
// descending), then the value's bytes. The value must be of the column's
// type, or of a type it converts to exactly (between Byte, Integer and
// Long; Single and Double; a decimal to the column's scale). Throws
// Error(Unsupported) for a value the column can't hold, a text in a sort
// order without tables, or a type no index holds.
void appendKeyValue(const KeyColumn& column, const Value& value, std::vector<std::byte>& out);

// A length the column's part that starts `key` can have, the first one
// beyond `after`; 0 when there is none. Only a text's part can have more
// than one (see Collation::keyLength). Throws Error(Unsupported) for a text
// in a sort order without tables.
std::size_t keyValueLength(const KeyColumn& column, std::span<const std::byte> key, std::size_t after = 0);

// Where each column's part of a whole key starts, and where the key ends
// (columns.size() + 1 offsets); empty when the key can't be split into the
// columns' parts. Throws as keyValueLength does.
std::vector<std::size_t> splitKey(const std::vector<KeyColumn>& columns, std::span<const std::byte> key);

// Decodes a column's part of a key (`part`, as keyValueLength measured it)
// into `value`; binary bytes are kept in `bytes`, which the value points
// into. Returns false when the bytes contradict the format. Throws
// Error(Unsupported) for a text: its key can't be turned back into text.
bool decodeKeyValue(const KeyColumn& column, std::span<const std::byte> part, Value& value,
                    std::vector<std::byte>& bytes);

}  // namespace jet
