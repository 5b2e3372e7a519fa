#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/value.h"

namespace jet {

enum class ObjectKind { SystemTable, Table, View };

// One entry of the catalogue: a table, a saved query (a view) or a system
// table. Names are UTF-8.
struct CatalogueEntry {
  ObjectKind kind;
  std::string name;
};

struct Column {
  std::string name;
  ColumnType type = ColumnType::Text;
  int number = 0;          // the column's id in the table definition
  int size = 0;            // declared length: characters for Text, bytes otherwise
  int precision = 0;       // Numeric; 0 for other types
  int scale = 0;           // Numeric; 0 for other types
  bool nullable = true;    // false when the column is required
  bool autoNumber = false;
  bool fixedLength = false;
  std::string defaultValue;  // its DefaultValue property, an Access expression ("0", "=Now()"); empty when none
};

struct IndexColumn {
  int column = 0;  // position in TableDef::columns
  bool ascending = true;
};

struct Index {
  std::string name;
  std::vector<IndexColumn> columns;
  bool primaryKey = false;
  bool unique = false;
  bool ignoreNulls = false;
  bool required = false;
  bool foreignKey = false;  // a relationship's index, kept by the engine
};

// A relationship between two tables: the rows of `table` refer, through
// their columns, to the rows of `referencedTable` (the "one" side, whose
// columns carry its primary key or a unique index). Names are UTF-8 as the
// database spells them.
struct Relationship {
  struct ColumnPair {
    std::string column;            // in `table`
    std::string referencedColumn;  // in `referencedTable`
    bool operator==(const ColumnPair&) const = default;
  };
  std::string name;
  std::string table;
  std::string referencedTable;
  std::vector<ColumnPair> columns;  // in the relationship's order
  bool enforced = true;             // referential integrity: no row may refer to a missing one
  bool cascadeUpdates = false;      // a changed key changes the rows that refer to it
  bool cascadeDeletes = false;      // a deleted row deletes the rows that refer to it
  bool cascadeNull = false;         // a deleted row sets the referring columns to null
};

struct TableDef {
  std::string name;
  std::vector<Column> columns;  // in the table's column order
  std::vector<Index> indexes;
  std::uint32_t rowCount = 0;   // as the table definition records it
};

}  // namespace jet
