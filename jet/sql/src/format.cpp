#include "format.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "dates.h"
#include "functions.h"
#include "jet/value.h"
#include "text_order.h"
#include "utf8.h"

namespace jet::sql {
namespace {

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

std::string named(std::string_view format) {
  const std::string f = foldText(format);
  if (f == "general date") return "c";
  if (f == "long date") return "d mmmm yyyy";
  if (f == "medium date") return "dd-mmm-yy";
  if (f == "short date") return "yyyy-mm-dd";
  if (f == "long time") return "hh:nn:ss";
  if (f == "medium time") return "hh:nn AM/PM";
  if (f == "short time") return "hh:nn";
  if (f == "currency" || f == "standard") return "#,##0.00";
  if (f == "fixed") return "0.00";
  if (f == "percent") return "0.00%";
  if (f == "scientific") return "0.00E+00";
  return std::string(format);
}

// Splits at ";" outside quotes: positive;negative;zero;null.
std::vector<std::string> sections(std::string_view format) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '"') quoted = !quoted;
    if (c == '\\' && i + 1 < format.size()) {
      out.back() += c;
      out.back() += format[++i];
      continue;
    }
    if (c == ';' && !quoted) {
      out.emplace_back();
      continue;
    }
    out.back() += c;
  }
  return out;
}

// The decimal digits of |value| rounded half up at `decimals` places,
// reading the number as its 15 significant digits show it.
void digitsOf(double value, int decimals, std::string& whole, std::string& fraction) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  // d.dddddddddddddde±x
  std::string mantissa;
  mantissa += buffer[0];
  mantissa += std::string(buffer + 2, 14);
  const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
  // Digits with the point after position exponent + 1.
  int point = exponent + 1;
  std::string digits = mantissa;
  if (point <= 0) {
    digits.insert(0, static_cast<std::size_t>(-point), '0');
    point = 0;
  }
  if (static_cast<int>(digits.size()) < point + decimals) digits.append(static_cast<std::size_t>(point + decimals) - digits.size(), '0');
  const bool up = static_cast<int>(digits.size()) > point + decimals && digits[static_cast<std::size_t>(point + decimals)] >= '5';
  digits.resize(static_cast<std::size_t>(point + decimals));
  if (up) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
    if (i < 0) {
      digits.insert(0, "1");
      ++point;
    } else {
      ++digits[static_cast<std::size_t>(i)];
    }
  }
  whole = digits.substr(0, static_cast<std::size_t>(point));
  fraction = digits.substr(static_cast<std::size_t>(point));
  while (!whole.empty() && whole[0] == '0') whole.erase(0, 1);
}

std::string numberSection(double value, const std::string& section, bool sign) {
  struct Item {
    enum Kind { Zero, Hash, Point, Comma, Percent, Exponent, Literal } kind;
    std::string text;
  };
  std::vector<Item> items;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (c == '"') {
      const std::size_t end = section.find('"', i + 1);
      items.push_back({Item::Literal, section.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1)});
      i = end == std::string::npos ? section.size() : end;
    } else if (c == '\\' && i + 1 < section.size()) {
      items.push_back({Item::Literal, std::string(1, section[++i])});
    } else if (c == '0') {
      items.push_back({Item::Zero, ""});
    } else if (c == '#') {
      items.push_back({Item::Hash, ""});
    } else if (c == '.') {
      items.push_back({Item::Point, ""});
    } else if (c == ',') {
      items.push_back({Item::Comma, ""});
    } else if (c == '%') {
      items.push_back({Item::Percent, "%"});
    } else if ((c == 'E' || c == 'e') && i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-')) {
      std::string e(1, section[i + 1]);
      i += 2;
      while (i < section.size() && section[i] == '0') e += section[i++];
      --i;
      items.push_back({Item::Exponent, e});
    } else {
      items.push_back({Item::Literal, std::string(1, c)});
    }
  }
  int wholeSlots = 0, required = 0, decimals = 0, requiredDecimals = 0;
  bool point = false, grouping = false, exponent = false;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const Item& it = items[i];
    if (it.kind == Item::Percent) value *= 100;
    if (it.kind == Item::Exponent) exponent = true;
    if (it.kind == Item::Point && !exponent) point = true;
    if ((it.kind == Item::Zero || it.kind == Item::Hash) && !exponent) {
      if (point) {
        ++decimals;
        if (it.kind == Item::Zero) requiredDecimals = decimals;
      } else {
        ++wholeSlots;
        if (it.kind == Item::Zero) ++required;
      }
    }
    if (it.kind == Item::Comma && !point && wholeSlots > 0) grouping = true;
  }
  int power = 0;
  std::string exponentText;
  if (exponent && value != 0) {
    power = static_cast<int>(std::floor(std::log10(std::fabs(value)))) - (std::max(wholeSlots, 1) - 1);
    value /= std::pow(10.0, power);
  }
  std::string whole, fraction;
  digitsOf(value, decimals, whole, fraction);
  if (exponent && whole.size() > static_cast<std::size_t>(std::max(wholeSlots, 1))) {
    // Rounding carried into another digit.
    value /= 10;
    ++power;
    digitsOf(value, decimals, whole, fraction);
  }
  while (static_cast<int>(whole.size()) < required) whole.insert(0, "0");
  if (grouping)
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(static_cast<std::size_t>(i), ",");
  while (static_cast<int>(fraction.size()) > requiredDecimals && fraction.back() == '0') fraction.pop_back();

  // Whole digits fill their places from the right; what is left over goes
  // in front of the first.
  std::vector<std::string> slots(static_cast<std::size_t>(wholeSlots));
  int k = static_cast<int>(whole.size()) - 1;
  for (int s = wholeSlots - 1; s >= 0; --s) {
    if (k >= 0) slots[static_cast<std::size_t>(s)] = whole.substr(static_cast<std::size_t>(s == 0 ? 0 : k), s == 0 ? static_cast<std::size_t>(k + 1) : 1);
    k -= 1;
  }
  if (wholeSlots == 0 && !whole.empty()) slots.push_back(whole);
  std::string out;
  if (sign) out += "-";
  int slot = 0, decimal = 0;
  bool afterPoint = false, afterExponent = false;
  for (const Item& it : items) {
    switch (it.kind) {
      case Item::Zero:
      case Item::Hash:
        if (afterExponent) break;
        if (!afterPoint) {
          if (slot < static_cast<int>(slots.size())) out += slots[static_cast<std::size_t>(slot)];
          ++slot;
        } else {
          if (decimal < static_cast<int>(fraction.size())) out += fraction[static_cast<std::size_t>(decimal)];
          ++decimal;
        }
        break;
      case Item::Point:
        if (!afterPoint && wholeSlots == 0 && slot == 0 && !slots.empty()) {
          out += slots[0];
          slot = 1;
        }
        afterPoint = true;
        out += '.';
        break;
      case Item::Comma: break;
      case Item::Exponent: {
        afterExponent = true;
        const char signMark = it.text[0];
        std::string digits = std::to_string(std::abs(power));
        while (digits.size() < it.text.size() - 1) digits.insert(0, "0");
        out += 'E';
        if (power < 0)
          out += '-';
        else if (signMark == '+')
          out += '+';
        out += digits;
        break;
      }
      case Item::Percent:
      case Item::Literal: out += it.text; break;
    }
  }
  return out;
}

std::string twoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

bool isDateFormat(std::string_view format) {
  const std::string f = named(format);
  if (f == "c") return true;
  bool quoted = false, date = false;
  for (std::size_t i = 0; i < f.size(); ++i) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    if (f[i] == '"') quoted = !quoted;
    if (quoted) continue;
    if (f[i] == '\\') {
      ++i;
      continue;
    }
    if (c == '0' || c == '#') return false;
    if (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 'n' || c == 's' || c == 'w' || c == 'q' || c == 't')
      date = true;
  }
  return date;
}

std::string formatNumber(double value, std::string_view format) {
  const std::string f = named(format);
  const std::string folded = foldText(f);
  if (f.empty() || folded == "general number") return function::numberText(value, 15);
  if (folded == "yes/no") return value != 0 ? "Yes" : "No";
  if (folded == "true/false") return value != 0 ? "True" : "False";
  if (folded == "on/off") return value != 0 ? "On" : "Off";
  if (isDateFormat(f)) return formatDate(value, f);
  const std::vector<std::string> parts = sections(f);
  if (value < 0 && parts.size() > 1 && !parts[1].empty()) return numberSection(-value, parts[1], false);
  if (value == 0 && parts.size() > 2 && !parts[2].empty()) return numberSection(0, parts[2], false);
  const std::string text = numberSection(std::fabs(value), parts[0], false);
  // A minus sign only when something other than zeros shows.
  const bool shows = value < 0 && text.find_first_of("123456789") != std::string::npos;
  return shows ? "-" + text : text;
}

std::string formatDate(double days, std::string_view format) {
  const DateTime t = toDateTime(days);
  if (!t.valid) return function::numberText(days, 15);
  const std::string f = named(format);
  if (f.empty() || f == "c") return dateText(days);
  const long long day = static_cast<long long>(daysFromDate(t.year, t.month, t.day));
  const std::string lower = foldText(f);
  const bool twelveHour = lower.find("am/pm") != std::string::npos || lower.find("a/p") != std::string::npos ||
                          lower.find("ampm") != std::string::npos;
  std::string out;
  bool afterHour = false;
  for (std::size_t i = 0; i < f.size();) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    std::size_t run = 1;
    while (i + run < f.size() && std::tolower(static_cast<unsigned char>(f[i + run])) == c) ++run;
    const auto rest = [&](std::string_view what) { return lower.compare(i, what.size(), what) == 0; };
    if (f[i] == '"') {
      const std::size_t end = f.find('"', i + 1);
      out += f.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      i = end == std::string::npos ? f.size() : end + 1;
      continue;
    }
    if (f[i] == '\\' && i + 1 < f.size()) {
      out += f[i + 1];
      i += 2;
      continue;
    }
    if (rest("am/pm") || rest("a/p")) {
      const bool pm = t.hour >= 12;
      const std::size_t length = rest("am/pm") ? 5 : 3;
      const bool upper = std::isupper(static_cast<unsigned char>(f[i]));
      std::string mark = length == 5 ? (pm ? "pm" : "am") : (pm ? "p" : "a");
      if (upper)
        for (char& ch : mark) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      out += mark;
      i += length;
      continue;
    }
    if (rest("ampm")) {
      out += t.hour >= 12 ? "PM" : "AM";
      i += 4;
      continue;
    }
    // m right after an hour (or before seconds) is minutes.
    const std::size_t following = lower.find_first_not_of(": ", i + run);
    const bool minutes = c == 'm' && run <= 2 && (afterHour || (following != std::string::npos && lower[following] == 's'));
    switch (c) {
      case 'c': out += dateText(days); break;
      case 'd':
        if (run >= 6) out += formatDate(days, "Long Date");
        else if (run == 5) out += formatDate(days, "Short Date");
        else if (run == 4) out += kDayNames[weekday(day, 1) - 1];
        else if (run == 3) out += std::string(kDayNames[weekday(day, 1) - 1]).substr(0, 3);
        else out += run == 2 ? twoDigits(t.day) : std::to_string(t.day);
        break;
      case 'w': out += std::to_string(run >= 2 ? weekOfYear(t.year, day, 1, 1) : weekday(day, 1)); break;
      case 'm':
        if (minutes) out += run == 2 ? twoDigits(t.minute) : std::to_string(t.minute);
        else if (run >= 4) out += kMonthNames[t.month - 1];
        else if (run == 3) out += std::string(kMonthNames[t.month - 1]).substr(0, 3);
        else out += run == 2 ? twoDigits(t.month) : std::to_string(t.month);
        break;
      case 'q': out += std::to_string((t.month - 1) / 3 + 1); break;
      case 'y':
        if (run >= 3) out += std::to_string(t.year);
        else if (run == 2) out += twoDigits(t.year % 100);
        else out += std::to_string(day - static_cast<long long>(daysFromDate(t.year, 1, 1)) + 1);
        break;
      case 'h': {
        int h = t.hour;
        if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
        out += run >= 2 ? twoDigits(h) : std::to_string(h);
        break;
      }
      case 'n': out += run >= 2 ? twoDigits(t.minute) : std::to_string(t.minute); break;
      case 's': out += run >= 2 ? twoDigits(t.second) : std::to_string(t.second); break;
      case 't':
        if (run >= 5) {
          out += formatDate(days, "Long Time");
          break;
        }
        [[fallthrough]];
      default: out += f.substr(i, run); break;
    }
    if (c == 'h') afterHour = true;
    else if (c != ':' && c != ' ' && c != 'm') afterHour = false;
    i += run;
  }
  return out;
}

std::string formatText(std::string_view text, std::string_view format) {
  bool upper = false, lower = false;
  std::string pattern;
  for (char c : format) {
    if (c == '>') upper = true;
    else if (c == '<') lower = true;
    else pattern += c;
  }
  std::vector<char32_t> chars;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = decodeUtf8(text, i);
    chars.push_back(upper ? upperCase(c) : lower ? foldCase(c) : c);
  }
  std::size_t slots = 0;
  for (char c : pattern) slots += c == '@' || c == '&';
  if (slots == 0) {
    std::string out;
    for (char32_t c : chars) appendUtf8(out, c);
    return out + pattern;
  }
  // Characters fill the placeholders from the right; an @ left over shows
  // a blank, an & nothing; extra characters go in front.
  std::vector<std::string> filled(pattern.size());
  long k = static_cast<long>(chars.size()) - 1;
  std::size_t firstSlot = pattern.find_first_of("@&");
  for (long p = static_cast<long>(pattern.size()) - 1; p >= 0; --p) {
    const char c = pattern[static_cast<std::size_t>(p)];
    if (c != '@' && c != '&') {
      filled[static_cast<std::size_t>(p)] = std::string(1, c);
      continue;
    }
    if (static_cast<std::size_t>(p) == firstSlot) {
      std::string rest;
      for (long j = 0; j <= k; ++j) appendUtf8(rest, chars[static_cast<std::size_t>(j)]);
      filled[static_cast<std::size_t>(p)] = rest.empty() && c == '@' ? " " : rest;
      k = -1;
    } else if (k >= 0) {
      appendUtf8(filled[static_cast<std::size_t>(p)], chars[static_cast<std::size_t>(k--)]);
    } else if (c == '@') {
      filled[static_cast<std::size_t>(p)] = " ";
    }
  }
  std::string out;
  for (const std::string& s : filled) out += s;
  return out;
}

namespace {

void format(sqlite3_context* ctx, int, sqlite3_value** argv) {
  using namespace function;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  const std::string f(text(argv[1]));
  const char kind = text(argv[2]).empty() ? 's' : text(argv[2])[0];
  const int type = sqlite3_value_type(argv[0]);
  if (kind == 'd') return result(ctx, formatDate(sqlite3_value_double(argv[0]), f));
  if (kind == 'b' && f.empty()) return result(ctx, sqlite3_value_double(argv[0]) != 0 ? "True" : "False");
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) return result(ctx, formatNumber(sqlite3_value_double(argv[0]), f));
  const std::string_view value = text(argv[0]);
  if (!f.empty() && isDateFormat(f))
    if (auto days = parseDate(value, DateOrder::DayFirst)) return result(ctx, formatDate(*days, f));
  if (!f.empty() && f.find_first_of("0#") != std::string::npos)
    if (auto n = parseNumber(value)) return result(ctx, formatNumber(*n, f));
  result(ctx, formatText(value, f));
}

}  // namespace

void registerFormatFunction(sqlite3* db, Context& context) {
  static const function::Entry kEntries[] = {{"jet_format", 3, format}};
  function::add(db, context, kEntries);
}

}  // namespace jet::sql
