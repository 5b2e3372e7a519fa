#include <string>

#include "jet/sql/error.h"
#include "messages.h"
#include "token.h"
#include "utf8.h"

namespace jet::sql {

bool isNameCharacter(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  // Latin-1's signs and marks are no letters.
  if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
  if (c == 0xD7 || c == 0xF7) return false;
  // Every other letter outside ASCII counts, as Access accepts them in
  // names; the blanks and quotation marks of Unicode do not.
  return c != 0xA0 && c != 0x2028 && c != 0x2029 && !(c >= 0x2000 && c <= 0x200B) && c != 0x3000 && c != 0xFEFF &&
         !(c >= 0x2018 && c <= 0x201F);
}

namespace {

class Lexer {
 public:
  explicit Lexer(std::string_view sql) : sql_(sql) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    for (;;) {
      skipBlanks();
      Token token;
      token.position = position_;
      const std::size_t start = offset_;
      if (offset_ >= sql_.size()) {
        token.kind = TokenKind::End;
        tokens.push_back(std::move(token));
        return tokens;
      }
      read(token);
      token.source = sql_.substr(start, offset_ - start);
      tokens.push_back(std::move(token));
    }
  }

 private:
  char32_t peek(std::size_t ahead = 0) const {
    std::size_t at = offset_;
    char32_t c = 0;
    for (std::size_t i = 0; i <= ahead; ++i) {
      if (at >= sql_.size()) return 0;
      c = decodeUtf8(sql_, at);
    }
    return c;
  }

  char32_t take() {
    const char32_t c = decodeUtf8(sql_, offset_);
    if (c == '\n' || (c == '\r' && (offset_ >= sql_.size() || sql_[offset_] != '\n'))) {
      ++position_.line;
      position_.column = 1;
    } else if (c != '\r') {
      ++position_.column;
    }
    return c;
  }

  void skipBlanks() {
    while (offset_ < sql_.size()) {
      const char32_t c = peek();
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || c == 0xA0 || c == 0xFEFF)
        take();
      else
        break;
    }
  }

  [[noreturn]] void fail(const Position& at, const std::string& what) const {
    throw Error(ErrorKind::Syntax, syntaxMessage("the statement", at, what));
  }

  void read(Token& token) {
    const Position start = position_;
    const char32_t c = take();
    switch (c) {
      case '[': quoted(token, ']', start, "name"); return;
      case '`': quoted(token, '`', start, "name"); return;
      case '\'': text(token, '\'', start); return;
      case '"': text(token, '"', start); return;
      case '#': date(token, start); return;
      case '+': token.kind = TokenKind::Plus; return;
      case '-': token.kind = TokenKind::Minus; return;
      case '*': token.kind = TokenKind::Star; return;
      case '/': token.kind = TokenKind::Slash; return;
      case '\\': token.kind = TokenKind::Backslash; return;
      case '^': token.kind = TokenKind::Caret; return;
      case '&': token.kind = TokenKind::Ampersand; return;
      case '=': token.kind = TokenKind::Equal; return;
      case '(': token.kind = TokenKind::LeftParen; return;
      case ')': token.kind = TokenKind::RightParen; return;
      case ',': token.kind = TokenKind::Comma; return;
      case '!': token.kind = TokenKind::Bang; return;
      case ';': token.kind = TokenKind::Semicolon; return;
      case '?': token.kind = TokenKind::Question; return;
      case '<':
        if (peek() == '>') {
          take();
          token.kind = TokenKind::NotEqual;
        } else if (peek() == '=') {
          take();
          token.kind = TokenKind::LessEqual;
        } else {
          token.kind = TokenKind::Less;
        }
        return;
      case '>':
        if (peek() == '=') {
          take();
          token.kind = TokenKind::GreaterEqual;
        } else {
          token.kind = TokenKind::Greater;
        }
        return;
      case '.':
        if (peek() >= '0' && peek() <= '9') {
          number(token, std::string("."));
          return;
        }
        token.kind = TokenKind::Dot;
        return;
      default: break;
    }
    if (c >= '0' && c <= '9') {
      std::string digits;
      appendUtf8(digits, c);
      number(token, std::move(digits));
      return;
    }
    if (isNameCharacter(c)) {
      token.kind = TokenKind::Word;
      appendUtf8(token.value, c);
      while (offset_ < sql_.size() && isNameCharacter(peek())) appendUtf8(token.value, take());
      // VBA's text functions have forms ending in $: Left$(…), Trim$(…).
      if (peek() == '$' && peek(1) == '(') token.value += static_cast<char>(take());
      return;
    }
    std::string shown;
    appendUtf8(shown, c);
    fail(start, "the character \"" + shown + "\" is not part of Access SQL");
  }

  void number(Token& token, std::string digits) {
    token.kind = digits == "." ? TokenKind::Number : TokenKind::Integer;
    const auto isDigit = [](char32_t d) { return d >= '0' && d <= '9'; };
    while (isDigit(peek())) digits += static_cast<char>(take());
    if (token.kind == TokenKind::Integer && peek() == '.' && isDigit(peek(1))) {
      token.kind = TokenKind::Number;
      digits += static_cast<char>(take());
      while (isDigit(peek())) digits += static_cast<char>(take());
    } else if (token.kind == TokenKind::Integer && peek() == '.' && !isNameCharacter(peek(1))) {
      // "1." is a number too
      token.kind = TokenKind::Number;
      take();
    }
    if ((peek() == 'e' || peek() == 'E') &&
        (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
      token.kind = TokenKind::Number;
      digits += static_cast<char>(take());
      if (peek() == '+' || peek() == '-') digits += static_cast<char>(take());
      while (isDigit(peek())) digits += static_cast<char>(take());
    }
    token.value = std::move(digits);
  }

  void quoted(Token& token, char32_t close, const Position& start, const char* what) {
    token.kind = TokenKind::QuotedName;
    for (;;) {
      if (offset_ >= sql_.size()) fail(start, std::string("the ") + what + " that starts here has no closing \"" +
                                                  (close == ']' ? "]" : "`") + "\"");
      const char32_t c = take();
      if (c == close) break;
      appendUtf8(token.value, c);
    }
    if (token.value.empty()) fail(start, "a name in brackets is empty");
  }

  void text(Token& token, char32_t quote, const Position& start) {
    token.kind = TokenKind::Text;
    for (;;) {
      if (offset_ >= sql_.size()) fail(start, "the text that starts here has no closing quotation mark");
      const char32_t c = take();
      if (c == quote) {
        if (peek() == quote) {
          take();
        } else {
          break;
        }
      }
      appendUtf8(token.value, c);
    }
  }

  void date(Token& token, const Position& start) {
    token.kind = TokenKind::Date;
    for (;;) {
      if (offset_ >= sql_.size()) fail(start, "the date that starts here has no closing \"#\"");
      const char32_t c = take();
      if (c == '#') break;
      appendUtf8(token.value, c);
    }
  }

  std::string_view sql_;
  std::size_t offset_ = 0;
  Position position_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view sql) { return Lexer(sql).run(); }

}  // namespace jet::sql
