#pragma once

#include <string>
#include <vector>

#include "ast.h"
#include "jet/schema.h"
#include "jet/sql/session.h"
#include "value_type.h"

namespace jet::sql {

// One column of what a query gives.
struct OutputColumn {
  std::string name;   // as Access names it: the alias, the column, "Table.Column", "Expr1000"
  ValueType type;
  Column definition;  // a table's column read as stored keeps its definition
  Origin origin;      // empty when computed, or when the query can't be written
};

struct ParameterUse {
  std::string name;
  ValueType type;
  bool declared = false;  // in PARAMETERS; otherwise a name nothing else gives
  Position position;      // in the statement's text, when `query` is empty
  std::string query;      // the saved query that needs it, if not the statement itself
};

// What one statement becomes: SQLite's text and what the caller needs to
// know of the result.
struct Translation {
  ast::Statement::Kind kind = ast::Statement::Kind::Select;
  std::string sql;                       // empty for data definition
  std::vector<OutputColumn> columns;     // a statement that gives rows
  std::vector<ParameterUse> parameters;  // those of the saved queries it uses too
};

}  // namespace jet::sql
