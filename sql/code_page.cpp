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
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    std::int16_t& byte = m_bytes[c];
    if (byte >= 0) {
      out[at++] = static_cast<char>(byte);
      continue;
    }
    // A surrogate pair goes to the converter whole, every time.
    const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const QByteArray bytes = m_encoder.encode(text.sliced(i, pair ? 2 : 1));
    if (!pair && !QChar::isSurrogate(c)) byte = bytes.size() == 1 ? static_cast<std::uint8_t>(bytes[0]) : kSeveral;
    if (pair) ++i;
    out.resize(out.size() + static_cast<std::size_t>(bytes.size()) - (pair ? 2 : 1));
    std::memcpy(out.data() + at, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    at += static_cast<std::size_t>(bytes.size());
  }
  out.resize(at);
}

QStringDecoder codePageDecoder(const QLocale& locale) {
  QStringDecoder decoder(ansiCodePage(locale).constData());
  return decoder.isValid() ? std::move(decoder) : QStringDecoder(QStringConverter::Latin1);
}

}  // namespace tabrix
