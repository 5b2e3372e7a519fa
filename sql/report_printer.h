#pragma once

#include <QFont>
#include <QStringDecoder>
#include <memory>
#include <optional>
#include <string>

#include "sql/code_page.h"
#include "sql/report_destination.h"

class QPrinter;

namespace tabrix {

class PrinterTextDevice;

// The printer font a new SQL window starts with: "MS Sans Serif", 8 points,
// fixed pitch requested (the system's fixed-pitch font stands in where the
// family is missing).
QFont defaultPrinterFont();

// A result report to a printer the user picks in the print dialog, printed
// in the printer font through the printer text device. The text goes through
// the 8-bit code page on its way, so the paper shows what a file would hold.
class ReportPrinter : public ReportDestination {
 public:
  // `printer` keeps the user's choices from one report to the next; it must
  // outlive the report.
  ReportPrinter(QPrinter& printer, const QFont& font);
  ~ReportPrinter() override;

  bool open(const QLocale& locale) override;
  void write(QStringView text) override;
  void close() override;

 private:
  QPrinter& m_printer;
  QFont m_font;
  std::optional<CodePageEncoder> m_encoder;
  QStringDecoder m_decoder;
  std::string m_bytes;
  std::unique_ptr<PrinterTextDevice> m_device;
};

}  // namespace tabrix
