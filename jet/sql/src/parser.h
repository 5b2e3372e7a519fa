#pragma once

#include <string_view>

#include "ast.h"

namespace jet::sql {

// Reads one Access SQL statement (an optional ";" at its end). Throws Error:
// Syntax with the clause, line and column at fault; Unsupported for a
// crosstab (TRANSFORM … PIVOT).
ast::Statement parse(std::string_view sql);

// A type name of PARAMETERS and CREATE TABLE ("Text", "Long", "DateTime",
// "Currency", …) with its size or precision; false for an unknown name.
bool typeFromName(std::string_view name, int size, int scale, ValueType& type, bool& autoNumber);

}  // namespace jet::sql
