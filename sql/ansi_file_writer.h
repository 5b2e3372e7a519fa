#pragma once

#include <QFile>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <string>

#include "sql/code_page.h"

namespace tabrix {

// Writes text to a file in the 8-bit code page of a locale (the Windows ANSI
// code page that goes with it, characters it lacks as "?"), without a
// byte-order mark and with no change to line ends. Text is converted as it
// comes and goes out in large blocks, so memory stays the same however much
// is written.
class AnsiFileWriter {
 public:
  AnsiFileWriter(const QString& fileName, const QLocale& locale);
  // Closes the file when still open; what is buffered is written if it can
  // be (errors can't be reported from here: call close()).
  ~AnsiFileWriter();
  AnsiFileWriter(const AnsiFileWriter&) = delete;
  AnsiFileWriter& operator=(const AnsiFileWriter&) = delete;

  // Creates the file, or empties one that exists; false when that fails.
  bool open();
  // Throws std::runtime_error "Cannot write file \"name\". reason" when a
  // block can't be written.
  void write(QStringView text);
  // Writes what is buffered and closes the file; throws as write() does.
  void close();

 private:
  void flush();
  [[noreturn]] void fail() const;

  QFile m_file;
  CodePageEncoder m_encoder;
  std::string m_buffer;
};

}  // namespace tabrix
