#pragma once

#include <cstddef>
#include <cstdint>

// Data pages and the rows on them. See jet/doc/rows.md.
namespace jet::row {

inline constexpr int kFreeSpaceOffset = 2;         // 2 bytes
inline constexpr int kOwnerOffset = 4;             // 4 bytes: the owning table's definition page
inline constexpr std::uint32_t kLongValueOwner = 0x4C41564C;  // "LVAL": a page of long values

struct PageLayout {
  int rowCount;   // 2 bytes: entries in the row offset table that follows
  int rowTable;   // the offset table: 2 bytes per row, rows counted from 0
};
inline constexpr PageLayout kJet3Page = {8, 10};
inline constexpr PageLayout kJet4Page = {12, 14};

// Flags in the high bits of a row offset.
inline constexpr std::uint16_t kDeleted = 0x8000;
inline constexpr std::uint16_t kOverflow = 0x4000;  // the row holds a pointer to where its data went
inline constexpr std::uint16_t kOffsetMask = 0x1FFF;

// Access points an overflowed row straight at its data; a reader follows at
// most this many pointers from a row's home before calling it damage.
inline constexpr std::size_t kMaxOverflowHops = 4;

// A pointer to a row elsewhere: the row number in the low byte, the page in
// the three high bytes.
inline std::uint32_t pointerPage(std::uint32_t pointer) { return pointer >> 8; }
inline std::uint32_t pointerRow(std::uint32_t pointer) { return pointer & 0xFF; }

// Jet 3 rows count their columns and variable-length columns in one byte,
// and keep variable-length offsets in one byte plus a jump table; Jet 4 uses
// two bytes throughout.
inline constexpr int kJet3CountSize = 1;
inline constexpr int kJet4CountSize = 2;
inline constexpr int kJet3JumpSpan = 256;

}  // namespace jet::row
