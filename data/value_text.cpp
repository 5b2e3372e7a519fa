#include "data/value_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "data/ansi_code_page.h"
#include "data/date_time.h"

namespace tabrix {

namespace {

// Significant digits without a decimal point or trailing zeros, and the
// power of ten of the first one.
struct Digits {
  std::string digits;
  int exponent = 0;
};

Digits digitsOf(double magnitude, bool single) {
  char buffer[64];
  int length = 0;
  if (single) {
    // A Single shows as the shortest text that reads back as the same Single.
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(magnitude),
                                   std::chars_format::scientific);
    length = static_cast<int>(end - buffer);
  } else {
    length = std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
  }
  const std::string text(buffer, length);
  const auto e = text.find('e');
  Digits result;
  result.exponent = std::stoi(text.substr(e + 1));
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.') result.digits += text[i];
  while (result.digits.size() > 1 && result.digits.back() == '0') result.digits.pop_back();
  return result;
}

// "-123.4500" → "-123,45": trailing zeros dropped, at most `maxDecimals`
// decimals (rounded half away from zero), the locale's separator.
QString decimalText(const QString& exact, int maxDecimals, const QLocale& locale) {
  QString text = exact.trimmed();
  bool negative = text.startsWith('-');
  if (negative || text.startsWith('+')) text.remove(0, 1);
  qsizetype point = text.indexOf('.');
  QString whole = point < 0 ? text : text.left(point);
  QString fraction = point < 0 ? QString() : text.mid(point + 1);
  if (maxDecimals >= 0 && fraction.size() > maxDecimals) {
    const bool up = fraction[maxDecimals] >= QChar('5');
    fraction.truncate(maxDecimals);
    if (up) {
      QString digits = whole + fraction;
      qsizetype i = digits.size() - 1;
      for (; i >= 0; --i) {
        if (digits[i] == QChar('9')) {
          digits[i] = QChar('0');
        } else {
          digits[i] = QChar(digits[i].unicode() + 1);
          break;
        }
      }
      if (i < 0) digits.prepend('1');
      whole = digits.left(digits.size() - fraction.size());
      fraction = digits.right(fraction.size());
    }
  }
  while (fraction.endsWith('0')) fraction.chop(1);
  while (whole.size() > 1 && whole.startsWith('0')) whole.remove(0, 1);
  if (whole.isEmpty()) whole = QStringLiteral("0");
  if (whole == QLatin1String("0") && fraction.isEmpty()) negative = false;
  QString result = negative ? QStringLiteral("-") : QString();
  result += whole;
  if (!fraction.isEmpty()) result += locale.decimalPoint() + fraction;
  return result;
}

QString currencyText(std::int64_t tenThousandths, const QLocale& locale) {
  const bool negative = tenThousandths < 0;
  const std::uint64_t magnitude =
      negative ? std::uint64_t(0) - static_cast<std::uint64_t>(tenThousandths) : static_cast<std::uint64_t>(tenThousandths);
  QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QChar('0'));
  while (fraction.endsWith('0')) fraction.chop(1);
  QString result = negative ? QStringLiteral("-") : QString();
  result += QString::number(magnitude / 10000);
  if (!fraction.isEmpty()) result += locale.decimalPoint() + fraction;
  return result;
}

QString dateTimeText(double days, DataType type, const QLocale& locale) {
  // Past the years a calendar shows (a damaged value): the number itself.
  if (!std::isfinite(days) || std::fabs(days) > 2'958'465.0) return realText(days, false, locale);
  // Shown to the nearest second, as Access shows it.
  constexpr std::int64_t kSecondsPerDay = 86400;
  const std::int64_t ms = msSinceEpoch(days);
  const std::int64_t halfUp = ms + 500;
  const std::int64_t seconds = halfUp / 1000 - (halfUp % 1000 != 0 && halfUp < 0 ? 1 : 0);
  std::int64_t day = seconds / kSecondsPerDay;
  std::int64_t second = seconds % kSecondsPerDay;
  if (second < 0) {
    second += kSecondsPerDay;
    --day;
  }
  const QDate date = QDate(1899, 12, 30).addDays(day);
  const QTime time = QTime(0, 0).addSecs(static_cast<int>(second));
  const QString dateText = locale.toString(date, QLocale::ShortFormat);
  const QString timeText = locale.toString(time, longTimeFormat(locale));
  switch (type) {
    case DataType::DBDate:
      return dateText;
    case DataType::DBTime:
      return timeText;
    default:
      return second == 0 ? dateText : dateText + QChar(' ') + timeText;
  }
}

// Two bytes to a character, low byte first; an odd last byte is left out.
QString utf16Pairs(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size() / 2);
  for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
    text += QChar(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                        (static_cast<std::uint8_t>(bytes[i + 1]) << 8)));
  return text;
}

}  // namespace

QString realText(double value, bool single, const QLocale& locale) {
  if (std::isnan(value)) return QStringLiteral("NAN");
  if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  if (value == 0) return QStringLiteral("0");
  const Digits d = digitsOf(std::fabs(value), single);
  const QString digits = QString::fromLatin1(d.digits.data(), static_cast<qsizetype>(d.digits.size()));
  QString text = value < 0 ? QStringLiteral("-") : QString();
  if (d.exponent < -5 || d.exponent >= 15) {
    text += digits[0];
    if (digits.size() > 1) text += locale.decimalPoint() + digits.mid(1);
    text += QChar('E') + QString::number(d.exponent);
    return text;
  }
  if (d.exponent < 0) {
    text += QChar('0') + locale.decimalPoint() + QString(-d.exponent - 1, QChar('0')) + digits;
    return text;
  }
  const qsizetype wholeDigits = d.exponent + 1;
  if (digits.size() <= wholeDigits) return text + digits + QString(wholeDigits - digits.size(), QChar('0'));
  return text + digits.left(wholeDigits) + locale.decimalPoint() + digits.mid(wholeDigits);
}

QString longTimeFormat(const QLocale& locale) {
  // Qt's long time format names the time zone ("t"); the user's time format
  // has none.
  const QString format = locale.timeFormat(QLocale::LongFormat);
  QString result;
  bool quoted = false;
  for (QChar c : format) {
    if (c == QChar('\'')) quoted = !quoted;
    if (!quoted && c == QChar('t')) continue;
    result += c;
  }
  return result.simplified();
}

QString guidText(const Guid& g) {
  const auto le32 = [&](int i) { return std::uint32_t(g[i]) | std::uint32_t(g[i + 1]) << 8 | std::uint32_t(g[i + 2]) << 16 | std::uint32_t(g[i + 3]) << 24; };
  const auto le16 = [&](int i) { return std::uint32_t(g[i]) | std::uint32_t(g[i + 1]) << 8; };
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", le32(0), le16(4), le16(6),
                g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
  return QString::fromLatin1(buffer);
}

QString valueText(const Cell& value, const ColumnInfo& column, const QLocale& locale) {
  if (isNull(value)) return {};
  const DataType type = column.type;
  switch (valueKind(type)) {
    case ValueKind::Boolean:
      return std::get<bool>(value) ? QStringLiteral("True") : QStringLiteral("False");
    case ValueKind::Integer: {
      const std::int64_t n = std::get<std::int64_t>(value);
      return type == DataType::UnsignedBigInt ? QString::number(static_cast<std::uint64_t>(n)) : QString::number(n);
    }
    case ValueKind::Real:
      return realText(std::get<double>(value), type == DataType::Single, locale);
    case ValueKind::Currency:
      return currencyText(std::get<std::int64_t>(value), locale);
    case ValueKind::DateTime:
      return dateTimeText(std::get<double>(value), type, locale);
    case ValueKind::Guid:
      return guidText(std::get<Guid>(value));
    case ValueKind::Bytes: {
      const QByteArray& bytes = std::get<QByteArray>(value);
      return type == DataType::LongVarBinary ? fromAnsi(bytes, locale) : utf16Pairs(bytes);
    }
    case ValueKind::Text: {
      const QString& text = std::get<QString>(value);
      if (!isDecimalType(type)) return text;
      const bool fourDecimals = column.precision < 20 && column.scale <= 4;
      return decimalText(text, fourDecimals ? 4 : -1, locale);
    }
  }
  return {};
}

int defaultDisplayWidth(const ColumnInfo& column) {
  switch (column.type) {
    case DataType::BSTR:
    case DataType::Char:
    case DataType::WChar:
    case DataType::VarChar:
    case DataType::VarWChar:
      return column.size;
    case DataType::BigInt:
    case DataType::UnsignedBigInt:
    case DataType::Variant:
    case DataType::PropVariant:
      return 15;
    case DataType::Currency:
      return column.precision == 0 ? 10 : column.precision + 1;
    case DataType::Numeric:
    case DataType::Decimal:
    case DataType::VarNumeric:
      if (column.type == DataType::Numeric && column.scale == 0 && column.precision < 10) return 10;
      return column.precision == 0 ? 10 : column.precision + 1;
    case DataType::Boolean:
      return 5;
    case DataType::Date:
    case DataType::DBTimeStamp:
    case DataType::FileTime:
    case DataType::DBFileTime:
      return 18;
    case DataType::GUID:
      return 38;
    default:
      return 10;
  }
}

}  // namespace tabrix
