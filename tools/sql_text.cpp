#include "sql_text.h"

namespace tabrix::cli {
namespace {

std::string quoted(std::string_view text, char quote) {
  std::string out(1, quote);
  for (char c : text) {
    if (c == quote) out += quote;
    out += c;
  }
  out += quote;
  return out;
}

std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

std::string quoteName(std::string_view name) { return quoted(name, '"'); }

std::string quoteText(std::string_view text) { return quoted(text, '\''); }

std::size_t maxNameBytes(Dialect dialect) { return dialect == Dialect::Postgres ? 63 : std::string::npos; }

std::string NameScope::fit(std::string_view name, std::size_t room) const {
  if (name.size() <= room) return std::string(name);
  std::size_t end = room;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;  // not inside a character
  return std::string(name.substr(0, end));
}

std::string NameScope::claim(std::string_view wanted) {
  std::string name = fit(wanted, maxBytes_);
  for (int n = 2; taken_.contains(folded(name)); ++n) {
    const std::string suffix = "_" + std::to_string(n);
    name = fit(wanted, maxBytes_ == std::string::npos ? maxBytes_ : maxBytes_ - suffix.size()) + suffix;
  }
  taken_.insert(folded(name));
  return name;
}

}  // namespace tabrix::cli
