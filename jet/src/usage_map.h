#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"

namespace jet {

class Pager;

// Walks the pages a usage map marks, in ascending order, reading the map's
// bitmap pages one at a time as it goes (memory stays flat whatever the
// table's size).
class UsageMap {
 public:
  // Reads the map that `pointer` (a page-row pointer) designates. `owner`
  // names the table in error texts. Throws Error(Corrupt).
  UsageMap(Pager& pager, Format format, std::uint32_t pointer, std::string owner);

  // The next marked page; false past the last. Throws Error(Corrupt).
  bool next(Pager& pager, std::uint32_t& page);

 private:
  bool nextInBitmap(const std::byte* bitmap, std::size_t bits, std::uint32_t base, std::uint32_t& page);

  std::string owner_;
  std::uint8_t type_ = 0;
  std::vector<std::byte> map_;     // the map row as stored
  std::vector<std::byte> bitmap_;  // the bitmap page being walked (reference maps)
  std::size_t bitsPerPage_ = 0;
  std::size_t bitmapIndex_ = 0;  // reference maps: entry of the page in bitmap_
  bool bitmapLoaded_ = false;
  std::size_t bit_ = 0;  // next bit to look at
};

}  // namespace jet
