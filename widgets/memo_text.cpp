#include "widgets/memo_text.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace tabrix {

QString memoText(const QPlainTextEdit& memo) {
  // The raw text keeps what the plain text would change (a no-break space
  // becomes a blank there); lines end in paragraph or line separators.
  const QString raw = memo.document()->toRawText();
  QString text;
  text.reserve(raw.size() + raw.size() / 32);
  for (const QChar c : raw) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
      text += QLatin1String("\r\n");
    else
      text += c;
  }
  return text;
}

void setMemoText(QPlainTextEdit& memo, const QString& text) {
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  memo.setPlainText(lines);
}

}  // namespace tabrix
