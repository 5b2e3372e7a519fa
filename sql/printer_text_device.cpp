#include "sql/printer_text_device.h"

#include <QPrinter>
#include <stdexcept>

namespace tabrix {

namespace {

[[noreturn]] void printerFailed() { throw std::runtime_error("The printer reported an error"); }

}  // namespace

PrinterTextDevice::PrinterTextDevice() : m_metrics(QFont()), m_layout(*this) {}

PrinterTextDevice::~PrinterTextDevice() {
  if (m_painter.isActive()) m_painter.end();
}

bool PrinterTextDevice::begin(QPrinter& printer) {
  if (!m_painter.begin(&printer)) return false;
  m_printer = &printer;
  m_metrics = m_painter.fontMetrics();
  return true;
}

void PrinterTextDevice::setFont(const QFont& font) {
  m_painter.setFont(font);
  m_metrics = m_painter.fontMetrics();
}

void PrinterTextDevice::end() {
  if (!m_painter.end() || m_printer->printerState() == QPrinter::Error) printerFailed();
}

int PrinterTextDevice::pageWidth() const { return m_printer->width(); }

int PrinterTextDevice::pageHeight() const { return m_printer->height(); }

int PrinterTextDevice::charHeight() const { return m_metrics.height(); }

int PrinterTextDevice::averageCharWidth() const { return m_metrics.averageCharWidth(); }

int PrinterTextDevice::textWidth(QStringView text) const { return m_metrics.horizontalAdvance(text.toString()); }

void PrinterTextDevice::drawText(int x, int y, QStringView text) {
  m_painter.drawText(QPoint(x, y + m_metrics.ascent()), text.toString());
}

void PrinterTextDevice::newPage() {
  if (!m_printer->newPage()) printerFailed();
}

}  // namespace tabrix
