#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <stdexcept>

#include "data/cell.h"
#include "data/driver.h"

namespace tabrix {

// Text that is no value of a column's type; what() says why, in UTF-8.
class ValueError : public std::runtime_error {
 public:
  explicit ValueError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// Reads text typed for a column, the way the column's value is shown
// (valueText): the locale's decimal separator and date and time formats,
// "True"/"False". Empty text is null. Throws ValueError.
Cell parseValue(const QString& text, const ColumnInfo& column, const QLocale& locale = QLocale());

// Currency from a number as a driver writes it, in the C locale
// ("-123.4567", or in exponent form "1.5E+3"): ten-thousandths, the fifth
// decimal rounding half away from zero. Throws ValueError for text that is
// no number or a value outside currency's range.
std::int64_t currencyFromNumberText(const QString& text);

// A Qt value for a column: the forms Field::value() gives, or anything
// QVariant converts to them. Throws ValueError.
Cell cellFromVariant(const QVariant& value, const ColumnInfo& column);
QVariant variantFromCell(const Cell& cell, const ColumnInfo& column);

}  // namespace tabrix
