#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStringView>

#include "sql/printer_layout.h"

class QPrinter;

namespace tabrix {

// The printer as a device for text: a print job whose pages receive the text
// written to it, laid out by PrinterLayout in one font, in black.
class PrinterTextDevice : private PrinterCanvas {
 public:
  PrinterTextDevice();
  // Ends a job still running, quietly.
  ~PrinterTextDevice() override;
  PrinterTextDevice(const PrinterTextDevice&) = delete;
  PrinterTextDevice& operator=(const PrinterTextDevice&) = delete;

  // Starts a print job on `printer` (which must outlive it); false when it
  // can't be started.
  bool begin(QPrinter& printer);
  void setFont(const QFont& font);
  // Throws std::runtime_error when the printer can't begin a new page.
  void write(QStringView text) { m_layout.write(text); }
  // Ends the job, which the printer then prints; throws std::runtime_error
  // when the printer reports an error.
  void end();

 private:
  int pageWidth() const override;
  int pageHeight() const override;
  int charHeight() const override;
  int averageCharWidth() const override;
  int textWidth(QStringView text) const override;
  void drawText(int x, int y, QStringView text) override;
  void newPage() override;

  QPrinter* m_printer = nullptr;
  QPainter m_painter;
  QFontMetrics m_metrics;
  PrinterLayout m_layout;
};

}  // namespace tabrix
