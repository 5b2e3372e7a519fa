#pragma once

#include <string>
#include <string_view>

// How Access compares text: without regard to case, letters with accents
// after the same letter without them ("a" < "ą" < "b"). Used by the JET
// collation, Like, InStr, Replace and the lookup of names.
namespace jet::sql {

// The lower-case form of a letter (Latin, Greek, Cyrillic); other
// characters unchanged.
char32_t foldCase(char32_t c);

// The upper-case form of a letter; other characters unchanged.
char32_t upperCase(char32_t c);

// UTF-8 text in lower case, for names and keys that compare equal exactly
// when compareText says so.
std::string foldText(std::string_view text);

// Negative, zero or positive as `a` sorts before, with or after `b`.
int compareText(std::string_view a, std::string_view b);

}  // namespace jet::sql
