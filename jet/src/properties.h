#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace jet {

class TextCodec;

// What a table's properties blob says of its columns, by column name.
struct ColumnProperties {
  std::vector<std::u16string> required;  // columns whose Required property is on
  std::vector<std::pair<std::u16string, std::u16string>> defaults;  // column, DefaultValue expression
};

// Reads the column properties the engine uses from a table's properties
// blob. A blob it can't make sense of yields what it read so far:
// properties only refine a definition the table itself already gives.
ColumnProperties readColumnProperties(std::span<const std::byte> blob, const TextCodec& codec);

}  // namespace jet
