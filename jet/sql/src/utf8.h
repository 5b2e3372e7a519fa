#pragma once

#include <string>
#include <string_view>

namespace jet::sql {

// Reads the character at `offset` and moves past it. A byte that starts no
// valid sequence reads as U+FFFD and is skipped alone.
char32_t decodeUtf8(std::string_view text, std::size_t& offset);

void appendUtf8(std::string& out, char32_t c);

// UTF-16 (as the engine gives text) to UTF-8, appended; an unpaired
// surrogate becomes U+FFFD.
void appendUtf8(std::string& out, std::u16string_view text);

std::u16string toUtf16(std::string_view text);

// The number of characters in UTF-8 text.
std::size_t characterCount(std::string_view text);

}  // namespace jet::sql
