#pragma once

#include <cstdint>

// Index pages and the entries on them. See jet/doc/indexes.md.
namespace jet::index {

// Page kinds (the first byte): an intermediate page points to pages below
// it, a leaf page to rows.
inline constexpr std::uint8_t kIntermediatePage = 0x03;
inline constexpr std::uint8_t kLeafPage = 0x04;

inline constexpr int kFreeSpaceOffset = 2;  // 2 bytes
inline constexpr int kOwnerOffset = 4;      // 4 bytes: the table's definition page

// Positions that differ between Jet 3 and Jet 4.
struct PageLayout {
  int previousPage;  // 4 bytes: the page before this one at its level, 0 for none
  int nextPage;      // 4 bytes: the page after it, 0 for none
  int tailPage;      // 4 bytes: an intermediate page's last child, kept out of its entries; 0 for none
  int prefixLength;  // bytes the entries after the first share with the first
  int prefixLengthSize;
  int entryMask;     // one bit per byte of the entry area: set where an entry ends
  int entryMaskSize;
  int entries;       // the entry area, to the end of the page
};

inline constexpr PageLayout kJet3 = {
    .previousPage = 8, .nextPage = 12, .tailPage = 16, .prefixLength = 20, .prefixLengthSize = 1,
    .entryMask = 22, .entryMaskSize = 226, .entries = 248,
};

inline constexpr PageLayout kJet4 = {
    .previousPage = 12, .nextPage = 16, .tailPage = 20, .prefixLength = 24, .prefixLengthSize = 2,
    .entryMask = 27, .entryMaskSize = 453, .entries = 480,
};

// An entry is the key, then the row it stands for: 3 bytes of page and 1 of
// row, big-endian. An intermediate page's entry then names its child page
// (4 bytes, big-endian), whose last entry it repeats.
inline constexpr int kRowPointerSize = 4;
inline constexpr int kChildPointerSize = 4;

// A key is, for each column, a flag byte and (unless null) the value's bytes.
inline constexpr std::uint8_t kAscendingValue = 0x7F;
inline constexpr std::uint8_t kAscendingNull = 0x00;
inline constexpr std::uint8_t kDescendingValue = 0x80;
inline constexpr std::uint8_t kDescendingNull = 0xFF;

// A yes/no value (never null), ascending; descending flips it.
inline constexpr std::uint8_t kTrue = 0x00;
inline constexpr std::uint8_t kFalse = 0xFF;

// Binary values and GUIDs go in segments of 8 bytes, each followed by a
// byte: 9 when more segments follow, else the count of bytes the last one
// uses (its unused bytes are 0). Descending flips all but the 9s.
inline constexpr int kSegmentData = 8;
inline constexpr std::uint8_t kMoreSegments = 9;

// A decimal's sign byte, set after any flipping.
inline constexpr std::uint8_t kPositiveDecimal = 0xFF;
inline constexpr std::uint8_t kNegativeDecimal = 0x00;

}  // namespace jet::index
