#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/schema.h"
#include "properties.h"

namespace jet {

class Pager;
class TextCodec;

// One object of the catalogue the engine lists or opens.
struct CatalogueObject {
  ObjectKind kind = ObjectKind::Table;
  std::u16string name;
  std::uint32_t definitionPage = 0;  // tables and system tables
  bool linked = false;               // a table whose rows live in another database
  ColumnProperties columns;          // tables: what their properties say of their columns
};

// Reads MSysObjects: tables, system tables, linked tables and the saved
// queries that return rows, in the order they are stored. Throws Error.
std::vector<CatalogueObject> readCatalogue(Pager& pager, Format format, const TextCodec& codec);

// Orders objects as an ODBC catalogue call does: system tables, tables,
// views, each by name without regard to case, ties by byte order.
void sortCatalogue(std::vector<CatalogueObject>& objects);

}  // namespace jet
