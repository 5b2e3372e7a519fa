#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The code tables of the text sort orders, packed, and the constants of
// their packing, shared by the engine and the generator that writes
// collation_tables.cpp (jet/tools/make_collation_tables.cpp). See
// jet/doc/collation.md.
namespace jet::collation {

// What one UTF-16 code unit contributes to a text key.
enum class CodeKind : std::uint8_t {
  Ignored = 0,        // nothing at all
  Simple = 1,         // its bytes in the text part
  International = 2,  // its bytes in the text part, and extra bytes after it
  Unprintable = 3,    // bytes in the unprintable part only
  ExtraModifier = 4,  // a number added to the last extra byte written
  Flagged = 5,        // bytes in the text part, extra bytes (maybe none) and a two-bit flag code
  Significant = 6,    // its bytes in the text part; counted by the extra nibbles (Jet 3)
  Surrogate = 7,      // half of a surrogate pair: computed, not in the tables
};

// A table is a sequence of runs covering the code units from 0 upwards.
// Each run is: the number of code units it covers (LEB128), a header byte,
// the count of its text bytes (one byte), the step (zigzag LEB128) when the
// header says so, its text bytes, then its second bytes (extra bytes,
// unprintable bytes or the modifier, by kind). The k-th code unit of a run
// has the run's text bytes, read as a big-endian number, plus k times the
// step; everything else is the run's. The packed bytes are kept in base64.
inline constexpr std::uint8_t kKindMask = 0x07;
inline constexpr std::uint8_t kFlagCode1 = 0x08;  // a Flagged code unit's flag code is 2, else 3
inline constexpr int kSecondCountShift = 4;       // two bits: 0 to 3 second bytes
inline constexpr std::uint8_t kSecondCountMask = 0x03;
inline constexpr std::uint8_t kHasStep = 0x40;

inline constexpr int kMaxTextBytes = 8;
inline constexpr int kMaxSecondBytes = 3;

extern const std::string_view kGeneralRuns;        // Jet 4 "General": 0x0000-0xFFFF
extern const std::string_view kGeneralLegacyRuns;  // "General Legacy": 0x0000-0xFFFF
extern const std::string_view kGeneral97Runs;      // Jet 3's general order: 0x00-0xFF

// Jet 3's order covers code units beyond 0xFF only where they stand for a
// byte of code page 1252; the others are ignored.
struct Mapping {
  char16_t from;
  std::uint8_t to;
};
extern const std::span<const Mapping> kGeneral97Mappings;  // ascending by `from`

}  // namespace jet::collation
