#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "jet/database.h"
#include "collation.h"
#include "jet/schema.h"

namespace jet {

class Pager;
class TextCodec;

// Where one column's value lies in a row.
struct ColumnStorage {
  ColumnType type = ColumnType::Text;
  std::uint16_t number = 0;       // its bit in the null mask
  std::uint16_t varIndex = 0;     // its entry in the variable-length offset table
  std::uint16_t fixedOffset = 0;  // its offset among the fixed-length data
  std::uint16_t length = 0;       // bytes of a fixed-length value
  bool fixed = false;
  SortOrderId sortOrder;          // Text and Memo: the order their index keys follow
};

// The other side of a relationship an index stands for.
struct IndexReference {
  std::uint32_t relatedTable = 0;  // definition page of the related table
  std::uint32_t relatedIndex = 0;  // number of its index (IndexStorage::number)
  bool primarySide = false;        // this table holds the referenced key
  bool cascadeUpdates = false;
  bool cascadeDeletes = false;
  bool cascadeNull = false;  // deleting the referenced row sets the foreign key to null
};

// An index as the file keeps it, for the code that reads and maintains its
// pages.
struct IndexStorage {
  std::uint32_t firstPage = 0;  // root of the index tree
  std::uint32_t usageMap = 0;   // page-row pointer to the map of its pages
  std::uint32_t number = 0;     // the index's number, by which relationships name it
  std::uint32_t realIndex = 0;  // the real index holding its entries, shared by indexes on the same columns
  std::uint8_t flags = 0;       // the real index's flags as stored (table_definition_format.h)
  std::uint32_t uniqueEntryCount = 0;      // as the real index records it
  std::optional<IndexReference> reference;  // a relationship's index whose other side is known
};

// A table definition read from the file: the public definition and what it
// takes to find values in rows.
struct TableInfo {
  TableDef def;
  std::vector<ColumnStorage> storage;      // parallel to def.columns
  std::vector<IndexStorage> indexStorage;  // parallel to def.indexes
  std::uint32_t definitionPage = 0;
  std::uint32_t usageMap = 0;  // page-row pointer to the map of the table's data pages
  std::uint16_t varColumnCount = 0;
  bool systemTable = false;
};

// The bytes of a fixed-length value of the type; 0 for a type kept in the
// null mask (Boolean) or stored with its declared length (Text, Binary).
int fixedSizeOf(ColumnType type);

// Reads the definition that starts at `page`, following its chain. `name` is
// the table's name from the catalogue. Throws Error(Corrupt) for bytes that
// contradict the format, Error(Unsupported) for a column type it can't read.
TableInfo readTableDefinition(Pager& pager, const TextCodec& codec, Format format, std::uint32_t page,
                              std::u16string_view name);

}  // namespace jet
