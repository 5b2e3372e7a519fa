#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "jet/database.h"

namespace jet {

// Decodes text as a database stores it: Jet 4 as UTF-16 little-endian or in
// its compressed form (a 0xFF 0xFE mark, then runs of one-byte characters
// and of two-byte ones, switched by a 0x00 byte); Jet 3 as bytes of the
// database's code page.
class TextCodec {
 public:
  // Throws Error(Unsupported) for a Jet 3 code page it can't decode.
  TextCodec(Format format, int codePage);
  ~TextCodec();
  TextCodec(TextCodec&&) noexcept;
  TextCodec& operator=(TextCodec&&) noexcept;

  // Replaces `out` with the text of `stored`. Reuses out's storage.
  void decode(std::span<const std::byte> stored, std::u16string& out) const;

  std::u16string decode(std::span<const std::byte> stored) const {
    std::u16string out;
    decode(stored, out);
    return out;
  }

 private:
  class Converter;
  Format format_;
  const char16_t* highHalf_ = nullptr;   // single-byte code page table
  std::unique_ptr<Converter> converter_;  // other code pages, through iconv
};

// UTF-8 to UTF-16; malformed sequences become U+FFFD.
std::u16string fromUtf8(std::string_view text);

// Folds a character for comparisons without regard to case (Latin, Greek and
// Cyrillic letters).
char16_t foldCase(char16_t c);

// Orders names without regard to case, then by their code units.
int compareNames(std::u16string_view a, std::u16string_view b);
bool equalNamesIgnoringCase(std::u16string_view a, std::u16string_view b);

}  // namespace jet
