#pragma once

#include <QLocale>
#include <QStringView>

namespace tabrix {

// Where a result report goes: a text file or a printer. The report hands it
// its text write by write (a row number with its separator, a cell with its
// separator, a line end as CR LF, …); the destination converts it to the
// 8-bit code page of the report's locale.
class ReportDestination {
 public:
  virtual ~ReportDestination() = default;

  // Shows the destination's dialog and opens what the user chose. False when
  // the user cancelled or it can't be opened; the report then ends quietly.
  virtual bool open(const QLocale& locale) = 0;
  // One write. Throws when the destination fails (a full disk, a printer
  // error).
  virtual void write(QStringView text) = 0;
  // Finishes the destination: the file written out and closed, the print job
  // ended. Throws when that fails. A destination destroyed while open closes
  // itself, quietly.
  virtual void close() = 0;
};

}  // namespace tabrix
