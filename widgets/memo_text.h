#pragma once

#include <QString>

class QPlainTextEdit;

namespace tabrix {

// A memo control's text as the program hands it on: its lines separated by
// CR LF, no line break after the last, every other character as it stands.
QString memoText(const QPlainTextEdit& memo);

// Shows text in a memo control: each line break, CR LF or a lone CR or LF,
// starts a new line.
void setMemoText(QPlainTextEdit& memo, const QString& text);

}  // namespace tabrix
