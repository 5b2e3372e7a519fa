#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace jet {

class TextCodec;

// From a table's properties blob, the names of the columns whose Required
// property is on. A blob it can't make sense of yields what it read so far:
// properties only refine a definition the table itself already gives.
std::vector<std::u16string> requiredColumns(std::span<const std::byte> blob, const TextCodec& codec);

}  // namespace jet
