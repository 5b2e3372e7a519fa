// Function calls: Access's functions and aggregates, each mapped to SQLite
// SQL or to a jet_ function of functions.cpp with its arguments converted.

#include <algorithm>
#include <cstring>

#include "jet/sql/error.h"
#include "messages.h"
#include "text_order.h"
#include "translator.h"

namespace jet::sql {

using namespace ast;

namespace {

// A function whose arguments convert to fixed types: one letter each,
// lower case when it may be left out. S text, N number, D date, V any
// value (numbers unscaled).
struct Simple {
  const char* name;
  const char* sqlite;
  const char* arguments;
  Kind result;
};

constexpr Simple kSimple[] = {
    {"len", "jet_len", "S", Kind::Long},
    {"left", "jet_left", "SN", Kind::Text},
    {"right", "jet_right", "SN", Kind::Text},
    {"mid", "jet_mid", "SNn", Kind::Text},
    {"ucase", "jet_upper", "S", Kind::Text},
    {"lcase", "jet_lower", "S", Kind::Text},
    {"trim", "jet_trim", "S", Kind::Text},
    {"ltrim", "jet_ltrim", "S", Kind::Text},
    {"rtrim", "jet_rtrim", "S", Kind::Text},
    {"replace", "jet_replace", "SSSnnn", Kind::Text},
    {"space", "jet_space", "N", Kind::Text},
    {"string", "jet_string", "NV", Kind::Text},
    {"chr", "jet_chr", "N", Kind::Text},
    {"chrw", "jet_chr", "N", Kind::Text},
    {"asc", "jet_asc", "S", Kind::Integer},
    {"ascw", "jet_asc", "S", Kind::Integer},
    {"strcomp", "jet_strcomp", "SSn", Kind::Integer},
    {"strreverse", "jet_strreverse", "S", Kind::Text},
    {"strconv", "jet_strconv", "SN", Kind::Text},
    {"year", "jet_year", "D", Kind::Integer},
    {"month", "jet_month", "D", Kind::Integer},
    {"day", "jet_day", "D", Kind::Integer},
    {"hour", "jet_hour", "D", Kind::Integer},
    {"minute", "jet_minute", "D", Kind::Integer},
    {"second", "jet_second", "D", Kind::Integer},
    {"weekday", "jet_weekday", "Dn", Kind::Integer},
    {"datepart", "jet_datepart", "SDnn", Kind::Integer},
    {"dateadd", "jet_dateadd", "SND", Kind::DateTime},
    {"datediff", "jet_datediff", "SDDnn", Kind::Long},
    {"dateserial", "jet_dateserial", "NNN", Kind::DateTime},
    {"timeserial", "jet_timeserial", "NNN", Kind::DateTime},
    {"datevalue", "jet_datevalue", "V", Kind::DateTime},
    {"timevalue", "jet_timevalue", "V", Kind::DateTime},
    {"now", "jet_now", "", Kind::DateTime},
    {"date", "jet_today", "", Kind::DateTime},
    {"time", "jet_time", "", Kind::DateTime},
    {"monthname", "jet_monthname", "Nn", Kind::Text},
    {"weekdayname", "jet_weekdayname", "Nnn", Kind::Text},
    {"cint", "jet_cint", "V", Kind::Integer},
    {"clng", "jet_clng", "V", Kind::Long},
    {"cbyte", "jet_cbyte", "V", Kind::Byte},
    {"cdbl", "jet_cdbl", "V", Kind::Double},
    {"csng", "jet_csng", "V", Kind::Single},
    {"cbool", "jet_cbool", "V", Kind::Boolean},
    {"cdate", "jet_cdate", "V", Kind::DateTime},
    {"cvdate", "jet_cdate", "V", Kind::DateTime},
    {"val", "jet_val", "S", Kind::Double},
    {"str", "jet_str", "N", Kind::Text},
    {"sgn", "jet_sgn", "N", Kind::Integer},
    {"sqr", "jet_sqr", "N", Kind::Double},
    {"exp", "jet_exp", "N", Kind::Double},
    {"log", "jet_log", "N", Kind::Double},
    {"sin", "jet_sin", "N", Kind::Double},
    {"cos", "jet_cos", "N", Kind::Double},
    {"tan", "jet_tan", "N", Kind::Double},
    {"atn", "jet_atn", "N", Kind::Double},
    {"isnumeric", "jet_isnumeric", "V", Kind::Boolean},
    {"isdate", "jet_isdate", "V", Kind::Boolean},
};

const char* const kAggregates[] = {"count", "sum", "avg", "min", "max", "first", "last", "stdev", "stdevp", "var", "varp"};

std::string argument(const Term& t, char code) {
  switch (code) {
    case 'S':
    case 's': return convert(t, {Kind::Text, 255});
    case 'N':
    case 'n': return convert(t, {Kind::Double});
    case 'D':
    case 'd': return convert(t, {Kind::DateTime});
    default: return convert(t, {Kind::Variant});
  }
}

// The type IIf, Nz and Switch give when their branches differ.
ValueType either(const ValueType& a, const ValueType& b) {
  if (a.kind == Kind::Null) return b;
  if (b.kind == Kind::Null || a == b) return a;
  if (a.kind == b.kind) return {a.kind, std::max(a.size, b.size), std::max(a.precision, b.precision), std::max(a.scale, b.scale)};
  if (isText(a.kind) && isText(b.kind)) return {Kind::Memo};
  if (isNumeric(a.kind) && isNumeric(b.kind)) {
    const auto whole = [](Kind k) { return k == Kind::Boolean || k == Kind::Byte || k == Kind::Integer || k == Kind::Long; };
    if (whole(a.kind) && whole(b.kind)) return {Kind::Long};
    if ((a.kind == Kind::Currency || whole(a.kind)) && (b.kind == Kind::Currency || whole(b.kind))) return {Kind::Currency};
    return {Kind::Double};
  }
  if ((a.kind == Kind::DateTime && isNumeric(b.kind)) || (b.kind == Kind::DateTime && isNumeric(a.kind)))
    return {Kind::DateTime};
  return {Kind::Variant};
}

char formatKind(const ValueType& t) {
  if (t.kind == Kind::DateTime) return 'd';
  if (t.kind == Kind::Boolean) return 'b';
  if (isNumeric(t.kind)) return 'n';
  return 's';
}

}  // namespace

Term Translator::call(const Expr& expr, Scope& scope) {
  std::string function = foldText(expr.name);
  if (!function.empty() && function.back() == '$') function.pop_back();  // Left$ is Left
  if (std::any_of(std::begin(kAggregates), std::end(kAggregates), [&](const char* a) { return function == a; }))
    return aggregate(function, expr, scope);
  if (expr.star)
    throw Error(ErrorKind::Syntax, "Syntax error: only Count() takes \"*\"" + at(expr.position));

  std::vector<Term> args;
  for (const ExprPtr& a : expr.operands) args.push_back(expression(*a, scope));
  Term t;
  for (const Term& a : args) {
    t.aggregate = t.aggregate || a.aggregate;
    t.freeColumns.insert(t.freeColumns.end(), a.freeColumns.begin(), a.freeColumns.end());
  }
  const auto count = [&](std::size_t low, std::size_t high, const char* shown) {
    if (args.size() < low || args.size() > high)
      throw Error(ErrorKind::InvalidQuery, "Wrong number of arguments for " + expr.name + "(): it takes " + shown +
                                               at(expr.position));
  };

  for (const Simple& s : kSimple) {
    if (function != s.name) continue;
    const std::size_t required = std::count_if(s.arguments, s.arguments + std::strlen(s.arguments),
                                               [](char c) { return c >= 'A' && c <= 'Z'; });
    const std::size_t all = std::strlen(s.arguments);
    const std::string shown = required == all ? std::to_string(all) : std::to_string(required) + " to " + std::to_string(all);
    count(required, all, shown.c_str());
    t.sql = std::string(s.sqlite) + "(";
    for (std::size_t i = 0; i < args.size(); ++i) t.sql += (i ? ", " : "") + argument(args[i], s.arguments[i]);
    t.sql += ")";
    t.type = {s.result};
    if (s.result == Kind::Text) t.type.size = 255;
    return t;
  }

  if (function == "iif") {
    count(3, 3, "3");
    t.type = either(args[1].type, args[2].type);
    t.sql = "(CASE WHEN " + conditionOf(args[0]) + " THEN " + convert(args[1], t.type) + " ELSE " +
            convert(args[2], t.type) + " END)";
    return t;
  }
  if (function == "nz") {
    count(1, 2, "1 or 2");
    if (args.size() == 2) {
      t.type = either(args[0].type, args[1].type);
      t.sql = "coalesce(" + convert(args[0], t.type) + ", " + convert(args[1], t.type) + ")";
    } else if (isNumeric(args[0].type.kind) || args[0].type.kind == Kind::DateTime) {
      t.type = args[0].type;
      t.sql = "coalesce(" + valueOf(args[0]) + ", 0)";
    } else {
      t.type = {Kind::Text, 255};
      t.sql = "coalesce(" + convert(args[0], t.type) + ", '')";
    }
    return t;
  }
  if (function == "isnull") {
    count(1, 1, "1");
    t.sql = "(" + valueOf(args[0]) + " IS NULL)";
    t.type = {Kind::Boolean};
    t.condition = true;
    return t;
  }
  if (function == "switch") {
    if (args.empty() || args.size() % 2 != 0)
      throw Error(ErrorKind::InvalidQuery,
                  "Switch() takes pairs of a condition and a value" + at(expr.position));
    t.type = {Kind::Null};
    for (std::size_t i = 1; i < args.size(); i += 2) t.type = either(t.type, args[i].type);
    t.sql = "(CASE";
    for (std::size_t i = 0; i < args.size(); i += 2)
      t.sql += " WHEN " + conditionOf(args[i]) + " THEN " + convert(args[i + 1], t.type);
    t.sql += " END)";
    return t;
  }
  if (function == "choose") {
    if (args.size() < 2) count(2, 255, "an index and at least one value");
    t.type = {Kind::Null};
    for (std::size_t i = 1; i < args.size(); ++i) t.type = either(t.type, args[i].type);
    t.sql = "(CASE " + convert(args[0], {Kind::Long});
    for (std::size_t i = 1; i < args.size(); ++i)
      t.sql += " WHEN " + std::to_string(i) + " THEN " + convert(args[i], t.type);
    t.sql += " END)";
    return t;
  }
  if (function == "cstr") {
    count(1, 1, "1");
    t.type = {Kind::Text, 255};
    if (args[0].type.kind == Kind::Boolean) {
      const std::string v = valueOf(args[0]);
      t.sql = "(CASE WHEN " + v + " IS NULL THEN NULL WHEN " + v + " <> 0 THEN 'True' ELSE 'False' END)";
    } else {
      t.sql = convert(args[0], t.type);
    }
    return t;
  }
  if (function == "ccur") {
    count(1, 1, "1");
    t.type = {Kind::Currency};
    t.sql = convert(args[0], t.type);
    return t;
  }
  if (function == "cvar") {
    count(1, 1, "1");
    t.type = args[0].type;
    t.sql = valueOf(args[0]);
    return t;
  }
  if (function == "instr") {
    count(2, 4, "2 to 4");
    const bool start = args.size() >= 3;
    t.sql = "jet_instr(" + (start ? argument(args[0], 'N') : std::string("1")) + ", " +
            argument(args[start ? 1 : 0], 'S') + ", " + argument(args[start ? 2 : 1], 'S') + ", " +
            (args.size() == 4 ? argument(args[3], 'N') : std::string("1")) + ")";
    t.type = {Kind::Long};
    return t;
  }
  if (function == "instrrev") {
    count(2, 4, "2 to 4");
    t.sql = "jet_instrrev(" + argument(args[0], 'S') + ", " + argument(args[1], 'S') + ", " +
            (args.size() >= 3 ? argument(args[2], 'N') : std::string("-1")) + ", " +
            (args.size() == 4 ? argument(args[3], 'N') : std::string("1")) + ")";
    t.type = {Kind::Long};
    return t;
  }
  if (function == "format") {
    count(1, 2, "1 or 2");
    t.sql = "jet_format(" + argument(args[0], 'V') + ", " + (args.size() == 2 ? argument(args[1], 'S') : "''") + ", '" +
            formatKind(args[0].type) + "')";
    t.type = {Kind::Text, 255};
    return t;
  }
  if (function == "abs") {
    count(1, 1, "1");
    const Kind k = args[0].type.kind;
    t.type = isNumeric(k) ? args[0].type : ValueType{Kind::Double};
    if (k == Kind::Boolean || k == Kind::Byte || k == Kind::Integer) t.type = {Kind::Long};
    t.sql = "abs(" + (isNumeric(k) ? valueOf(args[0]) : argument(args[0], 'N')) + ")";
    return t;
  }
  if (function == "int" || function == "fix" || function == "round") {
    if (function == "round")
      count(1, 2, "1 or 2");
    else
      count(1, 1, "1");
    const ValueType type = args[0].type;
    const bool whole = type.kind == Kind::Boolean || type.kind == Kind::Byte || type.kind == Kind::Integer ||
                       type.kind == Kind::Long;
    if (whole) {
      t.type = {Kind::Long};
      t.sql = valueOf(args[0]);
      return t;
    }
    if (storageOf(type) == Storage::Scaled) {
      // Rounded in scaled units, exactly.
      const int scale = storedScale(type);
      const std::string digits = function == "round" ? (args.size() == 2 ? argument(args[1], 'N') : "0") : "0";
      const std::string how = function == "int" ? "'floor'" : function == "fix" ? "'truncate'" : "'even'";
      t.type = type;
      t.sql = "jet_round_scaled(" + args[0].sql + ", " + std::to_string(scale) + ", " + digits + ", " + how + ")";
      return t;
    }
    t.type = {Kind::Double};
    if (function == "round")
      t.sql = "jet_round(" + argument(args[0], 'N') + ", " + (args.size() == 2 ? argument(args[1], 'N') : "0") + ")";
    else
      t.sql = std::string(function == "int" ? "jet_int(" : "jet_fix(") + argument(args[0], 'N') + ")";
    return t;
  }
  throw Error(ErrorKind::InvalidQuery, "Unknown function " + quote(expr.name) + at(expr.position));
}

Term Translator::aggregate(const std::string& function, const Expr& expr, Scope& scope) {
  if (scope.insideAggregate)
    throw Error(ErrorKind::InvalidQuery,
                "An aggregate function can't hold another (" + expr.name + ")" + at(expr.position));
  Term t;
  t.aggregate = true;
  if (expr.star) {
    if (function != "count")
      throw Error(ErrorKind::Syntax, "Syntax error: only Count() takes \"*\"" + at(expr.position));
    t.sql = "count(*)";
    t.type = {Kind::Long};
    return t;
  }
  if (expr.operands.size() != 1)
    throw Error(ErrorKind::InvalidQuery,
                "Wrong number of arguments for " + expr.name + "(): it takes 1" + at(expr.position));
  scope.insideAggregate = true;
  Term value;
  try {
    value = expression(*expr.operands[0], scope);
  } catch (...) {
    scope.insideAggregate = false;
    throw;
  }
  scope.insideAggregate = false;
  if (value.aggregate)
    throw Error(ErrorKind::InvalidQuery,
                "An aggregate function can't hold another (" + expr.name + ")" + at(expr.position));
  const Kind k = value.type.kind;
  const std::string v = valueOf(value);
  const ValueType real{Kind::Double};
  if (function == "count") {
    t.sql = "count(" + v + ")";
    t.type = {Kind::Long};
  } else if (function == "sum" || function == "avg") {
    if (isBinary(k) || k == Kind::Guid)
      throw Error(ErrorKind::TypeMismatch, std::string("Data type mismatch: ") + expr.name + "() can't add " +
                                               typeName(k) + " values" + at(expr.position));
    if (storageOf(value.type) == Storage::Scaled && function == "sum") {
      // Exact, in scaled units.
      t.type = value.type;
      t.sql = "sum(" + v + ")";
    } else {
      t.type = real;
      t.sql = function + "(" + convert(value, real) + ")";
    }
  } else if (function == "min" || function == "max" || function == "first" || function == "last") {
    t.type = value.type;
    t.sql = function == "min" || function == "max" ? function + "(" + collated(v, value.type) + ")"
                                                   : "jet_" + function + "(" + v + ")";
    if (k == Kind::Boolean && value.condition) t.type = {Kind::Boolean};
  } else {
    if (isBinary(k) || k == Kind::Guid || isText(k))
      throw Error(ErrorKind::TypeMismatch, std::string("Data type mismatch: ") + expr.name + "() needs numbers, not " +
                                               typeName(k) + " values" + at(expr.position));
    t.type = real;
    t.sql = "jet_" + function + "(" + convert(value, real) + ")";
  }
  return t;
}

}  // namespace jet::sql
