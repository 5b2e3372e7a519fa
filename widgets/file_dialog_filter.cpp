#include "widgets/file_dialog_filter.h"

namespace tabrix {

QStringList qtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString trimmed = pattern.trimmed();
      if (trimmed.isEmpty()) continue;
      patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    result << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return result;
}

}  // namespace tabrix
