#include "widgets/application_title.h"

#include <QCoreApplication>

namespace tabrix {

QString applicationTitle(const QString& executablePath) {
  QString name = executablePath.mid(executablePath.lastIndexOf(QLatin1Char('/')) + 1);
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  return name.left(1) + name.mid(1).toLower();
}

QString applicationTitle() { return applicationTitle(QCoreApplication::applicationFilePath()); }

}  // namespace tabrix
