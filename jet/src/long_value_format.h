#pragma once

#include <cstdint>

// Long values (memo and OLE): a 12-byte reference in the row, the data
// inline after it or in rows of long-value pages. See jet/doc/long_values.md.
namespace jet::lval {

inline constexpr int kReferenceSize = 12;
inline constexpr int kLengthOffset = 0;   // 4 bytes: the length, kind flags in the top bits
inline constexpr int kPointerOffset = 4;  // 4 bytes: page-row pointer to the first part

inline constexpr std::uint32_t kInline = 0x80000000;      // the data follows the reference
inline constexpr std::uint32_t kSingleRow = 0x40000000;   // the data is one row elsewhere
inline constexpr std::uint32_t kKindMask = 0xC0000000;    // neither: a chain of rows
inline constexpr std::uint32_t kLengthMask = 0x3FFFFFFF;

// A row of a chain starts with the page-row pointer to the next one (0 at
// the end), then its part of the data.
inline constexpr int kChainHeader = 4;

}  // namespace jet::lval
