#include "like.h"

#include "text_order.h"
#include "utf8.h"

namespace jet::sql {

bool LikePattern::compile(std::string_view pattern) {
  tokens_.clear();
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char32_t c = decodeUtf8(pattern, i);
    Token t;
    switch (c) {
      case '*':
      case '%':
        t.kind = Token::Any;
        if (!tokens_.empty() && tokens_.back().kind == Token::Any) continue;
        break;
      case '?':
      case '_': t.kind = Token::One; break;
      case '#': t.kind = Token::Digit; break;
      case '[': {
        t.kind = Token::Set;
        if (i < pattern.size() && pattern[i] == '!') {
          t.negated = true;
          ++i;
        }
        bool closed = false;
        while (i < pattern.size()) {
          char32_t low = decodeUtf8(pattern, i);
          if (low == ']') {
            closed = true;
            break;
          }
          char32_t high = low;
          if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
            ++i;
            high = decodeUtf8(pattern, i);
          }
          low = foldCase(low);
          high = foldCase(high);
          t.ranges.emplace_back(low <= high ? low : high, low <= high ? high : low);
        }
        if (!closed) return false;
        break;
      }
      default:
        t.c = foldCase(c);
        break;
    }
    tokens_.push_back(std::move(t));
  }
  return true;
}

bool LikePattern::matchesOne(const Token& token, char32_t c) const {
  switch (token.kind) {
    case Token::One: return true;
    case Token::Digit: return c >= '0' && c <= '9';
    case Token::Char: return token.c == c;
    case Token::Set: {
      bool in = false;
      for (const auto& [low, high] : token.ranges)
        if (c >= low && c <= high) in = true;
      return in != token.negated;
    }
    case Token::Any: return false;
  }
  return false;
}

bool LikePattern::matches(std::string_view text) const {
  // Greedy, going back to the last * when a later part fails: every * is
  // tried at each length once, so the work stays within text × pattern.
  std::size_t ti = 0, pi = 0;
  std::size_t star = tokens_.size(), mark = 0;
  while (ti < text.size()) {
    std::size_t next = ti;
    const char32_t c = foldCase(decodeUtf8(text, next));
    if (pi < tokens_.size() && tokens_[pi].kind != Token::Any && matchesOne(tokens_[pi], c)) {
      ti = next;
      ++pi;
    } else if (pi < tokens_.size() && tokens_[pi].kind == Token::Any) {
      star = pi++;
      mark = ti;
    } else if (star < tokens_.size()) {
      pi = star + 1;
      decodeUtf8(text, mark);
      ti = mark;
    } else {
      return false;
    }
  }
  while (pi < tokens_.size() && tokens_[pi].kind == Token::Any) ++pi;
  return pi == tokens_.size();
}

}  // namespace jet::sql
