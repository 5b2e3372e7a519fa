// Date functions: parts of dates, date arithmetic by calendar intervals,
// conversions to dates, and the clock.

#include <cmath>
#include <string>

#include "dates.h"
#include "functions.h"
#include "jet/value.h"
#include "text_order.h"

namespace jet::sql {
namespace {

using namespace function;

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// A date argument: Null gives Null, a value no calendar holds fails.
bool date(sqlite3_context* ctx, sqlite3_value* v, double& days, DateTime& parts) {
  if (null(v)) {
    sqlite3_result_null(ctx);
    return false;
  }
  days = sqlite3_value_double(v);
  parts = toDateTime(days);
  if (!parts.valid) {
    fail(ctx, ErrorKind::Evaluation, "Invalid date: " + numberText(days, 15) + " is no day of the calendar");
    return false;
  }
  return true;
}

long long dayNumber(const DateTime& t) { return static_cast<long long>(daysFromDate(t.year, t.month, t.day)); }

// The first day of the week as Weekday's argument says: 1 Sunday … 7
// Saturday; 0, the system's, is Sunday here.
bool firstDay(sqlite3_context* ctx, int argc, sqlite3_value** argv, int index, int& out) {
  out = 1;
  if (argc <= index || null(argv[index])) return true;
  double n;
  if (!number(ctx, argv[index], n)) return false;
  out = static_cast<int>(roundHalfEven(n));
  if (out == 0) out = 1;
  if (out < 1 || out > 7) {
    fail(ctx, ErrorKind::Evaluation, "Invalid first day of the week: " + numberText(n, 15));
    return false;
  }
  return true;
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second, Unknown };

Interval intervalOf(std::string_view text) {
  const std::string s = foldText(text);
  if (s == "yyyy") return Interval::Year;
  if (s == "q") return Interval::Quarter;
  if (s == "m") return Interval::Month;
  if (s == "y") return Interval::DayOfYear;
  if (s == "d") return Interval::Day;
  if (s == "w") return Interval::Weekday;
  if (s == "ww") return Interval::Week;
  if (s == "h") return Interval::Hour;
  if (s == "n") return Interval::Minute;
  if (s == "s") return Interval::Second;
  return Interval::Unknown;
}

bool interval(sqlite3_context* ctx, sqlite3_value* v, Interval& out) {
  out = intervalOf(text(v));
  if (out == Interval::Unknown)
    fail(ctx, ErrorKind::Evaluation,
         "Invalid interval \"" + std::string(text(v)) + "\": use yyyy, q, m, y, d, w, ww, h, n or s");
  return out != Interval::Unknown;
}

double valueOf(const DateTime& t) {
  return combineDateTime(daysFromDate(t.year, t.month, t.day), dayFraction(t.hour, t.minute, t.second));
}

void part(sqlite3_context* ctx, sqlite3_value* v, int DateTime::*field) {
  double days;
  DateTime t;
  if (date(ctx, v, days, t)) sqlite3_result_int(ctx, t.*field);
}

void year(sqlite3_context* ctx, int, sqlite3_value** argv) { part(ctx, argv[0], &DateTime::year); }
void month(sqlite3_context* ctx, int, sqlite3_value** argv) { part(ctx, argv[0], &DateTime::month); }
void day(sqlite3_context* ctx, int, sqlite3_value** argv) { part(ctx, argv[0], &DateTime::day); }
void hour(sqlite3_context* ctx, int, sqlite3_value** argv) { part(ctx, argv[0], &DateTime::hour); }
void minute(sqlite3_context* ctx, int, sqlite3_value** argv) { part(ctx, argv[0], &DateTime::minute); }
void second(sqlite3_context* ctx, int, sqlite3_value** argv) { part(ctx, argv[0], &DateTime::second); }

void weekdayFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  double days;
  DateTime t;
  int first;
  if (!date(ctx, argv[0], days, t) || !firstDay(ctx, argc, argv, 1, first)) return;
  sqlite3_result_int(ctx, weekday(dayNumber(t), first));
}

void datePartFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Interval which;
  double days;
  DateTime t;
  int first, rule = 1;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!interval(ctx, argv[0], which) || !date(ctx, argv[1], days, t) || !firstDay(ctx, argc, argv, 2, first)) return;
  if (argc > 3 && !null(argv[3])) {
    double n;
    if (!number(ctx, argv[3], n)) return;
    rule = static_cast<int>(roundHalfEven(n));
    if (rule == 0) rule = 1;
    if (rule < 1 || rule > 3) return fail(ctx, ErrorKind::Evaluation, "Invalid first week of the year: " + numberText(n, 15));
  }
  int r = 0;
  switch (which) {
    case Interval::Year: r = t.year; break;
    case Interval::Quarter: r = (t.month - 1) / 3 + 1; break;
    case Interval::Month: r = t.month; break;
    case Interval::DayOfYear: r = static_cast<int>(dayNumber(t) - static_cast<long long>(daysFromDate(t.year, 1, 1)) + 1); break;
    case Interval::Day: r = t.day; break;
    case Interval::Weekday: r = weekday(dayNumber(t), first); break;
    case Interval::Week: r = weekOfYear(t.year, dayNumber(t), first, rule); break;
    case Interval::Hour: r = t.hour; break;
    case Interval::Minute: r = t.minute; break;
    case Interval::Second: r = t.second; break;
    case Interval::Unknown: break;
  }
  sqlite3_result_int(ctx, r);
}

bool inCalendar(sqlite3_context* ctx, double value) {
  const DateTime t = toDateTime(value);
  if (t.valid && t.year >= 100 && t.year <= 9999) return true;
  fail(ctx, ErrorKind::Evaluation, "Invalid date: the result lies outside the years 100 to 9999");
  return false;
}

void dateAdd(sqlite3_context* ctx, int, sqlite3_value** argv) {
  Interval which;
  double n, days;
  DateTime t;
  if (null(argv[0]) || null(argv[1])) return sqlite3_result_null(ctx);
  if (!interval(ctx, argv[0], which) || !number(ctx, argv[1], n) || !date(ctx, argv[2], days, t)) return;
  const long long k = static_cast<long long>(roundHalfEven(n));
  if (std::fabs(n) > 4e6) return fail(ctx, ErrorKind::Evaluation, "Invalid argument for DateAdd(): " + numberText(n, 15));
  double r = 0;
  const auto months = [&](long long count) {
    long long y = t.year + (t.month - 1 + count) / 12;
    long long m = (t.month - 1 + count) % 12;
    if (m < 0) {
      m += 12;
      --y;
    }
    DateTime moved = t;
    moved.year = static_cast<int>(y);
    moved.month = static_cast<int>(m + 1);
    // The 31st plus a month is the month's last day.
    const double next = daysFromDate(y, m + 2, 1);
    const int last = static_cast<int>(next - daysFromDate(y, m + 1, 1));
    if (moved.day > last) moved.day = last;
    return valueOf(moved);
  };
  switch (which) {
    case Interval::Year: r = months(12 * k); break;
    case Interval::Quarter: r = months(3 * k); break;
    case Interval::Month: r = months(k); break;
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
    case Interval::Week: {
      DateTime moved = t;
      const double day = static_cast<double>(dayNumber(t) + k * (which == Interval::Week ? 7 : 1));
      r = combineDateTime(day, dayFraction(moved.hour, moved.minute, moved.second));
      break;
    }
    case Interval::Hour:
    case Interval::Minute:
    case Interval::Second: {
      const long long unit = which == Interval::Hour ? 3600 : which == Interval::Minute ? 60 : 1;
      const long long seconds = dayNumber(t) * 86400 + t.hour * 3600 + t.minute * 60 + t.second + k * unit;
      const long long d = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
      r = combineDateTime(static_cast<double>(d), static_cast<double>(seconds - d * 86400) / 86400.0);
      break;
    }
    case Interval::Unknown: break;
  }
  if (inCalendar(ctx, r)) sqlite3_result_double(ctx, r);
}

void dateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  Interval which;
  double d1, d2;
  DateTime a, b;
  int first;
  if (null(argv[0]) || null(argv[1]) || null(argv[2])) return sqlite3_result_null(ctx);
  if (!interval(ctx, argv[0], which) || !date(ctx, argv[1], d1, a) || !date(ctx, argv[2], d2, b) ||
      !firstDay(ctx, argc, argv, 3, first))
    return;
  const long long da = dayNumber(a), db = dayNumber(b);
  const auto seconds = [](long long day, const DateTime& t) { return day * 86400 + t.hour * 3600 + t.minute * 60 + t.second; };
  long long r = 0;
  switch (which) {
    case Interval::Year: r = b.year - a.year; break;
    case Interval::Quarter: r = (b.year * 4LL + (b.month - 1) / 3) - (a.year * 4LL + (a.month - 1) / 3); break;
    case Interval::Month: r = (b.year * 12LL + b.month) - (a.year * 12LL + a.month); break;
    case Interval::DayOfYear:
    case Interval::Day: r = db - da; break;
    case Interval::Weekday: r = (db - da) / 7; break;
    case Interval::Week: {
      const auto start = [&](long long d) { return d - (weekday(d, first) - 1); };
      r = (start(db) - start(da)) / 7;
      break;
    }
    case Interval::Hour: r = seconds(db, b) / 3600 - seconds(da, a) / 3600; break;
    case Interval::Minute: r = seconds(db, b) / 60 - seconds(da, a) / 60; break;
    case Interval::Second: r = seconds(db, b) - seconds(da, a); break;
    case Interval::Unknown: break;
  }
  sqlite3_result_int64(ctx, r);
}

bool wholeArguments(sqlite3_context* ctx, sqlite3_value** argv, long long (&out)[3]) {
  for (int i = 0; i < 3; ++i) {
    double n;
    if (null(argv[i])) {
      sqlite3_result_null(ctx);
      return false;
    }
    if (!number(ctx, argv[i], n)) return false;
    if (std::fabs(n) > 4e6) {
      fail(ctx, ErrorKind::Evaluation, "Invalid argument: " + numberText(n, 15));
      return false;
    }
    out[i] = static_cast<long long>(roundHalfEven(n));
  }
  return true;
}

void dateSerial(sqlite3_context* ctx, int, sqlite3_value** argv) {
  long long v[3];
  if (!wholeArguments(ctx, argv, v)) return;
  // Two-digit years: 0 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999.
  if (v[0] >= 0 && v[0] < 30) v[0] += 2000;
  else if (v[0] >= 30 && v[0] < 100) v[0] += 1900;
  const double r = daysFromDate(v[0], v[1], v[2]);
  if (inCalendar(ctx, r)) sqlite3_result_double(ctx, r);
}

void timeSerial(sqlite3_context* ctx, int, sqlite3_value** argv) {
  long long v[3];
  if (!wholeArguments(ctx, argv, v)) return;
  const long long seconds = v[0] * 3600 + v[1] * 60 + v[2];
  const long long d = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  sqlite3_result_double(ctx, combineDateTime(static_cast<double>(d), static_cast<double>(seconds - d * 86400) / 86400.0));
}

// CDate: numbers are days already; text is read as a date.
bool toDate(sqlite3_context* ctx, sqlite3_value* v, double& out) {
  if (sqlite3_value_type(v) == SQLITE_TEXT) {
    if (auto days = parseDate(text(v), DateOrder::DayFirst)) {
      out = *days;
      return true;
    }
    if (auto n = parseNumber(text(v))) {
      out = *n;
      return true;
    }
    fail(ctx, ErrorKind::TypeMismatch, "Data type mismatch: the text \"" + std::string(text(v)) + "\" is not a date");
    return false;
  }
  return number(ctx, v, out);
}

void cdate(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double d;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (toDate(ctx, argv[0], d) && inCalendar(ctx, d)) sqlite3_result_double(ctx, d);
}

void dateValue(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double d;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (toDate(ctx, argv[0], d) && inCalendar(ctx, d)) sqlite3_result_double(ctx, datePart(d));
}

void timeValue(sqlite3_context* ctx, int, sqlite3_value** argv) {
  double d;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (toDate(ctx, argv[0], d) && inCalendar(ctx, d)) sqlite3_result_double(ctx, timePart(d));
}

void now(sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_double(ctx, context(ctx).now); }
void today(sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_double(ctx, datePart(context(ctx).now)); }
void timeNow(sqlite3_context* ctx, int, sqlite3_value**) { sqlite3_result_double(ctx, timePart(context(ctx).now)); }

void monthName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  double n, abbreviate = 0;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[0], n) || (argc > 1 && !null(argv[1]) && !number(ctx, argv[1], abbreviate))) return;
  const int m = static_cast<int>(roundHalfEven(n));
  if (m < 1 || m > 12) return fail(ctx, ErrorKind::Evaluation, "Invalid month: " + numberText(n, 15));
  const std::string name = kMonthNames[m - 1];
  result(ctx, abbreviate != 0 ? name.substr(0, 3) : name);
}

void weekdayName(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  double n, abbreviate = 0;
  int first;
  if (null(argv[0])) return sqlite3_result_null(ctx);
  if (!number(ctx, argv[0], n) || (argc > 1 && !null(argv[1]) && !number(ctx, argv[1], abbreviate)) ||
      !firstDay(ctx, argc, argv, 2, first))
    return;
  const int d = static_cast<int>(roundHalfEven(n));
  if (d < 1 || d > 7) return fail(ctx, ErrorKind::Evaluation, "Invalid day of the week: " + numberText(n, 15));
  const std::string name = kDayNames[(d - 1 + first - 1) % 7];
  result(ctx, abbreviate != 0 ? name.substr(0, 3) : name);
}

}  // namespace

void registerDateFunctions(sqlite3* db, Context& context) {
  static const function::Entry kEntries[] = {
    {"jet_year", 1, year},
    {"jet_month", 1, month},
    {"jet_day", 1, day},
    {"jet_hour", 1, hour},
    {"jet_minute", 1, minute},
    {"jet_second", 1, second},
    {"jet_weekday", 1, weekdayFunction},
    {"jet_weekday", 2, weekdayFunction},
    {"jet_datepart", 2, datePartFunction},
    {"jet_datepart", 3, datePartFunction},
    {"jet_datepart", 4, datePartFunction},
    {"jet_dateadd", 3, dateAdd},
    {"jet_datediff", 3, dateDiff},
    {"jet_datediff", 4, dateDiff},
    {"jet_datediff", 5, dateDiff},
    {"jet_dateserial", 3, dateSerial},
    {"jet_timeserial", 3, timeSerial},
    {"jet_cdate", 1, cdate},
    {"jet_datevalue", 1, dateValue},
    {"jet_timevalue", 1, timeValue},
    // The clock reads once per statement: every row sees the same Now().
    {"jet_now", 0, now},
    {"jet_today", 0, today},
    {"jet_time", 0, timeNow},
    {"jet_monthname", 1, monthName},
    {"jet_monthname", 2, monthName},
    {"jet_weekdayname", 1, weekdayName},
    {"jet_weekdayname", 2, weekdayName},
    {"jet_weekdayname", 3, weekdayName},
  };
  function::add(db, context, kEntries);
}

}  // namespace jet::sql
