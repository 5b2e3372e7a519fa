#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jet::sql {

// Where a token starts in the statement text: line and column from 1,
// columns counted in characters.
struct Position {
  int line = 1;
  int column = 1;
};

enum class TokenKind {
  End,
  Word,        // a bare name or keyword: letters, digits, "_"
  QuotedName,  // [a name] or `a name`: never a keyword
  Integer,     // digits only
  Number,      // digits with a decimal point or an exponent
  Text,        // 'text' or "text"
  Date,        // #date#
  Plus, Minus, Star, Slash, Backslash, Caret, Ampersand,
  Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
  LeftParen, RightParen, Comma, Dot, Bang, Semicolon, Question,
};

struct Token {
  TokenKind kind = TokenKind::End;
  // A name without its brackets, a text without its quotes (doubled
  // quotes made single), a date without its #, a number as written.
  std::string value;
  std::string_view source;  // the token as written, for messages
  Position position;
};

// Splits a statement into tokens, the last one End. Throws Error (Syntax)
// for an unterminated text, name or date, or a character that starts no
// token.
std::vector<Token> tokenize(std::string_view sql);

// The characters of a statement as a user counts them: a character of a
// bare name (letters of any alphabet, digits, "_").
bool isNameCharacter(char32_t c);

}  // namespace jet::sql
