#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

#include "sql/report_options.h"

namespace tabrix {

// The pieces of text a result report is made of.

// Written after the "lk" title, every row number and every cell: one blank,
// or "</>" with the field separator ticked.
QString reportSeparator(const ReportOptions& options);

// Trimming mode ("No PAD" or the field separator ticked) instead of padding
// mode.
bool reportTrimsCells(const ReportOptions& options);

// A column's width in padding mode: the larger of the field's display width
// and its name's length, each keeping only its low eight bits (300 gives 44)
// as the report always has; a negative width counts as 0.
int reportColumnWidth(int displayWidth, qsizetype nameLength);

// Appends a cell to `line`: in trimming mode `text` without its leading and
// trailing characters of codes 32 and below; in padding mode `text` followed
// by `fill` up to `width` characters. A longer text is never cut.
void appendReportCell(QString& line, QStringView text, bool trim, int width, QChar fill);

// The row number right-aligned in two characters: " 9", "10", "100".
void appendRowNumber(QString& line, int number);

// The last line without its line end: "Koniec " and the date in the
// locale's short date format, a blank and the time in its long time format;
// the time left out when it is exactly midnight.
QString reportEndLine(const QDateTime& now, const QLocale& locale);

}  // namespace tabrix
