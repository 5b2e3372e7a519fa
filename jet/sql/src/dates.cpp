#include "dates.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "jet/value.h"

namespace jet::sql {
namespace {

long long daysFromCivil(long long y, long long m, long long d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 693899;
}

int daysInMonth(long long year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

const char* const kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                               "july",    "august",   "september", "october", "november", "december"};

// One piece of a date's text: a number (with how many digits it had), a
// word, or a separator.
struct Piece {
  enum Kind { Number, Word, Separator } kind = Number;
  long long number = 0;
  int digits = 0;
  std::string text{};
};

std::optional<std::vector<Piece>> pieces(std::string_view s) {
  std::vector<Piece> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == '\t' || c == ',') {
      ++i;
      if (!out.empty() && out.back().kind != Piece::Separator) out.push_back({Piece::Separator, 0, 0, " "});
      continue;
    }
    if (std::isdigit(c)) {
      Piece p{Piece::Number};
      while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        if (p.digits > 9) return std::nullopt;
        p.number = p.number * 10 + (s[i] - '0');
        ++p.digits;
        ++i;
      }
      out.push_back(p);
      continue;
    }
    if (std::isalpha(c)) {
      Piece p{Piece::Word};
      while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
        p.text += static_cast<char>(std::tolower(static_cast<unsigned char>(s[i++])));
      out.push_back(p);
      continue;
    }
    if (c == '/' || c == '-' || c == '.' || c == ':') {
      out.push_back({Piece::Separator, 0, 0, std::string(1, static_cast<char>(c))});
      ++i;
      continue;
    }
    return std::nullopt;
  }
  while (!out.empty() && out.back().kind == Piece::Separator && out.back().text == " ") out.pop_back();
  return out;
}

int monthNamed(const std::string& word) {
  if (word.size() < 3) return 0;
  for (int m = 0; m < 12; ++m)
    if (std::string_view(kMonths[m]).substr(0, word.size()) == word) return m + 1;
  return 0;
}

long long fullYear(const Piece& p) {
  if (p.digits <= 2) return p.number < 30 ? 2000 + p.number : 1900 + p.number;
  return p.number;
}

long long currentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

bool validDate(long long y, long long m, long long d) {
  return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, static_cast<int>(m));
}

}  // namespace

double daysFromDate(long long year, long long month, long long day) {
  year += (month - 1 >= 0 ? (month - 1) / 12 : -((12 - month) / 12));
  month = ((month - 1) % 12 + 12) % 12 + 1;
  return static_cast<double>(daysFromCivil(year, month, 1) + day - 1);
}

double dayFraction(long long hour, long long minute, long long second) {
  return static_cast<double>(hour * 3600 + minute * 60 + second) / 86400.0;
}

int weekday(long long day, int firstDay) {
  const int sundayFirst = static_cast<int>(((day % 7) + 7 + 6) % 7);  // 1899-12-30 was a Saturday
  return (sundayFirst - (firstDay - 1) + 7) % 7 + 1;
}

int weekOfYear(int year, long long day, int firstDay, int rule) {
  const auto weekStart = [&](long long d) { return d - (weekday(d, firstDay) - 1); };
  const auto firstWeekStart = [&](long long y) {
    const long long jan1 = static_cast<long long>(daysFromDate(y, 1, 1));
    const long long start = weekStart(jan1);
    if (rule == 2 && start + 7 - jan1 < 4) return start + 7;
    if (rule == 3 && start != jan1) return start + 7;
    return start;
  };
  long long start = firstWeekStart(year);
  if (day < start)
    start = firstWeekStart(year - 1);
  else if (rule != 1 && day >= firstWeekStart(year + 1))
    return 1;
  return static_cast<int>((weekStart(day) - start) / 7 + 1);
}

double combineDateTime(double day, double fraction) { return day < 0 ? day - fraction : day + fraction; }

double datePart(double value) { return std::trunc(value); }

double timePart(double value) { return std::fabs(value - std::trunc(value)); }

std::optional<double> parseDate(std::string_view text, DateOrder order) {
  auto parts = pieces(text);
  if (!parts || parts->empty()) return std::nullopt;
  std::vector<Piece>& p = *parts;
  std::size_t i = 0;
  const auto number = [&](std::size_t k) { return k < p.size() && p[k].kind == Piece::Number; };
  const auto separator = [&](std::size_t k, std::string_view which) {
    return k < p.size() && p[k].kind == Piece::Separator && which.find(p[k].text[0]) != std::string_view::npos;
  };

  std::optional<double> day;
  // A month by its name, the day at `dayAt`, a year after it if any.
  const auto named = [&](std::size_t monthAt, std::size_t dayAt, std::string_view separators) -> bool {
    const int m = monthNamed(p[monthAt].text);
    long long y = currentYear();
    i = 3;
    if (separator(3, separators) && number(4)) {
      y = fullYear(p[4]);
      i = 5;
    }
    if (!validDate(y, m, p[dayAt].number)) return false;
    day = daysFromDate(y, m, p[dayAt].number);
    return true;
  };
  const auto word = [&](std::size_t k) { return k < p.size() && p[k].kind == Piece::Word && monthNamed(p[k].text); };
  // The date part, if the text starts with one.
  if (number(0) && separator(1, "/-.") && word(2)) {
    if (!named(2, 0, "/-.")) return std::nullopt;  // 31-Jan-2000
  } else if (word(0) && separator(1, " ") && number(2)) {
    if (!named(0, 2, " ")) return std::nullopt;  // January 31, 2000
  } else if (number(0) && separator(1, " ") && word(2)) {
    if (!named(2, 0, " ")) return std::nullopt;  // 31 January 2000
  } else if (number(0) && separator(1, "/-.") && number(2)) {
    const char sep = p[1].text[0];
    long long a = p[0].number, b = p[2].number, y;
    const bool yearFirst = p[0].digits > 2;
    i = 3;
    if (separator(3, std::string(1, sep)) && number(4)) {
      if (yearFirst) {
        y = p[0].number;
        a = p[2].number;
        b = p[4].number;
      } else {
        y = fullYear(p[4]);
      }
      i = 5;
    } else {
      if (yearFirst) return std::nullopt;
      y = currentYear();
    }
    long long month = a, d = b;
    if (!yearFirst && sep == '.' && order == DateOrder::DayFirst) std::swap(month, d);
    if (!yearFirst && sep != '.' && month > 12 && d <= 12) std::swap(month, d);  // 13/1/2000 is 13 January
    if (!validDate(y, month, d)) return std::nullopt;
    day = daysFromDate(y, month, d);
  }
  if (day && i == p.size()) return *day;
  if (day) {
    if (!separator(i, " ")) return std::nullopt;
    ++i;
  }

  // The time part.
  if (!number(i)) return std::nullopt;
  long long hour = p[i].number, minute = 0, second = 0;
  ++i;
  if (separator(i, ":") && number(i + 1)) {
    minute = p[i + 1].number;
    i += 2;
    if (separator(i, ":") && number(i + 1)) {
      second = p[i + 1].number;
      i += 2;
    }
  } else if (!(separator(i, " ") && i + 1 < p.size() && p[i + 1].kind == Piece::Word)) {
    return std::nullopt;  // a lone number is no time
  }
  if (separator(i, " ") && i + 1 < p.size() && p[i + 1].kind == Piece::Word) {
    const std::string& w = p[i + 1].text;
    if (w != "am" && w != "pm" && w != "a" && w != "p") return std::nullopt;
    if (hour < 1 || hour > 12) return std::nullopt;
    if (hour == 12) hour = 0;
    if (w[0] == 'p') hour += 12;
    i += 2;
  }
  if (i != p.size() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return combineDateTime(day.value_or(0), dayFraction(hour, minute, second));
}

std::string dateText(double value) {
  const DateTime t = toDateTime(value);
  if (!t.valid) return {};
  char buffer[48];
  const bool time = t.hour || t.minute || t.second;
  const bool date = !(t.year == 1899 && t.month == 12 && t.day == 30);
  if (date && time)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  else if (date)
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", t.year, t.month, t.day);
  else
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return buffer;
}

}  // namespace jet::sql
