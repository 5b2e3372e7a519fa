#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/date_time.h"

namespace tabrix {

// A date format or a time format in QLocale::toString's letters ("dd.MM.yyyy",
// "h:mm:ss AP"), read once for one locale, so that writing a value neither
// parses the format nor asks the locale again.
//
// compile() gives one only where it writes exactly what the caller's Qt
// call (`qt`, given a date or a time) writes: the pattern is checked against
// it on dates of every month, day and weekday and on times of every hour
// before it is given. A format with letters it doesn't know gives nothing,
// and the caller asks Qt.
class DateTimePattern {
 public:
  enum class Kind { Date, Time };
  using QtText = std::function<QString(QDate date, QTime time)>;

  static std::optional<DateTimePattern> compile(const QString& format, Kind kind, const QLocale& locale,
                                                const QtText& qt);

  // Years this pattern writes; Qt writes the others.
  static bool writes(const CivilDate& date) { return date.year >= 100 && date.year <= 9999; }

  // The most characters one value takes.
  qsizetype maxLength() const { return m_maxLength; }

  // Write at `out`, which has room for maxLength() characters, and give the
  // end of what was written.
  char16_t* write(char16_t* out, const CivilDate& date) const;
  char16_t* write(char16_t* out, int hour, int minute, int second) const;

 private:
  enum class Field : std::uint8_t {
    Literal,
    Day,
    DayName,
    Month,
    MonthName,
    ShortYear,
    Year,
    Hour,
    Hour12,
    Minute,
    Second,
    AmPm,
  };
  struct Piece {
    Field field;
    bool padded;  // numbers in two digits
    int names;    // the name table of a name or an AM/PM marker
    std::uint32_t offset;  // of a literal in m_literals
    std::uint32_t length;
  };

  DateTimePattern() = default;
  bool parse(const QString& format, Kind kind, const QLocale& locale);
  int addNames(std::vector<std::u16string> names);
  bool sameAsQt(Kind kind, const QtText& qt) const;
  char16_t* writeName(char16_t* out, int names, int index) const;
  char16_t* writePieces(char16_t* out, const CivilDate* date, int hour, int minute, int second) const;

  std::vector<Piece> m_pieces;
  std::u16string m_literals;
  std::vector<std::vector<std::u16string>> m_names;
  char16_t m_zero = u'0';
  qsizetype m_maxLength = 0;
};

}  // namespace tabrix
