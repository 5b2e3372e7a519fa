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

QDateTime dateTimeOf(double days) { return QDateTime(dateOf(days), timeOf(days), Qt::UTC); }

double daysFrom(const QDateTime& dateTime) { return daysFrom(dateTime.date(), dateTime.time()); }

}  // namespace tabrix
