#include <gtest/gtest.h>

#include "data/date_time.h"

namespace tabrix {
namespace {

// Every 997th day from 0100-01-01 to 9999-12-31, and the days around the
// epoch and the leap days of 1900 and 2000.
TEST(CivilDateTest, AgreesWithQDate) {
  const QDate epoch(1899, 12, 30);
  std::vector<std::int64_t> days = {-2, -1, 0, 1, 2, 60, 61, 36'584, 36'585};
  for (std::int64_t day = -657'434; day <= 2'958'465; day += 997) days.push_back(day);
  for (std::int64_t day : days) {
    const QDate date = epoch.addDays(day);
    const CivilDate civil = civilDate(day);
    EXPECT_EQ(QDate(civil.year, civil.month, civil.day), date) << day;
    EXPECT_EQ(civil.weekday, date.dayOfWeek()) << day;
  }
}

}  // namespace
}  // namespace tabrix
