#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tabrix {

// The encodings a text file may be in: the system's 8-bit (ANSI) code page,
// or UTF-8 or UTF-16 announced by a byte-order mark.
enum class TextEncoding { Ansi, Utf8, Utf16LittleEndian, Utf16BigEndian };

struct DecodedText {
  QString text;
  TextEncoding encoding = TextEncoding::Ansi;
};

// The text of a file's bytes: a byte-order mark (EF BB BF, FF FE, FE FF)
// selects its encoding and is dropped; without one the bytes are in the
// ANSI code page.
DecodedText decodeText(QByteArrayView bytes);

// The bytes of `text` in `encoding`, UTF-8 and UTF-16 with their byte-order
// mark first, the ANSI code page without one.
QByteArray encodeText(const QString& text, TextEncoding encoding);

// Whether the ANSI code page holds every character of `text`.
bool ansiHolds(const QString& text);

}  // namespace tabrix
