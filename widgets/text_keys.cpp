#include "widgets/text_keys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace tabrix {

bool changesText(const QKeyEvent& key) {
  static const QKeySequence::StandardKey kEdits[] = {
      QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
      QKeySequence::Delete, QKeySequence::Backspace, QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
      QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine, QKeySequence::InsertParagraphSeparator,
      QKeySequence::InsertLineSeparator};
  for (QKeySequence::StandardKey edit : kEdits)
    if (key.matches(edit)) return true;
  switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;
    default:
      break;
  }
  const QString text = key.text();
  return !text.isEmpty() && text.at(0).isPrint() && !(key.modifiers() & Qt::ControlModifier);
}

}  // namespace tabrix
