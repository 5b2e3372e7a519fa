#pragma once

#include <QDateTime>
#include <QLocale>
#include <functional>

#include "sql/report_destination.h"
#include "sql/report_options.h"

namespace tabrix {

class Dataset;

// What a report takes from the system: the user's locale (its short date and
// long time formats for the last line, its 8-bit code page for the text) and
// the clock. Tests fix both.
struct ReportContext {
  QLocale locale = QLocale::system();
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// Writes the rows of an open dataset as a column-aligned result report:
// "Wydruk SQLa", a header line of the field names, a line per row, and
// "Koniec " with the date and time, shaped by the options.
//
// Opens the destination first; when that is cancelled or fails, nothing
// happens. The rows are walked once from the first, with one move each, and
// the dataset is left at the end of its rows. When reading or writing a row
// fails, the last line is still written and the destination closed, then the
// error goes on to the caller, as does any other failure.
void WriteReport(Dataset& dataset, const ReportOptions& options, ReportDestination& destination,
                 const ReportContext& context = {});

}  // namespace tabrix
