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

}  // namespace jet::usage
