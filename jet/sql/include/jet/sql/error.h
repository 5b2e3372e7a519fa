#pragma once

#include <stdexcept>
#include <string>

namespace jet::sql {

// What went wrong with a statement, so callers can react without parsing
// the text. The text names the clause, the position or the name at fault in
// words an Access user knows.
enum class ErrorKind {
  Syntax,            // the text is not a statement: which clause, where, near what
  UnknownTable,      // no table or saved query of that name
  UnknownColumn,     // a name no table of the statement has and no parameter value gives
  MissingParameter,  // a declared parameter without a value
  TypeMismatch,      // values of kinds that can't be compared or combined
  InvalidQuery,      // well formed but not a query the engine accepts (an aggregate in WHERE, …)
  Unsupported,       // crosstab and pass-through queries, other databases
  Evaluation,        // a value can't be computed: division by zero, overflow, a bad argument
  ReadOnly,          // the statement would change the database, which the engine can't do yet
};

class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace jet::sql
