#pragma once

#include <cstdint>

// Every page starts with a type byte. See jet/doc/pages.md.
namespace jet::page {

inline constexpr std::uint8_t kDatabaseDefinition = 0x00;
inline constexpr std::uint8_t kData = 0x01;
inline constexpr std::uint8_t kTableDefinition = 0x02;
inline constexpr std::uint8_t kIndexNode = 0x03;
inline constexpr std::uint8_t kIndexLeaf = 0x04;
inline constexpr std::uint8_t kUsageMap = 0x05;

// The largest files Jet can open: 1 GB for Jet 3, 2 GB for Jet 4.
inline constexpr std::uint64_t kLargestFileJet3 = std::uint64_t{1} << 30;
inline constexpr std::uint64_t kLargestFileJet4 = std::uint64_t{2} << 30;

}  // namespace jet::page
