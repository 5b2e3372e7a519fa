#pragma once

#include <cstdint>
#include <string_view>

// The rollback journal beside a database while a change is under way. See
// jet/doc/journal.md.
namespace jet::journal {

inline constexpr std::string_view kSuffix = "-journal";

// The header, first in the file. Numbers are little-endian.
inline constexpr std::string_view kMagic = "Tabrix journal\x1A";  // 15 bytes, then a zero
inline constexpr int kMagicOffset = 0;       // 16 bytes
inline constexpr int kVersionOffset = 16;    // 4 bytes
inline constexpr int kPageSizeOffset = 20;   // 4 bytes: the database's page size
inline constexpr int kFileSizeOffset = 24;   // 8 bytes: the database's size before the change
inline constexpr int kSaltOffset = 32;       // 8 bytes: a random number this journal's checksums start from
inline constexpr int kChecksumOffset = 56;   // 8 bytes: of the 56 bytes before
inline constexpr int kHeaderSize = 64;
inline constexpr std::uint32_t kVersion = 1;

// Then one record per page: its number, 4 zero bytes, the page as the file
// stored it, and a checksum of the number and the bytes.
inline constexpr int kRecordPageOffset = 0;
inline constexpr int kRecordBytesOffset = 8;
inline constexpr int kRecordOverhead = 16;  // number, padding and checksum

}  // namespace jet::journal
