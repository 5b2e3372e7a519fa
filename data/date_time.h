#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstdint>

namespace tabrix {

// Access, like OLE, keeps a date and time as a count of days since
// 1899-12-30 with the time of day as the fraction; before that date the
// fraction still counts forward from midnight (-1.25 is 1899-12-29 06:00).
// Times are kept to the millisecond.
double daysFrom(QDate date, QTime time = QTime(0, 0));
QDate dateOf(double days);
QTime timeOf(double days);

// Milliseconds since 1899-12-30 00:00: what orders and compares moments
// (the days count itself doesn't, before that date).
std::int64_t msSinceEpoch(double days);

// A day of the proleptic Gregorian calendar (QDate's, from year 1 on), told
// from its number since 1899-12-30 without building a QDate.
struct CivilDate {
  int year;
  int month;    // 1 to 12
  int day;      // 1 to 31
  int weekday;  // 1 Monday to 7 Sunday, as QDate::dayOfWeek()
};
CivilDate civilDate(std::int64_t daysSinceEpoch);

// The value as a QDateTime without a time zone (Qt::UTC stands for "none",
// so no daylight-saving gap can shift it).
QDateTime dateTimeOf(double days);
double daysFrom(const QDateTime& dateTime);

}  // namespace tabrix
