#pragma once

#include <memory>

#include "sql/report_destination.h"
#include "widgets/dialogs.h"

namespace tabrix {

class AnsiFileWriter;

// The save dialog of "Save TXT" as the SQL window starts it: "Gdzież to
// zgrać", text files, default extension "TXT", a question before replacing a
// file, and a folder that must exist.
FileDialogSetup reportSaveDialog();

// A result report to a text file the user picks in the save dialog: the file
// is created, or emptied when it exists, and receives the text in the 8-bit
// code page, flushed in large blocks.
class ReportFile : public ReportDestination {
 public:
  // `saveDialog` is the window's own: it is shown as it stands, and its file
  // name becomes the one chosen. It must outlive the report.
  explicit ReportFile(FileDialogSetup& saveDialog);
  ~ReportFile() override;

  bool open(const QLocale& locale) override;
  void write(QStringView text) override;
  void close() override;

 private:
  FileDialogSetup& m_saveDialog;
  std::unique_ptr<AnsiFileWriter> m_writer;
};

}  // namespace tabrix
