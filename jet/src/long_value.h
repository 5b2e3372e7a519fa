#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "jet/database.h"

namespace jet {

class Pager;

// Reads long values (memo and OLE) into a buffer it keeps, so a cursor can
// read one per column per row without allocating once the buffer has grown.
class LongValueReader {
 public:
  // The value that `reference` (the column's bytes in the row) describes.
  // The span points into this reader and stays valid until the next read().
  // An inline value is not copied: its span points into `reference`.
  // `table` and `column` name the value in error texts. Throws
  // Error(Corrupt).
  std::span<const std::byte> read(Pager& pager, Format format, std::span<const std::byte> reference,
                                  const std::string& table, const std::string& column);

 private:
  std::vector<std::byte> buffer_;
  std::unordered_set<std::uint32_t> seen_;
};

}  // namespace jet
