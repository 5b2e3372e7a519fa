#include "sql/report_format.h"

#include <algorithm>

#include "data/value_text.h"

namespace tabrix {

QString reportSeparator(const ReportOptions& options) {
  return options.fieldSeparator ? QStringLiteral("</>") : QStringLiteral(" ");
}

bool reportTrimsCells(const ReportOptions& options) { return options.noPad || options.fieldSeparator; }

int reportColumnWidth(int displayWidth, qsizetype nameLength) {
  const int width = std::max(displayWidth, 0) & 0xFF;
  const int name = static_cast<int>(nameLength & 0xFF);
  return std::max(width, name);
}

void appendReportCell(QString& line, QStringView text, bool trim, int width, QChar fill) {
  if (trim) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;
    line += text.mid(begin, end - begin);
    return;
  }
  line += text;
  if (text.size() < width) line.resize(line.size() + width - text.size(), fill);
}

void appendRowNumber(QString& line, int number) {
  if (number < 10) line += QLatin1Char(' ');
  line += QString::number(number);
}

QString reportEndLine(const QDateTime& now, const QLocale& locale) {
  QString line = QStringLiteral("Koniec ") + locale.toString(now.date(), QLocale::ShortFormat);
  if (now.time() != QTime(0, 0)) line += QLatin1Char(' ') + locale.toString(now.time(), longTimeFormat(locale));
  return line;
}

}  // namespace tabrix
