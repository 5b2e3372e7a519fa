#include "data/value_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "data/ansi_code_page.h"
#include "data/real_digits.h"
#include "data/row_store.h"

namespace tabrix {

namespace {

// Writes a text of at most `bound` characters straight into a QString,
// reusing its block when no one else holds it and it is big enough (resizing
// within the block allocates nothing): no allocation a value, and nothing
// copied.
class TextWriter {
 public:
  TextWriter(QString& target, qsizetype bound) : m_target(target) {
    if (!target.isDetached()) target = QString();
    target.resize(bound);
    m_out = reinterpret_cast<char16_t*>(target.data());
  }
  ~TextWriter() { m_target.resize(m_out - reinterpret_cast<const char16_t*>(m_target.constData())); }
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  void add(char16_t c) { *m_out++ = c; }
  void add(QStringView text) { m_out = std::copy(text.utf16(), text.utf16() + text.size(), m_out); }
  void add(const char* digits, int count) {
    for (int i = 0; i < count; ++i) *m_out++ = static_cast<char16_t>(digits[i]);
  }
  void addZeros(int count) {
    for (int i = 0; i < count; ++i) *m_out++ = u'0';
  }
  // A number's digits, without a sign: written from the end, two at a time.
  void addNumber(std::uint64_t value) {
    char16_t digits[20];
    char16_t* first = digits + 20;
    while (value >= 100) {
      const auto pair = static_cast<unsigned>(value % 100);
      value /= 100;
      *--first = static_cast<char16_t>(u'0' + pair % 10);
      *--first = static_cast<char16_t>(u'0' + pair / 10);
    }
    *--first = static_cast<char16_t>(u'0' + value % 10);
    if (value >= 10) *--first = static_cast<char16_t>(u'0' + value / 10);
    m_out = std::copy(first, digits + 20, m_out);
  }
  char16_t* out() { return m_out; }
  void advanceTo(char16_t* out) { m_out = out; }

 private:
  QString& m_target;
  char16_t* m_out;
};

std::uint64_t magnitudeOf(std::int64_t value) {
  return value < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
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

// The formatters of the locales asked for last, newest first.
constexpr std::size_t kFormattersKept = 4;
thread_local std::vector<std::shared_ptr<const ValueFormatter>> t_formatters;

}  // namespace

ValueFormatter::ValueFormatter(const QLocale& locale)
    : m_locale(locale),
      m_decimalPoint(locale.decimalPoint()),
      m_shortDateFormat(locale.dateFormat(QLocale::ShortFormat)),
      m_longTimeFormat(longTimeFormat(locale)) {
  m_date = DateTimePattern::compile(m_shortDateFormat, DateTimePattern::Kind::Date, locale,
                                    [&](QDate date, QTime) { return locale.toString(date, QLocale::ShortFormat); });
  m_time = DateTimePattern::compile(m_longTimeFormat, DateTimePattern::Kind::Time, locale,
                                    [&](QDate, QTime time) { return locale.toString(time, m_longTimeFormat); });
}

std::shared_ptr<const ValueFormatter> ValueFormatter::forLocale(const QLocale& locale) {
  auto& kept = t_formatters;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (kept[i]->locale() != locale) continue;
    std::rotate(kept.begin(), kept.begin() + i, kept.begin() + i + 1);
    return kept.front();
  }
  if (kept.size() == kFormattersKept) kept.pop_back();
  kept.insert(kept.begin(), std::make_shared<const ValueFormatter>(locale));
  return kept.front();
}

QString ValueFormatter::text(const Cell& value, const ColumnInfo& column) const {
  if (isNull(value)) return {};
  const DataType type = column.type;
  QString text;
  switch (valueKind(type)) {
    case ValueKind::Boolean:
      return std::get<bool>(value) ? QStringLiteral("True") : QStringLiteral("False");
    case ValueKind::Integer:
      writeInteger(text, std::get<std::int64_t>(value), type == DataType::UnsignedBigInt);
      return text;
    case ValueKind::Real:
      writeReal(text, std::get<double>(value), type == DataType::Single);
      return text;
    case ValueKind::Currency:
      writeCurrency(text, std::get<std::int64_t>(value));
      return text;
    case ValueKind::DateTime:
      writeDateTime(text, std::get<double>(value), type);
      return text;
    case ValueKind::Guid:
      return guidText(std::get<Guid>(value));
    case ValueKind::Bytes: {
      const QByteArray& bytes = std::get<QByteArray>(value);
      return type == DataType::LongVarBinary ? fromAnsi(bytes, m_locale) : utf16Pairs(bytes);
    }
    case ValueKind::Text: {
      const QString& exact = std::get<QString>(value);
      if (!isDecimalType(type)) return exact;
      const bool fourDecimals = column.precision < 20 && column.scale <= 4;
      return decimalText(exact, fourDecimals ? 4 : -1);
    }
  }
  return {};
}

bool ValueFormatter::write(QString& text, const RowStore& store, std::uint32_t row, int column) const {
  if (store.isNull(row, column)) return false;
  const ColumnInfo& info = store.info().columns[column];
  switch (store.kind(column)) {
    case ValueKind::Boolean:
      text = store.boolean(row, column) ? QStringLiteral("True") : QStringLiteral("False");
      return true;
    case ValueKind::Integer:
      writeInteger(text, store.integer(row, column), info.type == DataType::UnsignedBigInt);
      return true;
    case ValueKind::Real:
      writeReal(text, store.real(row, column), info.type == DataType::Single);
      return true;
    case ValueKind::Currency:
      writeCurrency(text, store.integer(row, column));
      return true;
    case ValueKind::DateTime:
      writeDateTime(text, store.real(row, column), info.type);
      return true;
    case ValueKind::Text:
      if (!isDecimalType(info.type)) {
        const QStringView stored = store.text(row, column);
        TextWriter(text, stored.size()).add(stored);
        return true;
      }
      break;
    case ValueKind::Guid:
    case ValueKind::Bytes:
      break;
  }
  text = this->text(store.cell(row, column), info);
  return true;
}

QString ValueFormatter::realText(double value, bool single) const {
  QString text;
  writeReal(text, value, single);
  return text;
}

void ValueFormatter::writeInteger(QString& out, std::int64_t value, bool isUnsigned) const {
  TextWriter text(out, 21);
  if (isUnsigned) {
    text.addNumber(static_cast<std::uint64_t>(value));
  } else {
    if (value < 0) text.add(u'-');
    text.addNumber(magnitudeOf(value));
  }
}

void ValueFormatter::writeReal(QString& out, double value, bool single) const {
  if (std::isnan(value)) {
    out = QStringLiteral("NAN");
    return;
  }
  if (std::isinf(value)) {
    out = value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return;
  }
  const RealDigits d = value == 0 ? RealDigits{{'0'}, 1, 0}
                       : single   ? shortestDigits(static_cast<float>(std::fabs(value)))
                                  : fifteenDigits(std::fabs(value));
  // A sign, 17 digits, "0" and five zeros or "E" and an exponent, the point.
  TextWriter text(out, 32 + m_decimalPoint.size());
  if (value < 0) text.add(u'-');
  if (d.exponent < -5 || d.exponent >= 15) {
    text.add(d.digits, 1);
    if (d.count > 1) {
      text.add(m_decimalPoint);
      text.add(d.digits + 1, d.count - 1);
    }
    text.add(u'E');
    if (d.exponent < 0) text.add(u'-');
    text.addNumber(static_cast<std::uint64_t>(std::abs(d.exponent)));
  } else if (d.exponent < 0) {
    text.add(u'0');
    text.add(m_decimalPoint);
    text.addZeros(-d.exponent - 1);
    text.add(d.digits, d.count);
  } else {
    const int wholeDigits = d.exponent + 1;
    if (d.count <= wholeDigits) {
      text.add(d.digits, d.count);
      text.addZeros(wholeDigits - d.count);
    } else {
      text.add(d.digits, wholeDigits);
      text.add(m_decimalPoint);
      text.add(d.digits + wholeDigits, d.count - wholeDigits);
    }
  }
}

void ValueFormatter::writeCurrency(QString& out, std::int64_t tenThousandths) const {
  const std::uint64_t magnitude = magnitudeOf(tenThousandths);
  TextWriter text(out, 21 + m_decimalPoint.size());
  if (tenThousandths < 0) text.add(u'-');
  text.addNumber(magnitude / 10000);
  int fraction = static_cast<int>(magnitude % 10000);
  if (fraction != 0) {
    char digits[4];
    int count = 4;
    for (int i = 3; i >= 0; --i) {
      digits[i] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    while (digits[count - 1] == '0') --count;
    text.add(m_decimalPoint);
    text.add(digits, count);
  }
}

// "-123.4500" → "-123,45": trailing zeros dropped, at most `maxDecimals`
// decimals (rounded half away from zero), the locale's separator.
QString ValueFormatter::decimalText(const QString& exact, int maxDecimals) const {
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
  if (!fraction.isEmpty()) result += m_decimalPoint + fraction;
  return result;
}

void ValueFormatter::writeDateTime(QString& out, double days, DataType type) const {
  // Past the years a calendar shows (a damaged value): the number itself.
  // The last day Access keeps, 9999-12-31, is 2958465 with its time of day.
  if (!std::isfinite(days) || days < -2'958'465.0 || days >= 2'958'466.0) {
    writeReal(out, days, false);
    return;
  }
  // Shown to the nearest second, as Access shows it.
  constexpr std::int64_t kSecondsPerDay = 86400;
  const std::int64_t ms = msSinceEpoch(days);
  const std::int64_t halfUp = ms + 500;
  const std::int64_t seconds = halfUp / 1000 - (halfUp % 1000 != 0 && halfUp < 0 ? 1 : 0);
  std::int64_t day = seconds / kSecondsPerDay;
  int second = static_cast<int>(seconds % kSecondsPerDay);
  if (second < 0) {
    second += kSecondsPerDay;
    --day;
  }
  const bool withDate = type != DataType::DBTime;
  const bool withTime = type == DataType::DBTime || (type != DataType::DBDate && second != 0);
  const CivilDate date = civilDate(day);
  const int hour = second / 3600;
  const int minute = second / 60 % 60;

  if ((!withDate || (m_date && DateTimePattern::writes(date))) && (!withTime || m_time)) {
    TextWriter text(out, (withDate ? m_date->maxLength() : 0) + 1 + (withTime ? m_time->maxLength() : 0));
    if (withDate) text.advanceTo(m_date->write(text.out(), date));
    if (withDate && withTime) text.add(u' ');
    if (withTime) text.advanceTo(m_time->write(text.out(), hour, minute, second % 60));
    return;
  }
  QString result;
  if (withDate) result = m_locale.toString(QDate(1899, 12, 30).addDays(day), QLocale::ShortFormat);
  if (withDate && withTime) result += u' ';
  if (withTime) result += m_locale.toString(QTime(hour, minute, second % 60), m_longTimeFormat);
  out = result;
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
  return ValueFormatter::forLocale(locale)->text(value, column);
}

QString realText(double value, bool single, const QLocale& locale) {
  return ValueFormatter::forLocale(locale)->realText(value, single);
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
