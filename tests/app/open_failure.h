#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/connection_string.h"
#include "data/connection.h"

// The message a failed "Otworz baze" shows: the window's own text, then the
// error a connection of its own gives on the same string.
inline QString openFailure(const QString& fileName, const QString& password = {},
                           const tabrix::LoginPrompt& login = {}) {
  tabrix::Connection connection;
  connection.setObjectName("ADOConnection");
  connection.setConnectionString(tabrix::connectionString(password, fileName));
  if (login) {
    connection.setLoginPrompt(true);
    connection.setLoginHandler(login);
  }
  try {
    connection.open();
  } catch (const std::exception& error) {
    return QStringLiteral("Błąd otwarcia Bazy !\r") + QString::fromUtf8(error.what());
  }
  ADD_FAILURE() << "connecting to " << fileName.toStdString() << " did not fail";
  return {};
}

// Writes junk.mdb into `folder`: 4 KiB of "x", a file no driver opens.
inline QString writeJunkDatabase(const QTemporaryDir& folder) {
  const QString junk = folder.filePath("junk.mdb");
  QFile file(junk);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(4096, 'x'));
  return junk;
}
