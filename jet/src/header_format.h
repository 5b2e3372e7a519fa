#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// Page 0 of a database file: the database definition page. See
// jet/doc/header.md.
namespace jet::header {

inline constexpr std::uint8_t kPageType = 0x00;

inline constexpr int kMagicOffset = 0x04;
inline constexpr std::string_view kJetMagic = "Standard Jet DB";
inline constexpr std::string_view kAceMagic = "Standard ACE DB";
inline constexpr std::string_view kMsisamMagic = "MSISAM Database";

inline constexpr int kVersionOffset = 0x14;
inline constexpr std::uint8_t kVersionJet3 = 0x00;
inline constexpr std::uint8_t kVersionJet4 = 0x01;
// The versions of the Access 2007 and later formats (.accdb).
inline constexpr std::uint8_t kVersionAceFirst = 0x02;
inline constexpr std::uint8_t kVersionAceLast = 0x06;

// From kMaskedOffset on, a stretch of the page is masked with RC4 under a
// fixed key; everything below is read after unmasking.
inline constexpr int kMaskedOffset = 0x18;
inline constexpr int kMaskedLengthJet3 = 126;
inline constexpr int kMaskedLengthJet4 = 128;
inline constexpr std::array<std::uint8_t, 4> kMaskKey = {0xC7, 0xDA, 0x39, 0x6B};

inline constexpr int kSortOrderOffsetJet3 = 0x3A;  // 2 bytes
inline constexpr int kSortOrderOffsetJet4 = 0x6E;  // 2 bytes, then a version
inline constexpr int kCodePageOffset = 0x3C;       // 2 bytes
inline constexpr int kEncodingKeyOffset = 0x3E;    // 4 bytes; 0 when pages are stored plain

inline constexpr int kPasswordOffset = 0x42;
inline constexpr int kPasswordLengthJet3 = 20;  // bytes in the database's code page
inline constexpr int kPasswordLengthJet4 = 40;  // UTF-16, 20 characters
// Jet 4 also masks the password with the whole days of the creation date.
inline constexpr int kCreationDateOffsetJet4 = 0x72;  // a date/time double
// Days up to 9999-12-31: a creation date beyond is damage.
inline constexpr double kLastCreationDay = 2958465.0;

}  // namespace jet::header
