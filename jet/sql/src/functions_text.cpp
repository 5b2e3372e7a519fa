// Text functions, Like, concatenation, values as text, and parameters.

#include <cmath>
#include <memory>

#include "dates.h"
#include "functions.h"
#include "like.h"
#include "text_order.h"
#include "utf8.h"

namespace jet::sql {
namespace {

using namespace function;

// The byte offset of character `n` (from 0) of UTF-8 text, or its size.
std::size_t offsetOf(std::string_view s, double n) {
  std::size_t i = 0;
  for (double k = 0; k < n && i < s.size(); ++k) decodeUtf8(s, i);
  return i;
}

// A count argument: a whole number, not negative.
bool count(sqlite3_context* ctx, sqlite3_value* v, const char* function, double& out) {
  if (!number(ctx, v, out)) return false;
  out = roundHalfEven(out);
  if (out < 0 || out > 2e9) {
    fail(ctx, ErrorKind::Evaluation, std::string("Invalid argument for ") + function + "(): " + numberText(out, 15));
    return false;
  }
  return true;
}

void like(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
  if (!pattern) {
    auto compiled = std::make_unique<LikePattern>();
    if (!compiled->compile(text(argv[1])))
      return fail(ctx, ErrorKind::Evaluation, "Invalid pattern for Like: \"" + std::string(text(argv[1])) + "\" has an unclosed \"[\"");
    pattern = compiled.get();
    sqlite3_set_auxdata(ctx, 1, compiled.release(), [](void* p) { delete static_cast<LikePattern*>(p); });
    // SQLite may drop the pattern at once when it isn't constant.
    pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    if (!pattern) {
      LikePattern once;
      once.compile(text(argv[1]));
      return sqlite3_result_int(ctx, once.matches(text(argv[0])));
    }
  }
  sqlite3_result_int(ctx, pattern->matches(text(argv[0])));
}

// a & b: Null only when both are.
void concat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0]) && null(argv[1])) return sqlite3_result_null(ctx);
  std::string s(text(argv[0]));
  s += text(argv[1]);
  result(ctx, s);
}

// Every character counts, a NUL too (SQLite's length() stops at one).
void length(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(characterCount(text(argv[0]))));
}

void left(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (null(argv[1])) return fail(ctx, ErrorKind::Evaluation, "Invalid use of Null in Left()");
  if (!count(ctx, argv[1], "Left", n)) return;
  const std::string_view s = text(argv[0]);
  result(ctx, s.substr(0, offsetOf(s, n)));
}

void right(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (null(argv[1])) return fail(ctx, ErrorKind::Evaluation, "Invalid use of Null in Right()");
  if (!count(ctx, argv[1], "Right", n)) return;
  const std::string_view s = text(argv[0]);
  const double length = static_cast<double>(characterCount(s));
  result(ctx, s.substr(offsetOf(s, std::max(0.0, length - n))));
}

void mid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  double start, length = 2e9;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!count(ctx, argv[1], "Mid", start)) return;
  if (start < 1) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for Mid(): the start is below 1");
  if (argc > 2 && !null(argv[2]) && !count(ctx, argv[2], "Mid", length)) return;
  const std::string_view s = text(argv[0]);
  const std::size_t from = offsetOf(s, start - 1);
  const std::string_view rest = s.substr(from);
  result(ctx, rest.substr(0, offsetOf(rest, length)));
}

void changeCase(sqlite3_context* ctx, sqlite3_value* v, bool upper) {
  if (null(v)) return sqlite3_result_null(ctx);
  const std::string_view s = text(v);
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const char32_t c = decodeUtf8(s, i);
    appendUtf8(out, upper ? upperCase(c) : foldCase(c));
  }
  result(ctx, out);
}

void upper(sqlite3_context* ctx, int, sqlite3_value** argv) { changeCase(ctx, argv[0], true); }
void lower(sqlite3_context* ctx, int, sqlite3_value** argv) { changeCase(ctx, argv[0], false); }

void trim(sqlite3_context* ctx, sqlite3_value* v, bool front, bool back) {
  if (null(v)) return sqlite3_result_null(ctx);
  std::string_view s = text(v);
  while (front && !s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (back && !s.empty() && s.back() == ' ') s.remove_suffix(1);
  result(ctx, s);
}

void trimBoth(sqlite3_context* ctx, int, sqlite3_value** argv) { trim(ctx, argv[0], true, true); }
void trimLeft(sqlite3_context* ctx, int, sqlite3_value** argv) { trim(ctx, argv[0], true, false); }
void trimRight(sqlite3_context* ctx, int, sqlite3_value** argv) { trim(ctx, argv[0], false, true); }

// Where `what` is in `s` from byte `from` on, comparing as text or exactly.
std::size_t find(std::string_view s, std::string_view what, std::size_t from, bool asText) {
  if (!asText) return s.find(what, from);
  const std::string folded = foldText(what);
  for (std::size_t i = from; i < s.size();) {
    // Compare character by character from i.
    std::size_t a = i, b = 0;
    while (a < s.size() && b < folded.size()) {
      std::size_t before = b;
      const char32_t x = foldCase(decodeUtf8(s, a));
      const char32_t y = decodeUtf8(folded, b);
      if (x != y) {
        b = before;
        break;
      }
    }
    if (b == folded.size() && !folded.empty()) return i;
    decodeUtf8(s, i);
  }
  return std::string_view::npos;
}

// The end, in bytes, of the match of `what` found at `at`.
std::size_t matchEnd(std::string_view s, std::string_view what, std::size_t at) {
  std::size_t end = at;
  for (std::size_t k = 0, n = characterCount(what); k < n; ++k) decodeUtf8(s, end);
  return end;
}

void instr(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double start, compare;
  if (null(argv[1]) || null(argv[2])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[0], start) || !number(ctx, argv[3], compare)) return;
  start = roundHalfEven(start);
  if (start < 1) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for InStr(): the start is below 1");
  const std::string_view s = text(argv[1]), what = text(argv[2]);
  const std::size_t from = offsetOf(s, start - 1);
  if (from >= s.size() && start - 1 > static_cast<double>(characterCount(s))) return sqlite3_result_int(ctx, 0);
  if (what.empty()) return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(start));
  const std::size_t at = find(s, what, from, roundHalfEven(compare) != 0);
  if (at == std::string_view::npos) return sqlite3_result_int(ctx, 0);
  sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(characterCount(s.substr(0, at)) + 1));
}

// InStrRev: the last place of `what`, ending at or before `start` (-1: the
// end).
void instrrev(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double start, compare;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[2], start) || !number(ctx, argv[3], compare)) return;
  start = roundHalfEven(start);
  if (start == 0 || start < -1) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for InStrRev(): the start is 0");
  const std::string_view s = text(argv[0]), what = text(argv[1]);
  const double length = static_cast<double>(characterCount(s));
  const double last = start == -1 ? length : std::min(start, length);
  if (what.empty()) return sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(start == -1 ? length : start));
  long long found = 0;
  for (std::size_t from = 0;;) {
    const std::size_t at = find(s, what, from, roundHalfEven(compare) != 0);
    if (at == std::string_view::npos) break;
    const long long place = static_cast<long long>(characterCount(s.substr(0, at))) + 1;
    if (static_cast<double>(place) + static_cast<double>(characterCount(what)) - 1 > last) break;
    found = place;
    decodeUtf8(s, from = at);
  }
  sqlite3_result_int64(ctx, found);
}

// StrConv: 1 upper case, 2 lower case, 3 each word's first letter upper.
void strconv(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double how;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[1], how)) return;
  const int conversion = static_cast<int>(roundHalfEven(how));
  if (conversion < 1 || conversion > 3)
    return fail(ctx, ErrorKind::Evaluation, "Invalid argument for StrConv(): " + numberText(how, 15));
  const std::string_view s = text(argv[0]);
  std::string out;
  bool wordStart = true;
  for (std::size_t i = 0; i < s.size();) {
    const char32_t c = decodeUtf8(s, i);
    const bool upper = conversion == 1 || (conversion == 3 && wordStart);
    appendUtf8(out, upper ? upperCase(c) : foldCase(c));
    wordStart = c == ' ' || c == '\t' || c == '\r' || c == '\n';
  }
  result(ctx, out);
}

void replace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  double start = 1, times = -1, compare = 1;
  if (null(argv[0]) || null(argv[1]) || null(argv[2])) return sqlite3_result_null(ctx);
  if (argc > 3 && !null(argv[3]) && !number(ctx, argv[3], start)) return;
  if (argc > 4 && !null(argv[4]) && !number(ctx, argv[4], times)) return;
  if (argc > 5 && !null(argv[5]) && !number(ctx, argv[5], compare)) return;
  start = roundHalfEven(start);
  if (start < 1) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for Replace(): the start is below 1");
  std::string_view s = text(argv[0]);
  s = s.substr(offsetOf(s, start - 1));  // Replace gives the text from the start on
  const std::string_view what = text(argv[1]), with = text(argv[2]);
  if (what.empty()) return result(ctx, s);
  std::string out;
  std::size_t from = 0;
  long long left = static_cast<long long>(roundHalfEven(times));
  while (left != 0) {
    const std::size_t at = find(s, what, from, roundHalfEven(compare) != 0);
    if (at == std::string_view::npos) break;
    out += s.substr(from, at - from);
    out += with;
    from = matchEnd(s, what, at);
    if (left > 0) --left;
  }
  out += s.substr(from);
  result(ctx, out);
}

void space(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!count(ctx, argv[0], "Space", n)) return;
  result(ctx, std::string(static_cast<std::size_t>(n), ' '));
}

void repeat(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double n;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!count(ctx, argv[0], "String", n)) return;
  std::string one;
  if (sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
    const std::string_view s = text(argv[1]);
    if (s.empty()) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for String(): an empty text");
    one = s.substr(0, offsetOf(s, 1));
  } else {
    double code;
    if (!number(ctx, argv[1], code)) return;
    appendUtf8(one, static_cast<char32_t>(static_cast<long long>(roundHalfEven(code)) & 0xFF));
  }
  std::string out;
  for (double k = 0; k < n; ++k) out += one;
  result(ctx, out);
}

void chr(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double code;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[0], code)) return;
  code = roundHalfEven(code);
  if (code < 0 || code > 65535 || (code >= 0xD800 && code <= 0xDFFF))
    return fail(ctx, ErrorKind::Evaluation, "Invalid argument for Chr(): " + numberText(code, 15));
  std::string out;
  appendUtf8(out, static_cast<char32_t>(code));
  result(ctx, out);
}

void asc(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  const std::string_view s = text(argv[0]);
  if (s.empty()) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for Asc(): an empty text");
  std::size_t i = 0;
  sqlite3_result_int64(ctx, decodeUtf8(s, i));
}

void strcomp(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  double compare = 1;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (argc > 2 && !null(argv[2]) && !number(ctx, argv[2], compare)) return;
  const int c = roundHalfEven(compare) != 0 ? compareText(text(argv[0]), text(argv[1]))
                                            : text(argv[0]).compare(text(argv[1]));
  sqlite3_result_int(ctx, c < 0 ? -1 : c > 0 ? 1 : 0);
}

void reverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  const std::string_view s = text(argv[0]);
  std::vector<char32_t> chars;
  for (std::size_t i = 0; i < s.size();) chars.push_back(decodeUtf8(s, i));
  std::string out;
  for (auto it = chars.rbegin(); it != chars.rend(); ++it) appendUtf8(out, *it);
  result(ctx, out);
}

// Values as text, as CStr and & write them.
void numberAsText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  result(ctx, numberText(sqlite3_value_double(argv[0]), sqlite3_value_int(argv[1])));
}

void scaledAsText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT)
    return result(ctx, numberText(sqlite3_value_double(argv[0]) / std::pow(10.0, sqlite3_value_int(argv[1])), 15));
  result(ctx, scaledText(sqlite3_value_int64(argv[0]), sqlite3_value_int(argv[1])));
}

void dateAsText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  result(ctx, dateText(sqlite3_value_double(argv[0])));
}

void variantAsText(sqlite3_context* ctx, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL: return sqlite3_result_null(ctx);
    case SQLITE_FLOAT: return result(ctx, numberText(sqlite3_value_double(argv[0]), 15));
    default: return result(ctx, text(argv[0]));
  }
}

// A value used as a condition: numbers are true when not zero; text must
// spell a number or True/False.
void truth(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
    const std::string folded = foldText(text(argv[0]));
    if (folded == "true" || folded == "yes" || folded == "on") return sqlite3_result_int(ctx, 1);
    if (folded == "false" || folded == "no" || folded == "off") return sqlite3_result_int(ctx, 0);
  }
  double n;
  if (!number(ctx, argv[0], n)) return;
  sqlite3_result_int(ctx, n != 0);
}

void parameter(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const Context& c = context(ctx);
  if (!c.arguments) return sqlite3_result_null(ctx);
  const auto it = c.arguments->find(std::string(text(argv[0])));
  if (it == c.arguments->end()) return sqlite3_result_null(ctx);
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          sqlite3_result_null(ctx);
        else if constexpr (std::is_same_v<T, bool>)
          sqlite3_result_int(ctx, v ? -1 : 0);
        else if constexpr (std::is_same_v<T, std::int64_t>)
          sqlite3_result_int64(ctx, v);
        else if constexpr (std::is_same_v<T, double>)
          sqlite3_result_double(ctx, v);
        else
          result(ctx, v);
      },
      it->second);
}

}  // namespace

void registerTextFunctions(sqlite3* db, Context& context) {
  static const function::Entry kEntries[] = {
    {"jet_like", 2, like},
    {"jet_concat", 2, concat},
    {"jet_len", 1, length},
    {"jet_left", 2, left},
    {"jet_right", 2, right},
    {"jet_mid", 2, mid},
    {"jet_mid", 3, mid},
    {"jet_upper", 1, upper},
    {"jet_lower", 1, lower},
    {"jet_trim", 1, trimBoth},
    {"jet_ltrim", 1, trimLeft},
    {"jet_rtrim", 1, trimRight},
    {"jet_instr", 4, instr},
    {"jet_instrrev", 4, instrrev},
    {"jet_strconv", 2, strconv},
    {"jet_replace", 3, replace},
    {"jet_replace", 4, replace},
    {"jet_replace", 5, replace},
    {"jet_replace", 6, replace},
    {"jet_space", 1, space},
    {"jet_string", 2, repeat},
    {"jet_chr", 1, chr},
    {"jet_asc", 1, asc},
    {"jet_strcomp", 2, strcomp},
    {"jet_strcomp", 3, strcomp},
    {"jet_strreverse", 1, reverse},
    {"jet_number_text", 2, numberAsText},
    {"jet_scaled_text", 2, scaledAsText},
    {"jet_date_text", 1, dateAsText},
    {"jet_variant_text", 1, variantAsText},
    {"jet_truth", 1, truth},
    // The same within one run of a statement, which is all SQLite needs to
    // read it once instead of for every row.
    {"jet_param", 1, parameter},
  };
  function::add(db, context, kEntries);
}

}  // namespace jet::sql
