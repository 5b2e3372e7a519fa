#include <cmath>

#include "jet/value.h"

namespace jet {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// 1899-12-30 as a count of days from 0000-03-01, the epoch of the
// civil-from-days conversion below.
constexpr long long kEpochShift = 693899;

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

  // Days to a proleptic Gregorian date (eras of 400 years from 0000-03-01).
  long long z = day + kEpochShift;
  long long era = (z >= 0 ? z : z - 146096) / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  long long d = doy - (153 * mp + 2) / 5 + 1;
  long long m = mp < 10 ? mp + 3 : mp - 9;
  long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
  if (y < 1 || y > 99999) return t;
  t.year = static_cast<int>(y);
  t.month = static_cast<int>(m);
  t.day = static_cast<int>(d);
  t.valid = true;
  return t;
}

}  // namespace jet
