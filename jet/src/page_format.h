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

}  // namespace jet::page
