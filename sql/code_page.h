#pragma once

#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>
#include <cstdint>
#include <string>
#include <vector>

namespace tabrix {

// Converts text to the 8-bit code page of a locale (the one
// data/ansi_code_page.h names; Latin-1 where the system lacks a converter
// for it), as the report writes it: characters the page lacks become what
// the system's converter makes of them ("?").
//
// Each character is converted by the system's converter once; a character
// that takes one byte is then looked up in a table, since a report converts
// every character of every row.
class CodePageEncoder {
 public:
  explicit CodePageEncoder(const QLocale& locale);

  // Appends the bytes of `text` to `out`.
  void append(QStringView text, std::string& out);

 private:
  QStringEncoder m_encoder;
  // The byte of each UTF-16 code unit seen so far; kUnknown until seen,
  // kSeveral when it takes more than one byte (or none).
  static constexpr std::int16_t kUnknown = -1;
  static constexpr std::int16_t kSeveral = -2;
  std::vector<std::int16_t> m_bytes;
};

// The converter back from the same code page, for text that must show what
// a file would hold.
QStringDecoder codePageDecoder(const QLocale& locale);

}  // namespace tabrix
