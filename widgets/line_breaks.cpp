#include "widgets/line_breaks.h"

namespace tabrix {

QString withCrLf(const QString& text) {
  QString result;
  result.reserve(text.size() + text.size() / 32);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == u'\r' || c == u'\n') {
      result += QLatin1String("\r\n");
      if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace tabrix
