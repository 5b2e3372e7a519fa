#pragma once

#include <string>

#include "jet/schema.h"
#include "sql_text.h"

namespace tabrix::cli {

// What becomes of a column's stored default in the target.
struct TranslatedDefault {
  std::string sql;      // the DEFAULT expression; empty when there is none
  std::string skipped;  // why a stored default has no equivalent here; empty otherwise
};

// Translates the Access expression of a column's DefaultValue: numbers,
// strings, True/False (Yes/No, On/Off), Now() and Date() (the current
// timestamp and date, local time as Access has them), and GenGUID() where
// the target can make one. Each is checked against the column's type; any
// other expression is skipped with the reason. Null is no default.
TranslatedDefault translateDefault(const jet::Column& column, Dialect dialect);

}  // namespace tabrix::cli
