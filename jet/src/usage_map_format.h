#pragma once

#include <cstdint>

// Usage maps: which pages belong to a table (or index). A map is a row on a
// data page, found through a page-row pointer. See jet/doc/usage_maps.md.
namespace jet::usage {

// The map's first byte says how the rest is kept.
inline constexpr std::uint8_t kInline = 0x00;     // 4 bytes of first page, then a bitmap
inline constexpr std::uint8_t kReference = 0x01;  // 4-byte numbers of bitmap pages

inline constexpr int kInlineFirstPage = 1;
inline constexpr int kInlineBitmap = 5;
inline constexpr int kReferenceList = 1;

// A bitmap page (type 0x05) holds bits from this offset to its end; the
// n-th page of the list covers the n-th stretch of that many pages.
inline constexpr int kBitmapPageStart = 4;

// The database's map of free pages is the first row of page 1; its marks
// are pages free for use, and Access marks the pages of its window that lie
// past the end of the file as free too. Pages 0 to 2 (the header, this map,
// the catalogue's definition) are never free.
inline constexpr std::uint32_t kFreePageMap = 1 << 8;
inline constexpr std::uint32_t kFirstFreeablePage = 3;

}  // namespace jet::usage
