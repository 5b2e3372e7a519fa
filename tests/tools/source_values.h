#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jet/schema.h"

namespace tooltest {

// A value as text in one form whatever wrote it, so the source's values
// and a target's can be compared; nullopt is null.
using Cell = std::optional<std::string>;

// The canonical text of a value of this column type, from the text a
// writer gave it: yes/no as true/false (t, 1 and true are yes), numbers as
// the shortest text that reads back the same (decimals without trailing
// zeros), GUIDs in lower case without braces, binary as lower-case hex
// without a "\x". Text and dates stay as they are.
std::string canonical(jet::ColumnType type, std::string text);

// A table's rows as `tabrix-cli export` writes them, each value canonical,
// in the order the table keeps them.
struct ExportedTable {
  jet::TableDef def;
  std::vector<std::vector<Cell>> rows;
};
ExportedTable exportTable(const std::string& file, const std::string& table, const std::string& password = "");

}  // namespace tooltest
