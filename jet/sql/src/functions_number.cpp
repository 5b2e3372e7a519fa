// Arithmetic Access does differently from SQLite, rounding, and the
// conversion functions.

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dates.h"
#include "functions.h"

namespace jet::sql {
namespace {

using namespace function;

constexpr double kInt64Limit = 9223372036854775807.0;

void overflow(sqlite3_context* ctx, const char* what) {
  fail(ctx, ErrorKind::Evaluation, std::string("Overflow: the value is too large for ") + what);
}

double powerOfTen(int n) {
  double p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

// x * 10^digits rounded half to even, as the value is stored: Access
// rounds the binary number, so 2.675 (just below it in binary) rounds down.
double roundedUnits(double x, int digits) { return std::nearbyint(x * powerOfTen(digits)); }

void divide(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double a, b;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[0], a) || !number(ctx, argv[1], b)) return;
  if (b == 0) return fail(ctx, ErrorKind::Evaluation, "Division by zero");
  sqlite3_result_double(ctx, a / b);
}

// \ and Mod round both operands to whole numbers first.
bool wholeOperands(sqlite3_context* ctx, sqlite3_value** argv, long long& a, long long& b) {
  double x, y;
  if (!number(ctx, argv[0], x) || !number(ctx, argv[1], y)) return false;
  x = roundHalfEven(x);
  y = roundHalfEven(y);
  if (std::fabs(x) >= kInt64Limit || std::fabs(y) >= kInt64Limit) {
    overflow(ctx, "a whole number");
    return false;
  }
  a = static_cast<long long>(x);
  b = static_cast<long long>(y);
  if (b == 0) {
    fail(ctx, ErrorKind::Evaluation, "Division by zero");
    return false;
  }
  return true;
}

void intDivide(sqlite3_context* ctx, int, sqlite3_value** argv) {
  long long a, b;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!wholeOperands(ctx, argv, a, b)) return;
  if (b == -1) return sqlite3_result_int64(ctx, -a);
  sqlite3_result_int64(ctx, a / b);
}

void modulo(sqlite3_context* ctx, int, sqlite3_value** argv) {
  long long a, b;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!wholeOperands(ctx, argv, a, b)) return;
  if (b == -1) return sqlite3_result_int64(ctx, 0);
  sqlite3_result_int64(ctx, a % b);
}

void power(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double a, b;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[0], a) || !number(ctx, argv[1], b)) return;
  const double r = std::pow(a, b);
  if (std::isnan(r)) return fail(ctx, ErrorKind::Evaluation, "Invalid argument: a negative number to a fractional power");
  if (std::isinf(r)) return overflow(ctx, "a number");
  sqlite3_result_double(ctx, r);
}

void number(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
  double n;
  if (!function::number(ctx, argv[0], n)) return;
  sqlite3_result_double(ctx, n);
}

// A number rounded half to even into a range of whole numbers.
void whole(sqlite3_context* ctx, sqlite3_value* v, double low, double high, const char* type) {
  if (null(v)) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(v) == SQLITE_INTEGER) {
    const sqlite3_int64 n = sqlite3_value_int64(v);
    if (static_cast<double>(n) < low || static_cast<double>(n) > high) return overflow(ctx, type);
    return sqlite3_result_int64(ctx, n);
  }
  double n;
  if (!function::number(ctx, v, n)) return;
  n = roundHalfEven(n);
  if (!(n >= low && n <= high)) return overflow(ctx, type);
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(n));
}

void integer(sqlite3_context* ctx, int, sqlite3_value** argv) { whole(ctx, argv[0], -kInt64Limit, kInt64Limit, "a whole number"); }
void cint(sqlite3_context* ctx, int, sqlite3_value** argv) { whole(ctx, argv[0], -32768, 32767, "Integer"); }
void clng(sqlite3_context* ctx, int, sqlite3_value** argv) { whole(ctx, argv[0], -2147483648.0, 2147483647.0, "Long"); }
void cbyte(sqlite3_context* ctx, int, sqlite3_value** argv) { whole(ctx, argv[0], 0, 255, "Byte"); }

void cdbl(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], n)) return;
  sqlite3_result_double(ctx, n);
}

void csng(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], n)) return;
  if (std::fabs(n) > FLT_MAX) return overflow(ctx, "Single");
  sqlite3_result_double(ctx, static_cast<double>(static_cast<float>(n)));
}

void cbool(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    const std::string_view s = text(argv[0]);
    if (s.size() == 4 && (s == "True" || s == "TRUE" || s == "true")) return sqlite3_result_int(ctx, -1);
    if (s.size() == 5 && (s == "False" || s == "FALSE" || s == "false")) return sqlite3_result_int(ctx, 0);
  }
  double n;
  if (!function::number(ctx, argv[0], n)) return;
  sqlite3_result_int(ctx, n != 0 ? -1 : 0);
}

// x * 10^scale as a whole number, half to even: Currency and decimals.
void scaled(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  const int scale = sqlite3_value_int(argv[1]);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER && scale == 0) return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
  if (!function::number(ctx, argv[0], n)) return;
  const double r = roundedUnits(n, scale);
  if (!(std::fabs(r) < kInt64Limit)) return overflow(ctx, scale == 4 ? "Currency" : "a decimal");
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(r));
}

// A scaled whole number moved from one scale to another, half to even.
sqlite3_int64 rescale(double value, int from, int to, bool& ok) {
  ok = true;
  double r = value;
  if (to >= from) {
    r = value * powerOfTen(to - from);
  } else {
    r = roundHalfEven(value / powerOfTen(from - to));
  }
  if (!(std::fabs(r) < kInt64Limit)) ok = false;
  return static_cast<sqlite3_int64>(r);
}

void rescaleFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  const int from = sqlite3_value_int(argv[1]), to = sqlite3_value_int(argv[2]);
  if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
    const sqlite3_int64 v = sqlite3_value_int64(argv[0]);
    if (to < from) {
      const sqlite3_int64 unit = static_cast<sqlite3_int64>(powerOfTen(from - to));
      sqlite3_int64 q = v / unit, r = v % unit;
      const sqlite3_int64 twice = 2 * (r < 0 ? -r : r);
      if (twice > unit || (twice == unit && (q % 2 != 0))) q += v < 0 ? -1 : 1;
      return sqlite3_result_int64(ctx, q);
    }
  }
  bool ok;
  const sqlite3_int64 r = rescale(sqlite3_value_double(argv[0]), from, to, ok);
  if (!ok) return overflow(ctx, "Currency");
  sqlite3_result_int64(ctx, r);
}

// Round, Int and Fix of a scaled number, in its scaled units.
void roundScaled(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0]) || null(argv[2])) return sqlite3_result_null(ctx);
  const sqlite3_int64 v = sqlite3_value_int64(argv[0]);
  const int scale = sqlite3_value_int(argv[1]);
  const double digitsIn = sqlite3_value_double(argv[2]);
  const std::string_view how = text(argv[3]);
  const int digits = static_cast<int>(roundHalfEven(digitsIn));
  if (digits < 0) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for Round(): a negative number of decimals");
  if (digits >= scale) return sqlite3_result_int64(ctx, v);
  const sqlite3_int64 unit = static_cast<sqlite3_int64>(powerOfTen(scale - digits));
  sqlite3_int64 q = v / unit;
  const sqlite3_int64 r = v % unit;
  if (how == "floor") {
    if (r < 0) --q;
  } else if (how == "even") {
    const sqlite3_int64 twice = 2 * (r < 0 ? -r : r);
    if (twice > unit || (twice == unit && q % 2 != 0)) q += v < 0 ? -1 : 1;
  }
  sqlite3_result_int64(ctx, q * unit);
}

void round(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double x, digits;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], x) || !function::number(ctx, argv[1], digits)) return;
  const int d = static_cast<int>(roundHalfEven(digits));
  if (d < 0 || d > 15) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for Round(): decimals must be 0 to 15");
  sqlite3_result_double(ctx, roundedUnits(x, d) / powerOfTen(d));
}

void floorFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double x;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], x)) return;
  sqlite3_result_double(ctx, std::floor(x));
}

void fix(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double x;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], x)) return;
  sqlite3_result_double(ctx, std::trunc(x));
}

void sgn(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double x;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], x)) return;
  sqlite3_result_int(ctx, x > 0 ? 1 : x < 0 ? -1 : 0);
}

// One-argument functions of a number, with the arguments they refuse.
template <double (*F)(double), bool (*Valid)(double)>
void math(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double x;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], x)) return;
  if (!Valid(x)) return fail(ctx, ErrorKind::Evaluation, "Invalid argument: " + numberText(x, 15));
  const double r = F(x);
  if (std::isinf(r)) return overflow(ctx, "a number");
  sqlite3_result_double(ctx, r);
}

bool any(double) { return true; }
bool notNegative(double x) { return x >= 0; }
bool positive(double x) { return x > 0; }
double squareRoot(double x) { return std::sqrt(x); }
double exponential(double x) { return std::exp(x); }
double logarithm(double x) { return std::log(x); }
double sine(double x) { return std::sin(x); }
double cosine(double x) { return std::cos(x); }
double tangent(double x) { return std::tan(x); }
double arcTangent(double x) { return std::atan(x); }

// Val: the number at the start of a text, blanks anywhere skipped.
void val(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  std::string compact;
  for (char c : text(argv[0]))
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') compact += c;
  std::size_t i = 0;
  if (compact.size() > 2 && compact[0] == '&' && (compact[1] == 'H' || compact[1] == 'h' || compact[1] == 'O' || compact[1] == 'o')) {
    const int base = (compact[1] == 'H' || compact[1] == 'h') ? 16 : 8;
    return sqlite3_result_double(ctx, static_cast<double>(std::strtoll(compact.c_str() + 2, nullptr, base)));
  }
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) ++i;
  while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
  if (i < compact.size() && compact[i] == '.') {
    ++i;
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
  }
  if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
    std::size_t j = i + 1;
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) ++j;
    if (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) {
      compact[i] = 'e';
      i = j;
      while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) ++i;
    }
  }
  const double n = std::strtod(compact.substr(0, i).c_str(), nullptr);
  sqlite3_result_double(ctx, std::isfinite(n) ? n : 0);
}

// Str: a blank in front of a number that isn't negative.
void str(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!function::number(ctx, argv[0], n)) return;
  result(ctx, (n >= 0 ? " " : "") + numberText(n, 15));
}

void isNumeric(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  const bool yes = type == SQLITE_INTEGER || type == SQLITE_FLOAT || (type == SQLITE_TEXT && parseNumber(text(argv[0])));
  sqlite3_result_int(ctx, yes ? -1 : 0);
}

void isDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const bool yes = sqlite3_value_type(argv[0]) == SQLITE_TEXT && parseDate(text(argv[0]), DateOrder::DayFirst);
  sqlite3_result_int(ctx, yes ? -1 : 0);
}

void tooManyRows(sqlite3_context* ctx, int, sqlite3_value**) {
  fail(ctx, ErrorKind::Evaluation, "A subquery used as a value gave more than one row");
}

}  // namespace

void registerNumberFunctions(sqlite3* db, Context& context) {
  static const function::Entry kEntries[] = {
    {"jet_divide", 2, divide},
    {"jet_intdivide", 2, intDivide},
    {"jet_mod", 2, modulo},
    {"jet_power", 2, power},
    {"jet_number", 1, number},
    {"jet_integer", 1, integer},
    {"jet_cint", 1, cint},
    {"jet_clng", 1, clng},
    {"jet_cbyte", 1, cbyte},
    {"jet_cdbl", 1, cdbl},
    {"jet_csng", 1, csng},
    {"jet_cbool", 1, cbool},
    {"jet_scaled", 2, scaled},
    {"jet_rescale", 3, rescaleFunction},
    {"jet_round_scaled", 4, roundScaled},
    {"jet_round", 2, round},
    {"jet_int", 1, floorFunction},
    {"jet_fix", 1, fix},
    {"jet_sgn", 1, sgn},
    {"jet_sqr", 1, math<squareRoot, notNegative>},
    {"jet_exp", 1, math<exponential, any>},
    {"jet_log", 1, math<logarithm, positive>},
    {"jet_sin", 1, math<sine, any>},
    {"jet_cos", 1, math<cosine, any>},
    {"jet_tan", 1, math<tangent, any>},
    {"jet_atn", 1, math<arcTangent, any>},
    {"jet_val", 1, val},
    {"jet_str", 1, str},
    {"jet_isnumeric", 1, isNumeric},
    {"jet_isdate", 1, isDate},
    {"jet_too_many_rows", 0, tooManyRows, false},
  };
  function::add(db, context, kEntries);
}

}  // namespace jet::sql
