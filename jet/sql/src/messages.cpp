#include "messages.h"

namespace jet::sql {

std::string syntaxMessage(std::string_view clause, const Position& at, std::string_view what) {
  std::string text = "Syntax error in ";
  text += clause;
  text += " at line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": ";
  text += what;
  return text;
}

std::string at(const Position& position) {
  return " (line " + std::to_string(position.line) + ", column " + std::to_string(position.column) + ")";
}

std::string quote(std::string_view name) {
  std::string text = "\"";
  text += name;
  text += '"';
  return text;
}

}  // namespace jet::sql
