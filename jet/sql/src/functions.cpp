#include "functions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace jet::sql {

void registerFunctions(sqlite3* db, Context& context) {
  registerTextFunctions(db, context);
  registerNumberFunctions(db, context);
  registerDateFunctions(db, context);
  registerAggregates(db, context);
  registerFormatFunction(db, context);
}

namespace function {

void add(sqlite3* db, Context& context, std::span<const Entry> entries) {
  for (const Entry& e : entries) {
    const int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
    sqlite3_create_function_v2(db, e.name, e.arguments, flags, &context, e.body, nullptr, nullptr, nullptr);
  }
}

Context& context(sqlite3_context* ctx) { return *static_cast<Context*>(sqlite3_user_data(ctx)); }

void fail(sqlite3_context* ctx, ErrorKind kind, const std::string& text) {
  context(ctx).keep(std::make_exception_ptr(Error(kind, text)));
  sqlite3_result_error(ctx, "jet", -1);
}

bool null(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

std::string_view text(sqlite3_value* v) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

void result(sqlite3_context* ctx, std::string_view text) {
  sqlite3_result_text(ctx, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::optional<double> parseNumber(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  if (s.empty() || s.size() > 300) return std::nullopt;
  std::size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  bool digits = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const std::size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == start) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  const std::string copy(s);
  return std::strtod(copy.c_str(), nullptr);
}

bool number(sqlite3_context* ctx, sqlite3_value* v, double& out) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: out = static_cast<double>(sqlite3_value_int64(v)); return true;
    case SQLITE_FLOAT: out = sqlite3_value_double(v); return true;
    case SQLITE_TEXT:
      if (auto n = parseNumber(text(v))) {
        out = *n;
        return true;
      }
      fail(ctx, ErrorKind::TypeMismatch, "Data type mismatch: the text \"" + std::string(text(v)) + "\" is not a number");
      return false;
    default:
      fail(ctx, ErrorKind::TypeMismatch, "Data type mismatch: binary data is not a number");
      return false;
  }
}

double roundHalfEven(double value) {
  const double r = std::round(value);
  if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
  return r;
}

std::string numberText(double value, int digits) {
  if (value == 0) return "0";
  if (!std::isfinite(value)) return value > 0 ? "Infinity" : value < 0 ? "-Infinity" : "NaN";
  char buffer[64];
  const double magnitude = std::fabs(value);
  if (magnitude < 0.00001 || magnitude >= 1e15) {
    std::snprintf(buffer, sizeof buffer, "%.*E", digits - 1, value);
    std::string s = buffer;
    const auto e = s.find('E');
    std::string mantissa = s.substr(0, e), exponent = s.substr(e + 1);
    if (mantissa.find('.') != std::string::npos) {
      while (mantissa.back() == '0') mantissa.pop_back();
      if (mantissa.back() == '.') mantissa.pop_back();
    }
    const char sign = exponent[0];
    std::string power = exponent.substr(1);
    while (power.size() > 2 && power.front() == '0') power.erase(power.begin());
    return mantissa + "E" + sign + power;
  }
  std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
  std::string s = buffer;
  if (s.find('e') != std::string::npos) {
    // %g chose an exponent for a number we write out in full.
    const int decimals = std::max(0, digits - 1 - static_cast<int>(std::floor(std::log10(magnitude))));
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    s = buffer;
  }
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

std::string scaledText(sqlite3_int64 value, int scale) {
  const bool negative = value < 0;
  unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  std::string digits = std::to_string(magnitude);
  if (scale > 0) {
    if (static_cast<int>(digits.size()) <= scale) digits.insert(0, static_cast<std::size_t>(scale) + 1 - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(scale), ".");
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  return negative ? "-" + digits : digits;
}

}  // namespace function
}  // namespace jet::sql
