#include "settings/window_name.h"

#include <QApplication>
#include <QWidget>

namespace tabrix {

namespace {

bool nameTaken(const QString& name) {
  for (const QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName().compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

}  // namespace

QString uniqueWindowName(const QString& base) {
  QString name = base;
  for (int i = 1; nameTaken(name); ++i) name = base + u'_' + QString::number(i);
  return name;
}

}  // namespace tabrix
