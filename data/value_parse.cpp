#include "data/value_parse.h"

#include <QDateTime>
#include <QUuid>
#include <cmath>
#include <limits>

#include "data/ansi_code_page.h"
#include "data/date_time.h"
#include "data/value_text.h"

namespace tabrix {

namespace {

std::pair<std::int64_t, std::int64_t> integerRange(DataType type) {
  switch (type) {
    case DataType::TinyInt:
      return {-128, 127};
    case DataType::UnsignedTinyInt:
      return {0, 255};
    case DataType::SmallInt:
      return {-32768, 32767};
    case DataType::UnsignedSmallInt:
      return {0, 65535};
    case DataType::Integer:
    case DataType::Error:
      return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    case DataType::UnsignedInt:
      return {0, std::numeric_limits<std::uint32_t>::max()};
    default:
      return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
  }
}

std::int64_t checkedInteger(std::int64_t value, const QString& text, const ColumnInfo& column) {
  const auto [low, high] = integerRange(column.type);
  if (value < low || value > high)
    throw ValueError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                         .arg(text, column.name)
                         .arg(low)
                         .arg(high));
  return value;
}

// An exact decimal in "-123.45" form from text with the locale's (or a ".")
// decimal separator; empty when the text is no plain decimal number.
QString exactDecimal(const QString& text, const QLocale& locale) {
  QString s = text.trimmed();
  s.remove(locale.groupSeparator());
  QString result;
  qsizetype i = 0;
  if (i < s.size() && (s[i] == QChar('-') || s[i] == QChar('+'))) {
    if (s[i] == QChar('-')) result += QChar('-');
    ++i;
  }
  bool digits = false;
  bool point = false;
  for (; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c.isDigit()) {
      result += QChar('0' + c.digitValue());
      digits = true;
    } else if (!point && (c == locale.decimalPoint().front() || c == QChar('.'))) {
      result += QChar('.');
      point = true;
    } else {
      return {};
    }
  }
  if (result.endsWith(QChar('.'))) result.chop(1);
  return digits ? result : QString();
}

// Rounds an exact decimal to `scale` decimals, half away from zero.
QString roundedDecimal(const QString& exact, int scale) {
  const qsizetype point = exact.indexOf('.');
  if (point < 0 || exact.size() - point - 1 <= scale) return exact;
  const bool negative = exact.startsWith('-');
  QString digits = exact.mid(negative ? 1 : 0);
  digits.remove('.');
  const qsizetype keep = (point - (negative ? 1 : 0)) + scale;
  const bool up = digits[keep] >= QChar('5');
  digits.truncate(keep);
  if (up) {
    qsizetype i = digits.size() - 1;
    for (; i >= 0 && digits[i] == QChar('9'); --i) digits[i] = QChar('0');
    if (i < 0)
      digits.prepend('1');
    else
      digits[i] = QChar(digits[i].unicode() + 1);
  }
  QString result = negative ? QStringLiteral("-") : QString();
  const qsizetype whole = digits.size() - scale;
  result += whole > 0 ? digits.left(whole) : QStringLiteral("0");
  if (scale > 0) result += QChar('.') + digits.right(scale);
  return result;
}

std::optional<double> parseReal(const QString& text, const QLocale& locale) {
  bool ok = false;
  double value = locale.toDouble(text.trimmed(), &ok);
  if (!ok) value = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok) return std::nullopt;
  return value;
}

std::optional<QDateTime> parseDateTime(const QString& text, const QLocale& locale) {
  const QString t = text.simplified();
  const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
  const QString longTime = longTimeFormat(locale);
  const QString shortTime = locale.timeFormat(QLocale::ShortFormat);
  for (const QString& format : {shortDate + ' ' + longTime, shortDate + ' ' + shortTime, shortDate,
                                QStringLiteral("yyyy-MM-dd HH:mm:ss"), QStringLiteral("yyyy-MM-dd HH:mm"),
                                QStringLiteral("yyyy-MM-dd")}) {
    QDateTime value = locale.toDateTime(t, format);
    if (value.isValid()) return QDateTime(value.date(), value.time(), Qt::UTC);
  }
  for (const QString& format : {longTime, shortTime, QStringLiteral("HH:mm:ss"), QStringLiteral("HH:mm")}) {
    const QTime time = locale.toTime(t, format);
    if (time.isValid()) return QDateTime(QDate(1899, 12, 30), time, Qt::UTC);
  }
  return std::nullopt;
}

Guid guidFrom(const QUuid& uuid) {
  Guid g{};
  const std::uint32_t d1 = uuid.data1;
  for (int i = 0; i < 4; ++i) g[i] = static_cast<std::uint8_t>(d1 >> (8 * i));
  g[4] = static_cast<std::uint8_t>(uuid.data2);
  g[5] = static_cast<std::uint8_t>(uuid.data2 >> 8);
  g[6] = static_cast<std::uint8_t>(uuid.data3);
  g[7] = static_cast<std::uint8_t>(uuid.data3 >> 8);
  for (int i = 0; i < 8; ++i) g[8 + i] = uuid.data4[i];
  return g;
}

QUuid uuidFrom(const Guid& g) {
  return QUuid(std::uint32_t(g[0]) | std::uint32_t(g[1]) << 8 | std::uint32_t(g[2]) << 16 | std::uint32_t(g[3]) << 24,
               static_cast<ushort>(g[4] | g[5] << 8), static_cast<ushort>(g[6] | g[7] << 8), g[8], g[9], g[10], g[11],
               g[12], g[13], g[14], g[15]);
}

QByteArray utf16Bytes(const QString& text) {
  QByteArray bytes;
  bytes.reserve(text.size() * 2);
  for (QChar c : text) {
    bytes += static_cast<char>(c.unicode() & 0xFF);
    bytes += static_cast<char>(c.unicode() >> 8);
  }
  return bytes;
}

std::int64_t currencyFromExact(const QString& exact, const QString& text) {
  const QString rounded = roundedDecimal(exact, 4);
  const qsizetype point = rounded.indexOf('.');
  QString digits = rounded;
  QString fraction = point < 0 ? QString() : rounded.mid(point + 1);
  if (point >= 0) digits.truncate(point);
  fraction = fraction.leftJustified(4, QChar('0'));
  bool ok = false;
  const std::int64_t scaled = (digits + fraction).toLongLong(&ok);
  if (!ok) throw ValueError(QStringLiteral("'%1' is not a valid currency value").arg(text));
  return scaled;
}

// A floating-point currency value in ten-thousandths, where it fits.
std::int64_t currencyFromDouble(double value, const QString& text) {
  if (!std::isfinite(value) || std::fabs(value) > 922337203685477.0)
    throw ValueError(QStringLiteral("'%1' is not a valid currency value").arg(text));
  return static_cast<std::int64_t>(std::llround(value * 10000));
}

}  // namespace

std::int64_t currencyFromNumberText(const QString& text) {
  const QString exact = exactDecimal(text, QLocale::c());
  if (!exact.isEmpty()) return currencyFromExact(exact, text);
  bool ok = false;
  const double value = QLocale::c().toDouble(text.trimmed(), &ok);
  if (!ok) throw ValueError(QStringLiteral("'%1' is not a valid currency value").arg(text));
  return currencyFromDouble(value, text);
}

Cell parseValue(const QString& text, const ColumnInfo& column, const QLocale& locale) {
  if (text.isEmpty()) return {};
  const DataType type = column.type;
  switch (valueKind(type)) {
    case ValueKind::Boolean: {
      const QString t = text.trimmed();
      for (const char* yes : {"True", "Yes", "T", "Y", "1", "-1"})
        if (t.compare(QLatin1String(yes), Qt::CaseInsensitive) == 0) return true;
      for (const char* no : {"False", "No", "F", "N", "0"})
        if (t.compare(QLatin1String(no), Qt::CaseInsensitive) == 0) return false;
      throw ValueError(QStringLiteral("'%1' is not a valid boolean value").arg(text));
    }
    case ValueKind::Integer: {
      bool ok = false;
      std::int64_t value = 0;
      if (type == DataType::UnsignedBigInt) {
        value = static_cast<std::int64_t>(locale.toULongLong(text.trimmed(), &ok));
        if (!ok) value = static_cast<std::int64_t>(QLocale::c().toULongLong(text.trimmed(), &ok));
        if (ok) return value;
      } else {
        value = locale.toLongLong(text.trimmed(), &ok);
        if (!ok) value = QLocale::c().toLongLong(text.trimmed(), &ok);
        if (ok) return checkedInteger(value, text, column);
      }
      throw ValueError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    case ValueKind::Real: {
      const std::optional<double> value = parseReal(text, locale);
      if (!value) throw ValueError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
      return *value;
    }
    case ValueKind::Currency: {
      const QString exact = exactDecimal(text, locale);
      if (exact.isEmpty()) throw ValueError(QStringLiteral("'%1' is not a valid currency value").arg(text));
      return currencyFromExact(exact, text);
    }
    case ValueKind::DateTime: {
      const std::optional<QDateTime> value = parseDateTime(text, locale);
      if (!value) throw ValueError(QStringLiteral("'%1' is not a valid date and time").arg(text));
      return daysFrom(*value);
    }
    case ValueKind::Guid: {
      const QUuid uuid(text.trimmed());
      if (uuid.isNull() && text.trimmed() != QUuid().toString())
        throw ValueError(QStringLiteral("'%1' is not a valid GUID value").arg(text));
      return guidFrom(uuid);
    }
    case ValueKind::Bytes:
      return type == DataType::LongVarBinary ? toAnsi(text, locale) : utf16Bytes(text);
    case ValueKind::Text: {
      if (!isDecimalType(type)) return text;
      QString exact = exactDecimal(text, locale);
      if (exact.isEmpty()) throw ValueError(QStringLiteral("'%1' is not a valid BCD value").arg(text));
      return column.scale > 0 || column.precision > 0 ? roundedDecimal(exact, column.scale) : exact;
    }
  }
  return {};
}

Cell cellFromVariant(const QVariant& value, const ColumnInfo& column) {
  if (!value.isValid() || value.isNull()) return {};
  const DataType type = column.type;
  switch (valueKind(type)) {
    case ValueKind::Boolean:
      return value.toBool();
    case ValueKind::Integer: {
      bool ok = false;
      const std::int64_t n = type == DataType::UnsignedBigInt ? static_cast<std::int64_t>(value.toULongLong(&ok))
                                                               : value.toLongLong(&ok);
      if (!ok) throw ValueError(QStringLiteral("'%1' is not a valid integer value").arg(value.toString()));
      return type == DataType::UnsignedBigInt ? n : checkedInteger(n, value.toString(), column);
    }
    case ValueKind::Real: {
      bool ok = false;
      const double d = value.toDouble(&ok);
      if (!ok) throw ValueError(QStringLiteral("'%1' is not a valid floating point value").arg(value.toString()));
      return d;
    }
    case ValueKind::Currency: {
      if (value.typeId() == QMetaType::QString) return parseValue(value.toString(), column, QLocale::c());
      bool ok = false;
      const double d = value.toDouble(&ok);
      if (!ok) throw ValueError(QStringLiteral("'%1' is not a valid currency value").arg(value.toString()));
      return currencyFromDouble(d, value.toString());
    }
    case ValueKind::DateTime:
      if (value.typeId() == QMetaType::QDate) return daysFrom(value.toDate());
      if (value.typeId() == QMetaType::QTime) return daysFrom(QDate(1899, 12, 30), value.toTime());
      if (value.typeId() == QMetaType::QDateTime) return daysFrom(value.toDateTime());
      return parseValue(value.toString(), column);
    case ValueKind::Guid:
      if (value.typeId() == QMetaType::QUuid) return guidFrom(value.toUuid());
      return parseValue(value.toString(), column);
    case ValueKind::Bytes:
      if (value.typeId() == QMetaType::QByteArray) return value.toByteArray();
      return parseValue(value.toString(), column);
    case ValueKind::Text:
      if (isDecimalType(type)) return parseValue(value.toString(), column, QLocale::c());
      return value.toString();
  }
  return {};
}

QVariant variantFromCell(const Cell& cell, const ColumnInfo& column) {
  if (isNull(cell)) return {};
  const DataType type = column.type;
  switch (valueKind(type)) {
    case ValueKind::Boolean:
      return std::get<bool>(cell);
    case ValueKind::Integer: {
      const std::int64_t n = std::get<std::int64_t>(cell);
      if (type == DataType::UnsignedBigInt) return QVariant::fromValue(static_cast<qulonglong>(n));
      return QVariant::fromValue(static_cast<qlonglong>(n));
    }
    case ValueKind::Real:
      return std::get<double>(cell);
    case ValueKind::Currency:
      return static_cast<double>(std::get<std::int64_t>(cell)) / 10000.0;
    case ValueKind::DateTime: {
      const double days = std::get<double>(cell);
      if (type == DataType::DBDate) return dateOf(days);
      if (type == DataType::DBTime) return timeOf(days);
      return dateTimeOf(days);
    }
    case ValueKind::Guid:
      return uuidFrom(std::get<Guid>(cell));
    case ValueKind::Bytes:
      return std::get<QByteArray>(cell);
    case ValueKind::Text:
      return std::get<QString>(cell);
  }
  return {};
}

}  // namespace tabrix
