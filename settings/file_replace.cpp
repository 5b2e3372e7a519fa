#include "settings/file_replace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace tabrix {

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

[[noreturn]] void cannotCreate(const QString& path, const QString& reason) {
  throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason).toStdString());
}

}  // namespace

void replaceFile(const QString& path, const QByteArray& bytes) {
  const QFileInfo info(path);
  const QString folder = info.absolutePath();
  if (!QDir(folder).exists()) {
    if (!QDir().mkpath(folder)) cannotCreate(path, QStringLiteral("Its folder could not be made."));
    QFile::setPermissions(folder, kOwnerOnly | QFileDevice::ExeOwner);
  }

  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) cannotCreate(path, file.errorString());
  if (!info.exists()) file.setPermissions(kOwnerOnly);
  if (file.write(bytes) != bytes.size() || !file.commit()) cannotCreate(path, file.errorString());
}

}  // namespace tabrix
