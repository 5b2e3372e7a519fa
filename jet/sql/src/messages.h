#pragma once

#include <string>
#include <string_view>

#include "token.h"

// The texts of the errors a user sees, in one place so they read alike.
namespace jet::sql {

// "Syntax error in the FROM clause at line 1, column 15: <what>".
std::string syntaxMessage(std::string_view clause, const Position& at, std::string_view what);

// " (line 1, column 15)".
std::string at(const Position& position);

// A name in double quotes.
std::string quote(std::string_view name);

}  // namespace jet::sql
