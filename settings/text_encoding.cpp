#include "settings/text_encoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "data/ansi_code_page.h"

namespace tabrix {

namespace {

struct Mark {
  QByteArrayView bytes;
  TextEncoding encoding;
  QStringConverter::Encoding converter;
};

const Mark kMarks[] = {
    {"\xEF\xBB\xBF", TextEncoding::Utf8, QStringConverter::Utf8},
    {"\xFF\xFE", TextEncoding::Utf16LittleEndian, QStringConverter::Utf16LE},
    {"\xFE\xFF", TextEncoding::Utf16BigEndian, QStringConverter::Utf16BE},
};

}  // namespace

DecodedText decodeText(QByteArrayView bytes) {
  for (const Mark& mark : kMarks) {
    if (!bytes.startsWith(mark.bytes)) continue;
    QStringDecoder decoder(mark.converter, QStringConverter::Flag::Stateless);
    return {decoder(bytes.sliced(mark.bytes.size())), mark.encoding};
  }
  return {fromAnsi(bytes), TextEncoding::Ansi};
}

QByteArray encodeText(const QString& text, TextEncoding encoding) {
  for (const Mark& mark : kMarks) {
    if (mark.encoding != encoding) continue;
    QStringEncoder encoder(mark.converter, QStringConverter::Flag::Stateless);
    return mark.bytes.toByteArray() + QByteArray(encoder(text));
  }
  return toAnsi(text);
}

bool ansiHolds(const QString& text) { return fromAnsi(toAnsi(text)) == text; }

}  // namespace tabrix
