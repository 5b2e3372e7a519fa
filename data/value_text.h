#pragma once

#include <QLocale>
#include <QString>
#include <memory>
#include <optional>

#include "data/cell.h"
#include "data/date_time_pattern.h"
#include "data/driver.h"

namespace tabrix {

class RowStore;

// Values as the windows and the result report show them, in one locale's
// formats: numbers with its decimal separator and no group separators,
// dates in its short date format and times in its long time format (without
// a time zone), midnight leaving the time out. A null gives empty text.
//
// What it needs of the locale is read once, when it is made, and its date
// and time formats compiled, so that the texts of a million values cost no
// look-ups in the locale. A formatter never changes; forLocale() keeps those
// of the last few locales asked for in each thread.
class ValueFormatter {
 public:
  explicit ValueFormatter(const QLocale& locale);

  static std::shared_ptr<const ValueFormatter> forLocale(const QLocale& locale);

  const QLocale& locale() const { return m_locale; }

  QString text(const Cell& value, const ColumnInfo& column) const;
  QString realText(double value, bool single) const;

  // The text of a value in a row store, written into `text`, whose block is
  // used again where no other string shares it and it is big enough: texts
  // of many values one after another then cost no allocation. False, and
  // `text` untouched, for a null.
  bool write(QString& text, const RowStore& store, std::uint32_t row, int column) const;

 private:
  void writeInteger(QString& out, std::int64_t value, bool isUnsigned) const;
  void writeReal(QString& out, double value, bool single) const;
  void writeCurrency(QString& out, std::int64_t tenThousandths) const;
  void writeDateTime(QString& out, double days, DataType type) const;
  QString decimalText(const QString& exact, int maxDecimals) const;

  QLocale m_locale;
  QString m_decimalPoint;
  QString m_shortDateFormat;
  QString m_longTimeFormat;
  std::optional<DateTimePattern> m_date;  // nothing where Qt writes the dates
  std::optional<DateTimePattern> m_time;
};

// The same, in a locale given by each call.
QString valueText(const Cell& value, const ColumnInfo& column, const QLocale& locale = QLocale());

// The width in characters a column is shown with until someone sets another.
int defaultDisplayWidth(const ColumnInfo& column);

// Pieces of the above that other code shows the same way.
QString realText(double value, bool single, const QLocale& locale = QLocale());
QString longTimeFormat(const QLocale& locale = QLocale());
QString guidText(const Guid& guid);

}  // namespace tabrix
