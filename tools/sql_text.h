#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace tabrix::cli {

// The SQL a target speaks.
enum class Dialect { Postgres, Sqlite };

// "Order Details": a name quoted as both dialects read it, quotes doubled,
// so case, blanks and any letter survive.
std::string quoteName(std::string_view name);

// 'it''s': a string literal.
std::string quoteText(std::string_view text);

// Hands out the names of one namespace of the target, each different from
// the others without regard to (ASCII) case, as SQLite compares names, and
// no longer than the target allows: PostgreSQL cuts names at 63 bytes, so a
// longer one is shortened at a character boundary, and a clash gets a
// number ("Name_2").
class NameScope {
 public:
  explicit NameScope(std::size_t maxBytes = std::string::npos) : maxBytes_(maxBytes) {}
  std::string claim(std::string_view wanted);

 private:
  std::string fit(std::string_view name, std::size_t room) const;
  std::size_t maxBytes_;
  std::set<std::string> taken_;  // folded to lower case
};

// The longest name a dialect keeps.
std::size_t maxNameBytes(Dialect dialect);

}  // namespace tabrix::cli
