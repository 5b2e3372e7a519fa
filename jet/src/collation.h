#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "jet/database.h"

namespace jet {

// A text column's sort order as its definition records it: a locale number
// (1033 for the general order) and, in Jet 4, a version.
struct SortOrderId {
  std::uint16_t locale = 0;
  std::uint8_t version = 0;
};

// Index keys for text in one of the general sort orders: Jet 4 "General"
// and "General Legacy", and Jet 3's general order. A key holds codes for
// the letters (so that it sorts without regard to case and accents) followed
// by codes that tell the variants apart; it can't be turned back into text.
// See jet/doc/collation.md. The tables are unpacked once, on first use;
// a Collation is immutable afterwards and may be shared.
class Collation {
 public:
  // The collation for a column's sort order, or nullptr for an order this
  // engine has no tables for. A locale of 0 means the format's default.
  static const Collation* find(Format format, SortOrderId order);

  // Appends the key of `text` for an ascending or descending column (the
  // flag byte before it is the caller's). Only the first 255 code units
  // count, and trailing spaces don't.
  void appendKey(std::u16string_view text, bool ascending, std::vector<std::byte>& out) const;

  // A length at which a text key that starts `key` (as appendKey wrote it)
  // can end, the first one beyond `after`; 0 when there is none. A key
  // ends in a terminator that its codes can hold too (the codes of a
  // surrogate pair may), so what follows the text must settle which length
  // is the key's; Jet 3's keys have one length only.
  std::size_t keyLength(std::span<const std::byte> key, bool ascending, std::size_t after = 0) const;

  Collation(const Collation&) = delete;
  Collation& operator=(const Collation&) = delete;

 private:
  enum class Family { General, General97 };

  // What one code unit contributes (see collation_tables.h).
  struct Code {
    std::uint8_t kind = 0;
    std::uint8_t textLength = 0;
    std::uint8_t secondLength = 0;
    bool flagCode1 = false;
    std::uint8_t text[8] = {};
    std::uint8_t second[3] = {};
  };
  // Code units from `first` on, `count` of them, share a code but for their
  // text bytes, which grow by `step` from one to the next.
  struct Run {
    char16_t first = 0;
    std::uint32_t count = 0;
    std::int64_t step = 0;
    std::uint64_t text = 0;  // the first code unit's text bytes as a big-endian number
    Code code;
  };

  Collation(Family family, std::string_view packedRuns);
  Code lookup(char16_t unit) const;
  void appendGeneral(std::u16string_view text, std::vector<std::byte>& out) const;
  void appendGeneral97(std::u16string_view text, std::vector<std::byte>& out) const;

  Family family_;
  std::vector<Run> runs_;  // ascending by first code unit
};

}  // namespace jet
