#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/schema.h"
#include "translation.h"
#include "value_type.h"

namespace jet::sql {

// An expression translated to SQLite: its text, the Access type of its
// value and what the translator must remember about it.
struct Term {
  std::string sql;
  ValueType type;
  // `sql` is SQLite's truth value (1, 0 or Null) of a comparison or a
  // logical operator, not yet Access's -1/0.
  bool condition = false;
  bool aggregate = false;
  // A number or text written in the statement: its digits or text, so it
  // converts exactly ("20.5" becomes 205000 ten-thousandths).
  bool literal = false;
  std::string literalText;
  // A column read as stored: where it comes from and what it is called.
  Origin origin;
  std::string columnName;
  std::string sourceName;
  const Column* definition = nullptr;
  // Columns of the query's own tables used outside an aggregate, by their
  // SQLite text: a grouped query may use only those it groups by.
  std::vector<std::string> freeColumns;
};

std::string sqlText(std::string_view text);   // 'text' with quotes doubled
std::string sqlName(std::string_view name);   // "name" with quotes doubled
std::string sqlReal(double value);            // a literal SQLite reads as REAL

// The term's value in the storage of `target` (see Storage).
std::string convert(const Term& term, const ValueType& target);
// Access's value: -1/0 for a truth value.
std::string valueOf(const Term& term);
// SQLite's truth value: nonzero numbers are true.
std::string conditionOf(const Term& term);
// The text for comparing and ordering: text compares as Access does.
std::string collated(const std::string& sql, const ValueType& type);

// A number written in the statement as an integer of 10^-scale units,
// when it fits.
std::optional<std::int64_t> scaledLiteral(std::string_view digits, int scale);

}  // namespace jet::sql
