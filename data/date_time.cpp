#include "data/date_time.h"

#include <cmath>

namespace tabrix {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr std::int64_t kMsPerDay = 86'400'000;

// Whole days from the epoch and milliseconds into the day.
std::pair<std::int64_t, std::int64_t> split(double days) {
  const double whole = std::trunc(days);
  std::int64_t ms = std::llround(std::fabs(days - whole) * kMsPerDay);
  std::int64_t day = static_cast<std::int64_t>(whole);
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    day += 1;
  }
  return {day, ms};
}

}  // namespace

double daysFrom(QDate date, QTime time) {
  const double day = static_cast<double>(kEpoch.daysTo(date));
  const double fraction = static_cast<double>(time.isValid() ? time.msecsSinceStartOfDay() : 0) / kMsPerDay;
  return day < 0 ? day - fraction : day + fraction;
}

QDate dateOf(double days) { return kEpoch.addDays(split(days).first); }

QTime timeOf(double days) { return QTime::fromMSecsSinceStartOfDay(static_cast<int>(split(days).second)); }

std::int64_t msSinceEpoch(double days) {
  const auto [day, ms] = split(days);
  return day * kMsPerDay + ms;
}

CivilDate civilDate(std::int64_t daysSinceEpoch) {
  // Days counted from 0000-03-01 in eras of 400 years, so that the leap day
  // ends a year (Howard Hinnant's days_from_civil, reversed).
  const std::int64_t z = daysSinceEpoch + 693'899;
  const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const std::int64_t dayOfEra = z - era * 146'097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  CivilDate date;
  date.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  date.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
  // 1899-12-30 was a Saturday.
  date.weekday = static_cast<int>(((daysSinceEpoch + 5) % 7 + 7) % 7 + 1);
  return date;
}

QDateTime dateTimeOf(double days) { return QDateTime(dateOf(days), timeOf(days), Qt::UTC); }

double daysFrom(const QDateTime& dateTime) { return daysFrom(dateTime.date(), dateTime.time()); }

}  // namespace tabrix
