#include "sql/report_file.h"

#include "sql/ansi_file_writer.h"

namespace tabrix {

FileDialogSetup reportSaveDialog() {
  FileDialogSetup setup;
  setup.title = QStringLiteral("Gdzież to zgrać");
  setup.filter = QStringLiteral("Plik tekstowy|*.txt");
  setup.defaultExtension = QStringLiteral("TXT");
  setup.overwritePrompt = true;
  setup.folderMustExist = true;
  return setup;
}

ReportFile::ReportFile(FileDialogSetup& saveDialog) : m_saveDialog(saveDialog) {}

ReportFile::~ReportFile() = default;

bool ReportFile::open(const QLocale& locale) {
  const QString fileName = dialogs().saveFileName(m_saveDialog);
  if (fileName.isEmpty()) return false;
  m_saveDialog.fileName = fileName;
  auto writer = std::make_unique<AnsiFileWriter>(fileName, locale);
  if (!writer->open()) return false;
  m_writer = std::move(writer);
  return true;
}

void ReportFile::write(QStringView text) { m_writer->write(text); }

void ReportFile::close() {
  if (!m_writer) return;
  // Closed even when the last block fails to go out; the error goes on.
  std::unique_ptr<AnsiFileWriter> writer = std::move(m_writer);
  writer->close();
}

}  // namespace tabrix
