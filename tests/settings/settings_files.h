#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include "fixtures.h"

// A settings file in a temporary folder, written and read as bytes.
class SettingsFile {
 public:
  SettingsFile() : m_path(QString::fromStdString((m_folder.path() / "tabrix.ini").string())) {}

  const QString& path() const { return m_path; }
  QString folder() const { return QString::fromStdString(m_folder.path().string()); }

  void write(const QByteArray& bytes) const {
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
  }
  QByteArray read() const {
    QFile file(m_path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << m_path.toStdString();
    return file.readAll();
  }
  bool exists() const { return QFile::exists(m_path); }

 private:
  fixtures::TempDir m_folder;
  QString m_path;
};

// Lines joined, each ended by CR LF, as the settings file holds them.
inline QByteArray crlf(std::initializer_list<const char*> lines) {
  QByteArray text;
  for (const char* line : lines) text += QByteArray(line) + "\r\n";
  return text;
}
