#include "sql/code_page.h"

#include <cstring>

#include "data/ansi_code_page.h"

namespace tabrix {

namespace {

// Stateless: each character is converted on its own.
QStringEncoder encoderFor(const QLocale& locale) {
  QStringEncoder encoder(ansiCodePage(locale).constData(), QStringConverter::Flag::Stateless);
  return encoder.isValid() ? std::move(encoder)
                           : QStringEncoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
}

}  // namespace

CodePageEncoder::CodePageEncoder(const QLocale& locale) : m_encoder(encoderFor(locale)), m_bytes(0x10000, kUnknown) {}

void CodePageEncoder::append(QStringView text, std::string& out) {
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(text.size()));
  // Locals, so that the stores through char* need not reload them.
  char* bytes = out.data();
  const std::int16_t* table = m_bytes.data();
  const char16_t* chars = text.utf16();
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = chars[i];
    if (table[c] >= 0) {
      bytes[at++] = static_cast<char>(table[c]);
      continue;
    }
    // A surrogate pair goes to the converter whole, every time.
    const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(chars[i + 1]);
    const QByteArray converted = m_encoder.encode(text.sliced(i, pair ? 2 : 1));
    if (!QChar::isSurrogate(c)) m_bytes[c] = converted.size() == 1 ? static_cast<std::uint8_t>(converted[0]) : kSeveral;
    if (pair) ++i;
    out.resize(out.size() + static_cast<std::size_t>(converted.size()) - (pair ? 2 : 1));
    bytes = out.data();
    std::memcpy(bytes + at, converted.constData(), static_cast<std::size_t>(converted.size()));
    at += static_cast<std::size_t>(converted.size());
  }
  out.resize(at);
}

QStringDecoder codePageDecoder(const QLocale& locale) {
  QStringDecoder decoder(ansiCodePage(locale).constData());
  return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringConverter::Latin1);
}

}  // namespace tabrix
