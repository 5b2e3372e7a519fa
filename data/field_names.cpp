#include "data/field_names.h"

#include <QSet>

namespace tabrix {

std::vector<QString> fieldNames(const std::vector<QString>& columnNames) {
  std::vector<QString> names;
  QSet<QString> taken;
  for (const QString& original : columnNames) {
    QString name = original;
    if (name.isEmpty() || taken.contains(name.toCaseFolded())) {
      const QString prefix = original.isEmpty() ? QStringLiteral("COLUMN") : original + QChar('_');
      for (int i = 1;; ++i) {
        name = prefix + QString::number(i);
        if (!taken.contains(name.toCaseFolded())) break;
      }
    }
    taken.insert(name.toCaseFolded());
    names.push_back(name);
  }
  return names;
}

}  // namespace tabrix
