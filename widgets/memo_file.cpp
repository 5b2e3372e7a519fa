#include "widgets/memo_file.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "widgets/memo_text.h"

namespace tabrix {

MemoFile::MemoFile(QPlainTextEdit& memo) : m_memo(memo) {}

void MemoFile::load(const QString& fileName) {
  TextFileContents contents = readTextFile(fileName);
  setMemoText(m_memo, contents.text);
  m_memo.document()->setModified(true);
  m_encoding = std::move(contents.encoding);
}

void MemoFile::save(const QString& fileName) const { writeTextFile(fileName, memoText(m_memo), m_encoding); }

}  // namespace tabrix
