#include "settings/settings_file.h"

#include <QDir>
#include <QFileInfo>

namespace tabrix {

namespace {

const QString kFileName = QStringLiteral("tabrix.ini");

QString userConfigurationFolder() {
  const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
  // A relative path there is to be ignored, as unset.
  if (QDir::isAbsolutePath(configured)) return configured;
  return QDir::homePath() + QStringLiteral("/.config");
}

}  // namespace

QString settingsFilePath(const QString& executableFolder) {
  const QFileInfo folder(executableFolder);
  if (folder.isDir() && folder.isWritable()) return QDir(executableFolder).filePath(kFileName);
  return userConfigurationFolder() + QStringLiteral("/tabrix/") + kFileName;
}

}  // namespace tabrix
