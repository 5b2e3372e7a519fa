#include "sql/report_printer.h"

#include <QPrinter>

#include "sql/printer_text_device.h"
#include "widgets/dialogs.h"

namespace tabrix {

QFont defaultPrinterFont() {
  QFont font(QStringLiteral("MS Sans Serif"), 8);
  font.setFixedPitch(true);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

ReportPrinter::ReportPrinter(QPrinter& printer, const QFont& font) : m_printer(printer), m_font(font) {}

ReportPrinter::~ReportPrinter() = default;

bool ReportPrinter::open(const QLocale& locale) {
  if (!dialogs().print(m_printer)) return false;
  auto device = std::make_unique<PrinterTextDevice>();
  if (!device->begin(m_printer)) return false;
  device->setFont(m_font);
  m_encoder.emplace(locale);
  m_decoder = codePageDecoder(locale);
  m_device = std::move(device);
  return true;
}

void ReportPrinter::write(QStringView text) {
  m_bytes.clear();
  m_encoder->append(text, m_bytes);
  const QString shown = m_decoder.decode(QByteArrayView(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())));
  m_device->write(shown);
}

void ReportPrinter::close() {
  if (!m_device) return;
  // Ended even when the printer fails; the error goes on.
  std::unique_ptr<PrinterTextDevice> device = std::move(m_device);
  device->end();
}

}  // namespace tabrix
