#include "data/driver_factory.h"

#include "data/connection_string.h"
#include "data/errors.h"
#include "data/jet_driver.h"
#include "data/odbc_connection_string.h"
#include "data/odbc_driver.h"

namespace tabrix {

std::unique_ptr<Driver> makeDriver(const QString& connectionString, const std::optional<Credentials>& login) {
  const ConnectionString settings = ConnectionString::parse(connectionString);
  OdbcConnectionString odbcSettings =
      OdbcConnectionString::parse(settings.value(QStringLiteral("Extended Properties")).value_or(QString()));

  std::optional<QString> user = settings.value(QStringLiteral("User ID"));
  std::optional<QString> password = settings.value(QStringLiteral("Password"));
  if (login) {
    user = login->userName;
    password = login->password;
  }

  const QString driverName = odbcSettings.value(QStringLiteral("DRIVER")).value_or(QString());
  if (!driverName.isEmpty() && OdbcDriver::isRegistered(driverName)) {
    if (user) odbcSettings.set(QStringLiteral("UID"), *user);
    if (password) odbcSettings.set(QStringLiteral("PWD"), *password);
    return std::make_unique<OdbcDriver>(odbcSettings.toString());
  }

  // The built-in engine: DBQ names the file.
  const QString file = odbcSettings.value(QStringLiteral("DBQ"))
                           .value_or(settings.value(QStringLiteral("Data Source")).value_or(QString()));
  if (file.isEmpty()) {
    throw ProviderError(QStringLiteral("The ODBC driver \"%1\" is not installed, and the connection string names no "
                                       "database file (DBQ) for the built-in engine")
                            .arg(driverName));
  }
  if (!password) password = odbcSettings.value(QStringLiteral("PWD"));
  if (!user) user = odbcSettings.value(QStringLiteral("UID"));
  return std::make_unique<JetDriver>(file, password.value_or(QString()), user.value_or(QString()));
}

}  // namespace tabrix
