#include "data/date_time_pattern.h"

#include <algorithm>

namespace tabrix {

namespace {

std::u16string utf16(const QString& text) { return text.toStdU16String(); }

// A quoted part of a format, from its opening quote at `i`, which moves past
// the closing one: "''" stands for a quote, inside quotes or out.
QString quotedText(const QString& format, qsizetype& i) {
  ++i;
  if (i < format.size() && format[i] == u'\'') {
    ++i;
    return QStringLiteral("'");
  }
  QString text;
  while (i < format.size()) {
    if (format[i] != u'\'') {
      text += format[i++];
    } else if (i + 1 < format.size() && format[i + 1] == u'\'') {
      text += u'\'';
      i += 2;
    } else {
      break;
    }
  }
  if (i < format.size()) ++i;
  return text;
}

// A number below 100.
inline char16_t* writeNumber(char16_t* out, char16_t zero, int value, bool padded) {
  const unsigned tens = static_cast<unsigned>(value) / 10;
  if (tens != 0 || padded) *out++ = static_cast<char16_t>(zero + tens);
  *out++ = static_cast<char16_t>(zero + static_cast<unsigned>(value) - tens * 10);
  return out;
}

// A time format with an AM/PM marker writes hours on a 12-hour clock.
bool hasAmPm(const QString& format) {
  for (qsizetype i = 0; i < format.size();) {
    if (format[i] == u'\'') {
      quotedText(format, i);
      continue;
    }
    if (format[i] == u'a' || format[i] == u'A') return true;
    ++i;
  }
  return false;
}

}  // namespace

std::optional<DateTimePattern> DateTimePattern::compile(const QString& format, Kind kind, const QLocale& locale,
                                                        const QtText& qt) {
  DateTimePattern pattern;
  if (!pattern.parse(format, kind, locale) || !pattern.sameAsQt(kind, qt)) return std::nullopt;
  return pattern;
}

int DateTimePattern::addNames(std::vector<std::u16string> names) {
  m_names.push_back(std::move(names));
  return static_cast<int>(m_names.size()) - 1;
}

// The letters of QLocale::toString: a run of one letter is one field, and a
// letter that is no field of this kind of value stands for itself.
bool DateTimePattern::parse(const QString& format, Kind kind, const QLocale& locale) {
  const QString zero = locale.zeroDigit();
  if (zero.size() != 1) return false;
  m_zero = zero[0].unicode();
  const bool twelveHours = kind == Kind::Time && hasAmPm(format);

  const auto literal = [&](const QString& text) {
    m_pieces.push_back({Field::Literal, false, 0, static_cast<std::uint32_t>(m_literals.size()),
                        static_cast<std::uint32_t>(text.size())});
    m_literals += utf16(text);
    m_maxLength += text.size();
  };
  const auto number = [&](Field field, bool padded, int digits) {
    m_pieces.push_back({field, padded, 0, 0, 0});
    m_maxLength += digits;
  };
  const auto names = [&](Field field, std::vector<std::u16string> table) {
    std::size_t longest = 0;
    for (const std::u16string& name : table) longest = std::max(longest, name.size());
    m_pieces.push_back({field, false, addNames(std::move(table)), 0, 0});
    m_maxLength += static_cast<qsizetype>(longest);
  };
  const auto nameTable = [&](int count, auto nameOf) {
    std::vector<std::u16string> table;
    for (int i = 1; i <= count; ++i) table.push_back(utf16(nameOf(i)));
    return table;
  };

  for (qsizetype i = 0; i < format.size();) {
    if (format[i] == u'\'') {
      literal(quotedText(format, i));
      continue;
    }
    const QChar c = format[i];
    qsizetype repeat = 1;
    while (i + repeat < format.size() && format[i + repeat] == c) ++repeat;
    bool used = true;
    if (kind == Kind::Date) {
      switch (c.unicode()) {
        case 'y':
          if (repeat >= 4) {
            repeat = 4;
            number(Field::Year, true, 4);
          } else if (repeat >= 2) {
            repeat = 2;
            number(Field::ShortYear, true, 2);
          } else {
            literal(QStringLiteral("y"));
          }
          break;
        case 'M':
        case 'd': {
          repeat = std::min<qsizetype>(repeat, 4);
          const bool month = c == u'M';
          if (repeat <= 2) {
            number(month ? Field::Month : Field::Day, repeat == 2, 2);
            break;
          }
          const QLocale::FormatType type = repeat == 3 ? QLocale::ShortFormat : QLocale::LongFormat;
          if (month)
            names(Field::MonthName, nameTable(12, [&](int m) { return locale.monthName(m, type); }));
          else
            names(Field::DayName, nameTable(7, [&](int d) { return locale.dayName(d, type); }));
          break;
        }
        default:
          used = false;
      }
    } else {
      switch (c.unicode()) {
        case 'h':
        case 'H':
        case 'm':
        case 's': {
          repeat = std::min<qsizetype>(repeat, 2);
          const Field field = c == u'h' ? (twelveHours ? Field::Hour12 : Field::Hour)
                              : c == u'H' ? Field::Hour
                              : c == u'm' ? Field::Minute
                                          : Field::Second;
          number(field, repeat == 2, 2);
          break;
        }
        case 'a':
        case 'A': {
          const QChar next = i + 1 < format.size() ? format[i + 1] : QChar();
          repeat = next.toLower() == u'p' ? 2 : 1;
          // "AP" and "A" in capitals, "ap" and "a" in small letters, a mixed
          // pair as the locale writes it.
          const bool upper = c == u'A' && (repeat == 1 || next == u'P');
          const bool lower = c == u'a' && (repeat == 1 || next == u'p');
          const auto marker = [&](QString text) { return upper ? text.toUpper() : lower ? text.toLower() : text; };
          names(Field::AmPm, {utf16(marker(locale.amText())), utf16(marker(locale.pmText()))});
          break;
        }
        case 'z':
        case 't':
          return false;
        default:
          used = false;
      }
    }
    if (!used) literal(QString(repeat, c));
    i += repeat;
  }
  return true;
}

// Every month with its first, tenth, 28th and last day, in years of one to
// four digits and either side of 1900 and 2000 (which gives every weekday),
// and every hour with minutes and seconds of one and two digits.
bool DateTimePattern::sameAsQt(Kind kind, const QtText& qt) const {
  std::vector<char16_t> buffer(static_cast<std::size_t>(m_maxLength) + 1);
  const auto same = [&](const char16_t* end, const QString& qt) {
    return QStringView(buffer.data(), end - buffer.data()) == qt;
  };
  if (kind == Kind::Date) {
    const QDate epoch(1899, 12, 30);
    for (int year : {100, 999, 1000, 1899, 1900, 1909, 1999, 2000, 2024, 9999}) {
      for (int month = 1; month <= 12; ++month) {
        const int last = QDate(year, month, 1).daysInMonth();
        for (int day : {1, 10, 28, last}) {
          const QDate date(year, month, day);
          if (!same(write(buffer.data(), civilDate(epoch.daysTo(date))), qt(date, QTime()))) return false;
        }
      }
    }
    return true;
  }
  for (int hour = 0; hour < 24; ++hour) {
    for (const auto& [minute, second] : {std::pair{0, 0}, std::pair{5, 9}, std::pair{59, 59}}) {
      if (!same(write(buffer.data(), hour, minute, second), qt(QDate(), QTime(hour, minute, second)))) return false;
    }
  }
  return true;
}

char16_t* DateTimePattern::writeName(char16_t* out, int names, int index) const {
  const std::u16string& name = m_names[names][index];
  return std::copy(name.begin(), name.end(), out);
}

char16_t* DateTimePattern::writePieces(char16_t* out, const CivilDate* date, int hour, int minute, int second) const {
  for (const Piece& piece : m_pieces) {
    switch (piece.field) {
      case Field::Literal:
        // Mostly one character between the numbers.
        if (piece.length == 1)
          *out++ = m_literals[piece.offset];
        else
          out = std::copy_n(m_literals.data() + piece.offset, piece.length, out);
        break;
      case Field::Day:
        out = writeNumber(out, m_zero, date->day, piece.padded);
        break;
      case Field::DayName:
        out = writeName(out, piece.names, date->weekday - 1);
        break;
      case Field::Month:
        out = writeNumber(out, m_zero, date->month, piece.padded);
        break;
      case Field::MonthName:
        out = writeName(out, piece.names, date->month - 1);
        break;
      case Field::ShortYear:
        out = writeNumber(out, m_zero, date->year % 100, true);
        break;
      case Field::Year:
        out = writeNumber(out, m_zero, date->year / 100, true);
        out = writeNumber(out, m_zero, date->year % 100, true);
        break;
      case Field::Hour:
        out = writeNumber(out, m_zero, hour, piece.padded);
        break;
      case Field::Hour12:
        out = writeNumber(out, m_zero, hour == 0 ? 12 : hour > 12 ? hour - 12 : hour, piece.padded);
        break;
      case Field::Minute:
        out = writeNumber(out, m_zero, minute, piece.padded);
        break;
      case Field::Second:
        out = writeNumber(out, m_zero, second, piece.padded);
        break;
      case Field::AmPm:
        out = writeName(out, piece.names, hour < 12 ? 0 : 1);
        break;
    }
  }
  return out;
}

char16_t* DateTimePattern::write(char16_t* out, const CivilDate& date) const {
  return writePieces(out, &date, 0, 0, 0);
}

char16_t* DateTimePattern::write(char16_t* out, int hour, int minute, int second) const {
  return writePieces(out, nullptr, hour, minute, second);
}

}  // namespace tabrix
