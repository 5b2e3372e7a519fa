// The exact texts of values over a wide sample, in three locales: what the
// windows and the result report show must not change by one character when
// the way they are made does.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "data/date_time.h"
#include "data/value_text.h"
#include "qt_printers.h"
#include "typed_column.h"

namespace tabrix {
namespace {

const QLocale kC = QLocale::c();
const QLocale kAmerican(QLocale::English, QLocale::UnitedStates);
const QLocale kPolish(QLocale::Polish, QLocale::Poland);

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();
const std::int64_t max = std::numeric_limits<std::int64_t>::max();
const std::int64_t min = std::numeric_limits<std::int64_t>::min();

double at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
  return daysFrom(QDate(year, month, day), QTime(hour, minute, second, ms));
}

// A value and its text in the C locale, in American English and in Polish.
struct Sample {
  Cell value;
  ColumnInfo column;
  const char* c;
  const char* american;
  const char* polish;
};

void expectTexts(const std::vector<Sample>& samples) {
  for (const Sample& s : samples) {
    EXPECT_EQ(valueText(s.value, s.column, kC), QString::fromUtf8(s.c));
    EXPECT_EQ(valueText(s.value, s.column, kAmerican), QString::fromUtf8(s.american));
    EXPECT_EQ(valueText(s.value, s.column, kPolish), QString::fromUtf8(s.polish));
  }
}

const ColumnInfo stamp = typedColumn(DataType::DBTimeStamp);
const ColumnInfo date = typedColumn(DataType::Date);
const ColumnInfo onlyDate = typedColumn(DataType::DBDate);
const ColumnInfo onlyTime = typedColumn(DataType::DBTime);
const ColumnInfo real = typedColumn(DataType::Double);
const ColumnInfo single = typedColumn(DataType::Single);
const ColumnInfo currency = typedColumn(DataType::Currency, 19, 4);
const ColumnInfo integer = typedColumn(DataType::Integer);
const ColumnInfo smallInt = typedColumn(DataType::SmallInt);
const ColumnInfo bigInt = typedColumn(DataType::BigInt);
const ColumnInfo unsignedBigInt = typedColumn(DataType::UnsignedBigInt);
const ColumnInfo boolean = typedColumn(DataType::Boolean);
const ColumnInfo twoDecimals = typedColumn(DataType::Numeric, 10, 2);
const ColumnInfo fourDecimals = typedColumn(DataType::Numeric, 10, 4);
const ColumnInfo wide = typedColumn(DataType::Numeric, 18, 0);
const ColumnInfo manyDecimals = typedColumn(DataType::Decimal, 28, 9);

// Midnight, the epoch and the days around it, leap years, the calendar's
// reform, the first and last years Access keeps, both halves of a 12-hour
// clock, rounding to the second, and values past any calendar.
TEST(ValueTextSampleTest, DatesAndTimes) {
  expectTexts({
      {at(1974, 9, 21, 7, 53, 2), stamp, "21 Sep 1974 07:53:02", "9/21/74 7:53:02 AM", "21.09.1974 07:53:02"},
      {at(1974, 9, 21, 7, 53, 2), date, "21 Sep 1974 07:53:02", "9/21/74 7:53:02 AM", "21.09.1974 07:53:02"},
      {at(1974, 9, 21, 7, 53, 2), onlyDate, "21 Sep 1974", "9/21/74", "21.09.1974"},
      {at(1974, 9, 21, 7, 53, 2), onlyTime, "07:53:02", "7:53:02 AM", "07:53:02"},
      {at(1974, 9, 21), stamp, "21 Sep 1974", "9/21/74", "21.09.1974"},
      {at(1974, 9, 21), onlyTime, "00:00:00", "12:00:00 AM", "00:00:00"},
      {0.0, stamp, "30 Dec 1899", "12/30/99", "30.12.1899"},
      {0.5, stamp, "30 Dec 1899 12:00:00", "12/30/99 12:00:00 PM", "30.12.1899 12:00:00"},
      {-0.5, stamp, "30 Dec 1899 12:00:00", "12/30/99 12:00:00 PM", "30.12.1899 12:00:00"},
      {-1.25, stamp, "29 Dec 1899 06:00:00", "12/29/99 6:00:00 AM", "29.12.1899 06:00:00"},
      {-1.25, onlyTime, "06:00:00", "6:00:00 AM", "06:00:00"},
      {-1.0, stamp, "29 Dec 1899", "12/29/99", "29.12.1899"},
      {at(1899, 12, 29, 23, 59, 59), stamp, "29 Dec 1899 23:59:59", "12/29/99 11:59:59 PM", "29.12.1899 23:59:59"},
      {at(1900, 1, 1), stamp, "1 Jan 1900", "1/1/00", "1.01.1900"},
      {at(1900, 2, 28, 12), stamp, "28 Feb 1900 12:00:00", "2/28/00 12:00:00 PM", "28.02.1900 12:00:00"},
      {at(1900, 3, 1), stamp, "1 Mar 1900", "3/1/00", "1.03.1900"},
      {at(2000, 2, 29, 0, 0, 1), stamp, "29 Feb 2000 00:00:01", "2/29/00 12:00:01 AM", "29.02.2000 00:00:01"},
      {at(2024, 12, 31, 23, 59, 59, 500), stamp, "1 Jan 2025", "1/1/25", "1.01.2025"},
      {at(2024, 12, 31, 23, 59, 59, 499), stamp, "31 Dec 2024 23:59:59", "12/31/24 11:59:59 PM", "31.12.2024 23:59:59"},
      {at(2015, 6, 11, 0, 0, 0, 500), stamp, "11 Jun 2015 00:00:01", "6/11/15 12:00:01 AM", "11.06.2015 00:00:01"},
      {at(100, 1, 1), stamp, "1 Jan 0100", "1/1/00", "1.01.0100"},
      {at(100, 1, 1, 0, 0, 1), stamp, "1 Jan 0100 00:00:01", "1/1/00 12:00:01 AM", "1.01.0100 00:00:01"},
      {at(999, 12, 31, 13), stamp, "31 Dec 0999 13:00:00", "12/31/99 1:00:00 PM", "31.12.0999 13:00:00"},
      {at(1000, 1, 1), stamp, "1 Jan 1000", "1/1/00", "1.01.1000"},
      {at(1582, 10, 4), stamp, "4 Oct 1582", "10/4/82", "4.10.1582"},
      {at(1582, 10, 15), stamp, "15 Oct 1582", "10/15/82", "15.10.1582"},
      {at(1752, 9, 2), stamp, "2 Sep 1752", "9/2/52", "2.09.1752"},
      {at(1753, 1, 1, 12), stamp, "1 Jan 1753 12:00:00", "1/1/53 12:00:00 PM", "1.01.1753 12:00:00"},
      {at(9999, 12, 31, 23, 59, 59), stamp, "31 Dec 9999 23:59:59", "12/31/99 11:59:59 PM", "31.12.9999 23:59:59"},
      {at(2001, 1, 1, 0, 0, 1), stamp, "1 Jan 2001 00:00:01", "1/1/01 12:00:01 AM", "1.01.2001 00:00:01"},
      {at(2001, 1, 1, 0, 30), stamp, "1 Jan 2001 00:30:00", "1/1/01 12:30:00 AM", "1.01.2001 00:30:00"},
      {at(2001, 1, 1, 11, 59, 59), stamp, "1 Jan 2001 11:59:59", "1/1/01 11:59:59 AM", "1.01.2001 11:59:59"},
      {at(2001, 1, 1, 12), stamp, "1 Jan 2001 12:00:00", "1/1/01 12:00:00 PM", "1.01.2001 12:00:00"},
      {at(2001, 1, 1, 12, 30, 5), stamp, "1 Jan 2001 12:30:05", "1/1/01 12:30:05 PM", "1.01.2001 12:30:05"},
      {at(2001, 1, 1, 13), stamp, "1 Jan 2001 13:00:00", "1/1/01 1:00:00 PM", "1.01.2001 13:00:00"},
      {at(2001, 1, 1, 23, 59, 59), stamp, "1 Jan 2001 23:59:59", "1/1/01 11:59:59 PM", "1.01.2001 23:59:59"},
      {at(2010, 1, 9, 1, 2, 3), stamp, "9 Jan 2010 01:02:03", "1/9/10 1:02:03 AM", "9.01.2010 01:02:03"},
      {at(2010, 10, 10, 10, 10, 10), stamp, "10 Oct 2010 10:10:10", "10/10/10 10:10:10 AM", "10.10.2010 10:10:10"},
      {at(2010, 11, 30), stamp, "30 Nov 2010", "11/30/10", "30.11.2010"},
      {at(2010, 12, 31, 9, 5, 7), onlyDate, "31 Dec 2010", "12/31/10", "31.12.2010"},
      {at(2010, 12, 31, 9, 5, 7), onlyTime, "09:05:07", "9:05:07 AM", "09:05:07"},
      {-657435.0, stamp, "31 Dec 0099", "12/31/99", "31.12.0099"},
      {-700000.5, stamp, "18 Jun -0018 12:00:00", "6/18/-18 12:00:00 PM", "18.06.-0018 12:00:00"},
      {-2958465.0, stamp, "29 Dec -6202", "12/29/-2", "29.12.-6202"},
      {2958465.0, stamp, "31 Dec 9999", "12/31/99", "31.12.9999"},
      {2958466.0, stamp, "2958466", "2958466", "2958466"},
      {-3e6, stamp, "-3000000", "-3000000", "-3000000"},
      {nan, stamp, "NAN", "NAN", "NAN"},
      {inf, stamp, "INF", "INF", "INF"},
  });
}

// Digit and exponent boundaries: 15 significant digits, rounding that
// carries into a new power of ten, halfway cases, the switch to E-notation
// below 0.00001 and from 16 digits before the point, the extremes of the
// type, negative zero and what is no number.
TEST(ValueTextSampleTest, Reals) {
  expectTexts({
      {0.0, real, "0", "0", "0"},
      {-0.0, real, "0", "0", "0"},
      {1.0, real, "1", "1", "1"},
      {-1.0, real, "-1", "-1", "-1"},
      {0.1, real, "0.1", "0.1", "0,1"},
      {0.1 + 0.2, real, "0.3", "0.3", "0,3"},
      {1.0 / 3, real, "0.333333333333333", "0.333333333333333", "0,333333333333333"},
      {2.0 / 3, real, "0.666666666666667", "0.666666666666667", "0,666666666666667"},
      {-2.0 / 3, real, "-0.666666666666667", "-0.666666666666667", "-0,666666666666667"},
      {0.5, real, "0.5", "0.5", "0,5"},
      {100.0, real, "100", "100", "100"},
      {444.555, real, "444.555", "444.555", "444,555"},
      {690.4257605024213, real, "690.425760502421", "690.425760502421", "690,425760502421"},
      {12345.678901234567, real, "12345.6789012346", "12345.6789012346", "12345,6789012346"},
      {12345678.9, real, "12345678.9", "12345678.9", "12345678,9"},
      {99999.99999999999, real, "100000", "100000", "100000"},
      {0.00001, real, "0.00001", "0.00001", "0,00001"},
      {0.000012345, real, "0.000012345", "0.000012345", "0,000012345"},
      {5e-5, real, "0.00005", "0.00005", "0,00005"},
      {9.99999999999999e-6, real, "9.99999999999999E-6", "9.99999999999999E-6", "9,99999999999999E-6"},
      {9.999999999999995e-6, real, "0.00001", "0.00001", "0,00001"},
      {9.9999999999999999e-6, real, "0.00001", "0.00001", "0,00001"},
      {0.000001, real, "1E-6", "1E-6", "1E-6"},
      {-0.0000015, real, "-1.5E-6", "-1.5E-6", "-1,5E-6"},
      {1e-7, real, "1E-7", "1E-7", "1E-7"},
      {1.5e-8, real, "1.5E-8", "1.5E-8", "1,5E-8"},
      {1e-9, real, "1E-9", "1E-9", "1E-9"},
      {0.99999999999999, real, "0.99999999999999", "0.99999999999999", "0,99999999999999"},
      {0.9999999999999999, real, "1", "1", "1"},
      {1e14, real, "100000000000000", "100000000000000", "100000000000000"},
      {123456789012345.0, real, "123456789012345", "123456789012345", "123456789012345"},
      {999999999999999.0, real, "999999999999999", "999999999999999", "999999999999999"},
      {999999999999999.4, real, "999999999999999", "999999999999999", "999999999999999"},
      {999999999999999.5, real, "1E15", "1E15", "1E15"},
      {9.999999999999999e14, real, "1E15", "1E15", "1E15"},
      {1e15, real, "1E15", "1E15", "1E15"},
      {1234567890123455.0, real, "1.23456789012346E15", "1.23456789012346E15", "1,23456789012346E15"},
      {1234567890123465.0, real, "1.23456789012346E15", "1.23456789012346E15", "1,23456789012346E15"},
      {1234567890123456.0, real, "1.23456789012346E15", "1.23456789012346E15", "1,23456789012346E15"},
      {-1234567890123456.0, real, "-1.23456789012346E15", "-1.23456789012346E15", "-1,23456789012346E15"},
      {1.5e20, real, "1.5E20", "1.5E20", "1,5E20"},
      {1e21, real, "1E21", "1E21", "1E21"},
      {1e22, real, "1E22", "1E22", "1E22"},
      {1e23, real, "1E23", "1E23", "1E23"},
      {1.7976931348623157e308, real, "1.79769313486232E308", "1.79769313486232E308", "1,79769313486232E308"},
      {-1.7976931348623157e308, real, "-1.79769313486232E308", "-1.79769313486232E308", "-1,79769313486232E308"},
      {2.2250738585072014e-308, real, "2.2250738585072E-308", "2.2250738585072E-308", "2,2250738585072E-308"},
      {4.9406564584124654e-324, real, "4.94065645841247E-324", "4.94065645841247E-324", "4,94065645841247E-324"},
      {inf, real, "INF", "INF", "INF"},
      {-inf, real, "-INF", "-INF", "-INF"},
      {nan, real, "NAN", "NAN", "NAN"},
  });
}

TEST(ValueTextSampleTest, Singles) {
  expectTexts({
      {double(444.555f), single, "444.555", "444.555", "444,555"},
      {double(0.1f), single, "0.1", "0.1", "0,1"},
      {double(-2.5f), single, "-2.5", "-2.5", "-2,5"},
      {double(123456.7f), single, "123456.7", "123456.7", "123456,7"},
      {double(16777216.0f), single, "16777216", "16777216", "16777216"},
      {double(0.00001f), single, "0.00001", "0.00001", "0,00001"},
      {double(1e-7f), single, "1E-7", "1E-7", "1E-7"},
      {double(3.4028235e38f), single, "3.4028235E38", "3.4028235E38", "3,4028235E38"},
      {double(1.17549435e-38f), single, "1.1754944E-38", "1.1754944E-38", "1,1754944E-38"},
      {double(1.4e-45f), single, "1E-45", "1E-45", "1E-45"},
  });
}

TEST(ValueTextSampleTest, Currency) {
  expectTexts({
      {std::int64_t(0), currency, "0", "0", "0"},
      {std::int64_t(1), currency, "0.0001", "0.0001", "0,0001"},
      {std::int64_t(-1), currency, "-0.0001", "-0.0001", "-0,0001"},
      {std::int64_t(5000), currency, "0.5", "0.5", "0,5"},
      {std::int64_t(35000), currency, "3.5", "3.5", "3,5"},
      {std::int64_t(957229200), currency, "95722.92", "95722.92", "95722,92"},
      {std::int64_t(10000), currency, "1", "1", "1"},
      {std::int64_t(-10000), currency, "-1", "-1", "-1"},
      {std::int64_t(123450), currency, "12.345", "12.345", "12,345"},
      {std::int64_t(99990000), currency, "9999", "9999", "9999"},
      {std::int64_t(12345678901234), currency, "1234567890.1234", "1234567890.1234", "1234567890,1234"},
      {max, currency, "922337203685477.5807", "922337203685477.5807", "922337203685477,5807"},
      {min, currency, "-922337203685477.5808", "-922337203685477.5808", "-922337203685477,5808"},
  });
}

TEST(ValueTextSampleTest, IntegersBooleansNullsAndDecimals) {
  expectTexts({
      {std::int64_t(0), integer, "0", "0", "0"},
      {std::int64_t(-1234567), integer, "-1234567", "-1234567", "-1234567"},
      {std::int64_t(2147483647), integer, "2147483647", "2147483647", "2147483647"},
      {std::int64_t(-2147483648LL), integer, "-2147483648", "-2147483648", "-2147483648"},
      {std::int64_t(-32768), smallInt, "-32768", "-32768", "-32768"},
      {max, bigInt, "9223372036854775807", "9223372036854775807", "9223372036854775807"},
      {min, bigInt, "-9223372036854775808", "-9223372036854775808", "-9223372036854775808"},
      {std::int64_t(-1), unsignedBigInt, "18446744073709551615", "18446744073709551615", "18446744073709551615"},
      {true, boolean, "True", "True", "True"},
      {false, boolean, "False", "False", "False"},
      {Cell(), integer, "", "", ""},
      {Cell(), stamp, "", "", ""},
      {Cell(), real, "", "", ""},
      {QString("-12.3400"), fourDecimals, "-12.34", "-12.34", "-12,34"},
      {QString("0.99995"), fourDecimals, "1", "1", "1"},
      {QString("-0.00004"), fourDecimals, "0", "0", "0"},
      {QString("0.0000"), fourDecimals, "0", "0", "0"},
      {QString("+5.50"), twoDecimals, "5.5", "5.5", "5,5"},
      {QString("007.10"), twoDecimals, "7.1", "7.1", "7,1"},
      {QString("123456789012345678"), wide, "123456789012345678", "123456789012345678", "123456789012345678"},
      {QString("0.123456789"), manyDecimals, "0.123456789", "0.123456789", "0,123456789"},
      {QString("-99999999999999999999.999999000"), manyDecimals, "-99999999999999999999.999999",
       "-99999999999999999999.999999", "-99999999999999999999,999999"},
  });
}

// What the texts are, written the plain way: the date and the time through
// Qt's formatting of the locale's formats, a real through printf's 15
// significant digits. Random values are checked against it.
QString modelReal(double value, const QLocale& locale) {
  if (value == 0) return QStringLiteral("0");
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
  const char* e = std::strchr(buffer, 'e');
  const int exponent = std::atoi(e + 1);
  QString digits = QString::fromLatin1(buffer, 1) + QString::fromLatin1(buffer + 2, e - buffer - 2);
  while (digits.size() > 1 && digits.endsWith('0')) digits.chop(1);
  const QString sign = value < 0 ? QStringLiteral("-") : QString();
  const QString point = locale.decimalPoint();
  if (exponent < -5 || exponent >= 15)
    return sign + digits[0] + (digits.size() > 1 ? point + digits.mid(1) : QString()) + 'E' + QString::number(exponent);
  if (exponent < 0) return sign + "0" + point + QString(-exponent - 1, '0') + digits;
  if (digits.size() <= exponent + 1) return sign + digits + QString(exponent + 1 - digits.size(), '0');
  return sign + digits.left(exponent + 1) + point + digits.mid(exponent + 1);
}

QString modelDateTime(double days, DataType type, const QLocale& locale) {
  const std::int64_t ms = msSinceEpoch(days);
  const std::int64_t seconds = static_cast<std::int64_t>(std::floor((ms + 500) / 1000.0));
  const std::int64_t day = static_cast<std::int64_t>(std::floor(seconds / 86400.0));
  const int second = static_cast<int>(seconds - day * 86400);
  const QString dateText = locale.toString(QDate(1899, 12, 30).addDays(day), QLocale::ShortFormat);
  const QString timeText = locale.toString(QTime(0, 0).addSecs(second), longTimeFormat(locale));
  if (type == DataType::DBDate) return dateText;
  if (type == DataType::DBTime) return timeText;
  return second == 0 ? dateText : dateText + ' ' + timeText;
}

// Doubles of every kind: any bit pattern, values near decimal halfway points
// and near powers of ten, and prices like those of a shop's table.
std::vector<double> randomReals(std::mt19937_64& random, int count) {
  std::vector<double> values;
  std::uniform_int_distribution<int> kind(0, 3);
  std::uniform_int_distribution<std::int64_t> fifteen(100'000'000'000'000, 999'999'999'999'999);
  std::uniform_int_distribution<int> power(-24, 22);
  while (static_cast<int>(values.size()) < count) {
    double value = 0;
    switch (kind(random)) {
      case 0: {
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        break;
      }
      case 1:
        value = (static_cast<double>(fifteen(random)) + 0.5) * std::pow(10.0, power(random));
        break;
      case 2:
        value = std::nextafter(std::pow(10.0, power(random)), (random() & 1) ? 0.0 : 1e300);
        break;
      default:
        value = std::uniform_real_distribution<double>(0, 1000)(random);
        break;
    }
    if (std::isfinite(value)) values.push_back((random() & 1) ? -value : value);
  }
  return values;
}

TEST(ValueTextModelTest, RandomRealsInSeveralLocales) {
  const std::uint64_t seed = 20241117;
  SCOPED_TRACE(testing::Message() << "seed " << seed);
  std::mt19937_64 random(seed);
  const std::vector<double> values = randomReals(random, 100'000);
  for (const QLocale& locale : {kPolish, QLocale(QLocale::Arabic, QLocale::Egypt)}) {
    for (double value : values) {
      const QString expected = modelReal(value, locale);
      const QString actual = valueText(value, real, locale);
      if (actual != expected) {
        ADD_FAILURE() << "value " << std::hexfloat << value << ": " << actual.toStdString() << " instead of "
                      << expected.toStdString();
        return;
      }
    }
  }
}

// Every locale Qt knows, each with its own formats, names, digits and
// markers of the time of day.
TEST(ValueTextModelTest, RandomDatesInEveryLocale) {
  const std::uint64_t seed = 19741021;
  SCOPED_TRACE(testing::Message() << "seed " << seed);
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> days(-657434.0, 2958466.0);
  std::uniform_int_distribution<int> milliseconds(0, 86'399'999);
  const DataType types[] = {DataType::DBTimeStamp, DataType::DBDate, DataType::DBTime};
  for (const QLocale& locale :
       QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
    for (int i = 0; i < 30; ++i) {
      const double whole = std::trunc(days(random));
      const double value = (i % 5 == 0) ? whole : whole + std::copysign(milliseconds(random) / 86'400'000.0, whole);
      const DataType type = types[i % 3];
      const QString expected = modelDateTime(value, type, locale);
      const QString actual = valueText(value, typedColumn(type), locale);
      if (actual != expected) {
        ADD_FAILURE() << locale.name().toStdString() << ", " << std::hexfloat << value << ": " << actual.toStdString()
                      << " instead of " << expected.toStdString();
        return;
      }
    }
  }
}

}  // namespace
}  // namespace tabrix
