#pragma once

#include <cstdint>
#include <string_view>

// How programs share a database file. See jet/doc/locking.md.
namespace jet::lock {

// Byte-range locks on the database file, one byte each, far past the
// largest size a Jet file can have and past the ranges Jet locks itself.
inline constexpr std::uint64_t kBase = std::uint64_t{1} << 40;
inline constexpr std::uint64_t kPresence = kBase;     // shared while open; exclusive for an exclusive open
inline constexpr std::uint64_t kWriter = kBase + 1;   // exclusive for the whole of a change
inline constexpr std::uint64_t kReaders = kBase + 2;  // shared while reading; exclusive while a change is stored

// The lock file beside the database, as Jet keeps it: one 64-byte entry per
// user (computer name, then user name, each a zero-padded 32-byte field),
// and one locked byte per user at kUserLocks + the entry's number, held
// while that user has the database open. An entry whose byte no one holds
// is left over from a user who has gone.
inline constexpr std::string_view kExtension = ".ldb";
inline constexpr std::uint64_t kUserLocks = 0x10000001;
inline constexpr int kMaxUsers = 255;
inline constexpr int kEntrySize = 64;
inline constexpr int kNameSize = 32;

}  // namespace jet::lock
