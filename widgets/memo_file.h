#pragma once

#include <QString>

#include "widgets/text_file.h"

class QPlainTextEdit;

namespace tabrix {

// Text files read into a memo control and written from it. The memo
// remembers the encoding of the last file read into it, and writes in that
// encoding; before any, in the system's without a mark. Emptying the memo
// forgets nothing.
class MemoFile {
 public:
  // The memo must outlive this object.
  explicit MemoFile(QPlainTextEdit& memo);

  // Replaces the memo's whole text with the file's (readTextFile), counted
  // as a change of the memo's text. On a TextFileError the memo keeps its
  // text and encoding.
  void load(const QString& fileName);
  // Writes the memo's text as it stands, lines separated by CR LF
  // (writeTextFile).
  void save(const QString& fileName) const;

  const TextEncoding& encoding() const { return m_encoding; }

 private:
  QPlainTextEdit& m_memo;
  TextEncoding m_encoding = TextEncoding::system();
};

}  // namespace tabrix
