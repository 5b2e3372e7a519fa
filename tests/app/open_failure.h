#pragma once

#include <QString>
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
