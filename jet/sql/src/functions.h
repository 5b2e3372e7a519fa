#pragma once

#include <sqlite3.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "context.h"
#include "jet/sql/error.h"

// The jet_ functions the translator calls: Access's functions, operators
// and conversions as SQLite functions. Each file registers its own.
namespace jet::sql {

void registerFunctions(sqlite3* db, Context& context);

void registerTextFunctions(sqlite3* db, Context& context);
void registerNumberFunctions(sqlite3* db, Context& context);
void registerDateFunctions(sqlite3* db, Context& context);
void registerAggregates(sqlite3* db, Context& context);
void registerFormatFunction(sqlite3* db, Context& context);

namespace function {

using Body = void (*)(sqlite3_context*, int, sqlite3_value**);

// A function to register: its name, its number of arguments, its body.
// Deterministic unless said: the same within one run of a statement, so
// SQLite computes it once where its arguments are constant.
struct Entry {
  const char* name;
  int arguments;
  Body body;
  bool deterministic = true;
};

void add(sqlite3* db, Context& context, std::span<const Entry> entries);

Context& context(sqlite3_context* ctx);

// Ends the call with an error the statement throws as it is.
void fail(sqlite3_context* ctx, ErrorKind kind, const std::string& text);

bool null(sqlite3_value* v);
std::string_view text(sqlite3_value* v);  // the value as UTF-8 text
void result(sqlite3_context* ctx, std::string_view text);

// A number as Access reads one from text: blanks around it, a sign, digits
// with "." as the decimal point, an exponent; nothing else.
std::optional<double> parseNumber(std::string_view text);
// The value as a number; fails the call (Data type mismatch) for text that
// is none. False when it failed.
bool number(sqlite3_context* ctx, sqlite3_value* v, double& out);
// Whole numbers round half to even, as Access's conversions do.
double roundHalfEven(double value);

// Numbers as text: at most `digits` significant digits, no trailing
// zeros, the E form below 0.00001 and from 10^15 up.
std::string numberText(double value, int digits);
// A scaled integer (ten-thousandths for Currency) as exact text.
std::string scaledText(sqlite3_int64 value, int scale);

}  // namespace function
}  // namespace jet::sql
