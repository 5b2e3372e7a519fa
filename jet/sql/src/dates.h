#pragma once

#include <optional>
#include <string>
#include <string_view>

// Dates as the engine stores them: days since 1899-12-30, the time of day
// as the fraction. Before that day the whole part counts back and the
// fraction still runs forward (-1.25 is 1899-12-29 06:00).
namespace jet::sql {

// The day of a calendar date; months and days past their range carry
// over, as DateSerial does (month 13 is January of the next year, day 0
// the last day of the month before).
double daysFromDate(long long year, long long month, long long day);
double dayFraction(long long hour, long long minute, long long second);
// A day and a time of day as one value.
double combineDateTime(double day, double fraction);
// The day without its time, and the time without its day.
double datePart(double value);
double timePart(double value);

// The day of the week, 1 to 7, counted from `firstDay` (1 Sunday … 7
// Saturday), of the day numbered `day`.
int weekday(long long day, int firstDay);
// The week of the year of that day: `rule` 1 counts from the week of
// January 1, 2 from the first week of four days, 3 from the first full week.
int weekOfYear(int year, long long day, int firstDay, int rule);

enum class DateOrder { MonthFirst, DayFirst };

// Reads a date, a time or both: "1/31/2000", "2000-01-31", "31-Jan-2000",
// "January 31, 2000", "13:45", "1:45 PM", "1/31/2000 13:45:10". Numbers
// separated by "/" or "-" read month first as #literals# do; `order` says
// how "." separated ones read. Nothing else is accepted.
std::optional<double> parseDate(std::string_view text, DateOrder order);

// "2000-01-31 13:45:10": the time left out at midnight, the date on day 0.
std::string dateText(double value);

}  // namespace jet::sql
