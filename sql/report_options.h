#pragma once

namespace tabrix {

// The four ticks of the SQL window that shape a result report.
struct ReportOptions {
  bool noPad = false;           // "No PAD": cells trimmed instead of padded
  bool noNumbers = false;       // "No Numer": no "lk" title and no row numbers
  bool fieldSeparator = false;  // "</> field separator": "</>" after each cell, and cells trimmed
  bool clean = false;           // "No banner,summary": no "Wydruk SQLa" line and no "Koniec " line

  bool operator==(const ReportOptions&) const = default;
};

}  // namespace tabrix
