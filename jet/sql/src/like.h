#pragma once

#include <string_view>
#include <vector>

namespace jet::sql {

// A Like pattern, read once: * and % for any run of characters, ? and _
// for one, # for a digit, [abc], [a-z] and [!a-z] for one of a list (so
// [*] is a star). Letters match without regard to case.
class LikePattern {
 public:
  // False, with the pattern unusable, for an unclosed "[".
  bool compile(std::string_view pattern);
  bool matches(std::string_view text) const;

 private:
  struct Token {
    enum Kind { Any, One, Digit, Char, Set } kind = Char;
    char32_t c = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;
  };
  bool matchesOne(const Token& token, char32_t c) const;

  std::vector<Token> tokens_;
};

}  // namespace jet::sql
