#include "sql/write_report.h"

#include <exception>
#include <vector>

#include "data/dataset.h"
#include "sql/report_format.h"

namespace tabrix {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Writes the last line, unless the options leave it out, and closes.
void finish(const ReportOptions& options, ReportDestination& destination, const ReportContext& context) {
  if (!options.clean) destination.write(reportEndLine(context.now(), context.locale) + kLineEnd);
  destination.close();
}

}  // namespace

void WriteReport(Dataset& dataset, const ReportOptions& options, ReportDestination& destination,
                 const ReportContext& context) {
  if (!destination.open(context.locale)) return;

  const QString separator = reportSeparator(options);
  const bool trim = reportTrimsCells(options);
  if (!options.clean) destination.write(QStringLiteral("Wydruk SQLa") + kLineEnd);

  // Each write is one piece of a line (a number or a cell with its
  // separator), which is what a printer receives at once; the line collects
  // them so that its room is made once.
  QString line;
  // Ends the piece begun at `start` with the separator and writes it.
  const auto writePiece = [&](qsizetype start) {
    line += separator;
    destination.write(QStringView(line).sliced(start));
  };
  if (!options.noNumbers) {
    line = QStringLiteral("lk");
    writePiece(0);
  }
  std::vector<int> widths;
  for (int i = 0; i < dataset.fieldCount(); ++i) {
    const Field& field = dataset.field(i);
    widths.push_back(reportColumnWidth(field.displayWidth(), field.name().size()));
    const qsizetype start = line.size();
    appendReportCell(line, field.name(), trim, widths.back(), QLatin1Char('_'));
    writePiece(start);
  }
  destination.write(kLineEnd);

  std::exception_ptr rowError;
  try {
    int number = 0;
    for (dataset.first(); !dataset.eof(); dataset.next()) {
      line.truncate(0);
      if (!options.noNumbers) {
        appendRowNumber(line, ++number);
        writePiece(0);
      }
      for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
        const qsizetype start = line.size();
        appendReportCell(line, dataset.field(i).text(), trim, widths[i], QLatin1Char(' '));
        writePiece(start);
      }
      destination.write(kLineEnd);
    }
  } catch (...) {
    rowError = std::current_exception();
  }
  if (rowError) {
    // The row's error is the one the user needs to see; a failure of the
    // last line or the close after it would only hide it.
    try {
      finish(options, destination, context);
    } catch (...) {
    }
    std::rethrow_exception(rowError);
  }
  finish(options, destination, context);
}

}  // namespace tabrix
