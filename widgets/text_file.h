#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace tabrix {

// How a text file's characters are stored: an encoding as the converters
// name it ("UTF-8", "UTF-16LE", "windows-1250", …) and whether a byte-order
// mark comes first.
struct TextEncoding {
  QByteArray name;
  bool byteOrderMark = false;

  bool operator==(const TextEncoding&) const = default;

  // The system's, for files without a mark: the locale's character set (a
  // locale that names plain ASCII counts as UTF-8, as Qt takes it).
  static TextEncoding system();
  // For files without a mark that are not in the system's UTF-8: the
  // Windows code page of the locale's language, in which such files come
  // from Windows.
  static TextEncoding windows();
};

// A text file that can't be read or written; the text names the file and
// the reason.
class TextFileError : public std::runtime_error {
 public:
  explicit TextFileError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

struct TextFileContents {
  QString text;
  TextEncoding encoding;
};

// Reads a whole file. A byte-order mark selects UTF-8, UTF-16 little-endian
// or UTF-16 big-endian and is dropped; without one the bytes are read in the
// system's encoding, or, where they are no text in the system's UTF-8, in
// the Windows code page. Every line break (CR LF, a lone CR, a lone LF)
// becomes CR LF. TextFileError "Cannot open file \"name\". reason" when the
// file can't be read or its bytes are no text in its encoding.
TextFileContents readTextFile(const QString& fileName);

// Writes the text unchanged into the file, created or emptied, in the
// encoding (its mark first). The bytes are made before the file is touched
// and replace its contents in one step, so a failure leaves it as it was:
// TextFileError "Cannot create file \"name\". reason" when it can't be
// written (a read-only file, a missing folder) or when the encoding lacks a
// character of the text.
void writeTextFile(const QString& fileName, const QString& text, const TextEncoding& encoding);

}  // namespace tabrix
