#pragma once

#include <QLocale>
#include <QString>

#include "data/cell.h"
#include "data/driver.h"

namespace tabrix {

// A value as the windows and the result report show it, by the column's
// type, in the locale's formats: numbers with its decimal separator and no
// group separators, dates in its short date format and times in its long
// time format (without a time zone), midnight leaving the time out. A null
// gives empty text.
QString valueText(const Cell& value, const ColumnInfo& column, const QLocale& locale = QLocale());

// The width in characters a column is shown with until someone sets another.
int defaultDisplayWidth(const ColumnInfo& column);

// Pieces of the above that other code shows the same way.
QString realText(double value, bool single, const QLocale& locale = QLocale());
QString longTimeFormat(const QLocale& locale = QLocale());
QString guidText(const Guid& guid);

}  // namespace tabrix
