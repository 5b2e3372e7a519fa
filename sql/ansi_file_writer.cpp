#include "sql/ansi_file_writer.h"

#include <QDir>
#include <stdexcept>

#include "sql/code_page.h"

namespace tabrix {

namespace {

// Text is converted in blocks of this many characters.
constexpr qsizetype kBlock = 1 << 15;

}  // namespace

AnsiFileWriter::AnsiFileWriter(const QString& fileName, const QLocale& locale)
    : m_file(fileName), m_encoder(codePageEncoder(locale)) {
  m_pending.reserve(kBlock);
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
  m_pending += text;
  if (m_pending.size() >= kBlock) flush();
}

void AnsiFileWriter::close() {
  flush();
  m_file.close();
  if (m_file.error() != QFileDevice::NoError) fail();
}

void AnsiFileWriter::flush() {
  if (m_pending.isEmpty()) return;
  m_bytes.resize(m_encoder.requiredSpace(m_pending.size()));
  const char* end = m_encoder.appendToBuffer(m_bytes.data(), m_pending);
  m_pending.truncate(0);  // keeps its room for the next block
  const qint64 size = end - m_bytes.constData();
  if (m_file.write(m_bytes.constData(), size) != size) fail();
}

void AnsiFileWriter::fail() const {
  throw std::runtime_error(QStringLiteral("Cannot write file \"%1\". %2")
                               .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString())
                               .toStdString());
}

}  // namespace tabrix
