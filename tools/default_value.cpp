#include "default_value.h"

#include <cstdlib>
#include <regex>

namespace tabrix::cli {
namespace {

using jet::ColumnType;

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool isNumeric(ColumnType t) {
  return t == ColumnType::Byte || t == ColumnType::Integer || t == ColumnType::Long || t == ColumnType::Single ||
         t == ColumnType::Double || t == ColumnType::Currency || t == ColumnType::Numeric;
}

bool isWhole(ColumnType t) { return t == ColumnType::Byte || t == ColumnType::Integer || t == ColumnType::Long; }

bool isText(ColumnType t) { return t == ColumnType::Text || t == ColumnType::Memo; }

// A string literal in double or single quotes, its quotes doubled inside.
bool unquote(const std::string& s, std::string& text) {
  if (s.size() < 2 || (s.front() != '"' && s.front() != '\'') || s.back() != s.front()) return false;
  const char quote = s.front();
  text.clear();
  for (std::size_t i = 1; i + 1 < s.size(); ++i) {
    if (s[i] == quote) {
      if (i + 2 >= s.size() || s[i + 1] != quote) return false;
      ++i;
    }
    text += s[i];
  }
  return true;
}

TranslatedDefault skip(const std::string& why) { return {"", why}; }

TranslatedDefault number(const jet::Column& column, const std::string& literal, Dialect dialect) {
  const std::string plain = literal.front() == '+' ? literal.substr(1) : literal;
  if (column.type == ColumnType::Boolean) {
    const bool zero = std::strtod(plain.c_str(), nullptr) == 0;
    return {dialect == Dialect::Postgres ? (zero ? "false" : "true") : (zero ? "0" : "1"), ""};
  }
  if (isText(column.type)) return {quoteText(plain), ""};
  if (!isNumeric(column.type)) return skip("a number for a column of another type");
  if (isWhole(column.type) && plain.find_first_of(".eE") != std::string::npos)
    return skip("a fraction for a whole-number column");
  return {plain, ""};
}

}  // namespace

TranslatedDefault translateDefault(const jet::Column& column, Dialect dialect) {
  std::string expression = trimmed(column.defaultValue);
  if (!expression.empty() && expression.front() == '=') expression = trimmed(expression.substr(1));
  if (expression.empty()) return {};
  const std::string word = lower(expression);
  const bool postgres = dialect == Dialect::Postgres;

  if (word == "null") return {};
  static const std::regex numberLiteral(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
  if (std::regex_match(expression, numberLiteral)) return number(column, expression, dialect);

  const bool yes = word == "true" || word == "yes" || word == "on";
  const bool no = word == "false" || word == "no" || word == "off";
  if (yes || no) {
    if (column.type == ColumnType::Boolean) return {postgres ? (yes ? "true" : "false") : (yes ? "1" : "0"), ""};
    if (isNumeric(column.type)) return {yes ? "-1" : "0", ""};  // Access's numbers for its yes and no
    return skip("a yes/no constant for a column of another type");
  }

  std::string text;
  if (unquote(expression, text)) {
    if (isText(column.type)) return {quoteText(text), ""};
    if (isNumeric(column.type) && std::regex_match(text, numberLiteral)) return number(column, text, dialect);
    return skip("a text for a column of another type");
  }

  if (word == "now()" || word == "date()") {
    if (column.type != ColumnType::DateTime) return skip("a date for a column of another type");
    const bool now = word == "now()";
    if (postgres) return {now ? "CURRENT_TIMESTAMP" : "CURRENT_DATE", ""};
    // SQLite's CURRENT_TIMESTAMP is in UTC; Access means local time, and the
    // copied dates read yyyy-MM-dd HH:mm:ss.
    return {now ? "(datetime('now','localtime'))" : "(datetime('now','localtime','start of day'))", ""};
  }
  if (word == "genguid()") {
    if (column.type != ColumnType::Guid) return skip("a GUID for a column of another type");
    if (postgres) return {"gen_random_uuid()", ""};
    return skip("SQLite has no function that makes a GUID");
  }
  return skip("not a constant, Now(), Date() or GenGUID()");
}

}  // namespace tabrix::cli
