#include <chrono>
#include <cmath>

#include "jet/value.h"

namespace jet {
namespace {

constexpr double kSecondsPerDay = 86400.0;
constexpr std::chrono::sys_days kEpoch = std::chrono::year{1899} / std::chrono::December / 30;
// The Gregorian calendar repeats every 400 years. Whole cycles are counted
// apart, so the calendar types (which hold years up to 32767) see only
// dates near the epoch.
constexpr long long kDaysPer400Years = 146097;

}  // namespace

DateTime toDateTime(double days) {
  DateTime t;
  // About 98,000 years either way: far beyond what Access stores, safe for
  // the arithmetic below.
  if (!std::isfinite(days) || std::fabs(days) > 36'000'000.0) return t;
  double whole = std::trunc(days);
  long long day = static_cast<long long>(whole);
  long long seconds = std::llround(std::fabs(days - whole) * kSecondsPerDay);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++day;  // rounding reached the next midnight, forward in calendar time
  }
  t.hour = static_cast<int>(seconds / 3600);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.second = static_cast<int>(seconds % 60);

  long long cycles = day / kDaysPer400Years;
  long long rest = day % kDaysPer400Years;
  if (rest < 0) {
    rest += kDaysPer400Years;
    --cycles;
  }
  const std::chrono::year_month_day date{kEpoch + std::chrono::days{rest}};
  const long long year = static_cast<int>(date.year()) + 400 * cycles;
  if (year < 1 || year > 99999) return t;
  t.year = static_cast<int>(year);
  t.month = static_cast<int>(static_cast<unsigned>(date.month()));
  t.day = static_cast<int>(static_cast<unsigned>(date.day()));
  t.valid = true;
  return t;
}

}  // namespace jet
