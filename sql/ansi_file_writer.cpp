#include "sql/ansi_file_writer.h"

#include <QDir>
#include <stdexcept>

namespace tabrix {

namespace {

// Bytes go out in blocks of about this size.
constexpr std::size_t kBlock = 1 << 16;

}  // namespace

AnsiFileWriter::AnsiFileWriter(const QString& fileName, const QLocale& locale)
    : m_file(fileName), m_encoder(locale) {
  m_buffer.reserve(2 * kBlock);
}

AnsiFileWriter::~AnsiFileWriter() {
  if (!m_file.isOpen()) return;
  try {
    flush();
  } catch (const std::exception&) {
    // The caller learns of a failed write from write() or close().
  }
  m_file.close();
}

bool AnsiFileWriter::open() {
  return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void AnsiFileWriter::write(QStringView text) {
  m_encoder.append(text, m_buffer);
  if (m_buffer.size() >= kBlock) flush();
}

void AnsiFileWriter::close() {
  flush();
  m_file.close();
  if (m_file.error() != QFileDevice::NoError) fail();
}

void AnsiFileWriter::flush() {
  if (m_buffer.empty()) return;
  const auto size = static_cast<qint64>(m_buffer.size());
  const bool written = m_file.write(m_buffer.data(), size) == size;
  m_buffer.clear();  // keeps its room for the next block
  if (!written) fail();
}

void AnsiFileWriter::fail() const {
  throw std::runtime_error(QStringLiteral("Cannot write file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString())
                               .toStdString());
}

}  // namespace tabrix
