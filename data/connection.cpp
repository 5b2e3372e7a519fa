#include "data/connection.h"

#include "data/connection_string.h"
#include "data/driver.h"
#include "data/errors.h"
#include "data/jet_driver.h"
#include "data/odbc_connection_string.h"
#include "data/odbc_driver.h"

namespace tabrix {

namespace {

const QString kNotAllowedOpen = QStringLiteral("Operation is not allowed when the object is open");
const QString kNotAllowedClosed = QStringLiteral("Operation is not allowed when the object is closed");

}  // namespace

Connection::Connection(QObject* parent) : QObject(parent) {}

Connection::~Connection() { close(); }

QString Connection::connectionString() const { return m_connectionString; }

void Connection::setConnectionString(const QString& connectionString) {
  if (connectionString == m_connectionString) return;
  if (connected()) throw ProviderError(kNotAllowedOpen);
  m_connectionString = connectionString;
}

bool Connection::loginPrompt() const { return m_loginPrompt; }

void Connection::setLoginPrompt(bool on) { m_loginPrompt = on; }

void Connection::setLoginHandler(LoginPrompt prompt) { m_loginHandler = std::move(prompt); }

bool Connection::connected() const { return m_driver != nullptr; }

void Connection::open() {
  if (connected()) return;
  const ConnectionString settings = ConnectionString::parse(m_connectionString);
  OdbcConnectionString odbcSettings = OdbcConnectionString::parse(settings.value(QStringLiteral("Extended Properties")).value_or(QString()));

  std::optional<QString> user = settings.value(QStringLiteral("User ID"));
  std::optional<QString> password = settings.value(QStringLiteral("Password"));
  if (m_loginPrompt) {
    if (!m_loginHandler) throw ProviderError(QStringLiteral("No login prompt is available to ask for the user name and password"));
    const std::optional<Credentials> credentials = m_loginHandler(objectName(), loginUserName(m_connectionString));
    if (!credentials) throw ProviderError(QStringLiteral("Login cancelled by the user"));
    user = credentials->userName;
    password = credentials->password;
  }

  const QString driverName = odbcSettings.value(QStringLiteral("DRIVER")).value_or(QString());
  if (!driverName.isEmpty() && OdbcDriver::isRegistered(driverName)) {
    if (user) odbcSettings.set(QStringLiteral("UID"), *user);
    if (password) odbcSettings.set(QStringLiteral("PWD"), *password);
    m_driver = std::make_unique<OdbcDriver>(odbcSettings.toString());
    return;
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
  m_driver = std::make_unique<JetDriver>(file, password.value_or(QString()), user.value_or(QString()));
}

void Connection::close() {
  if (!connected()) return;
  m_driver.reset();
  emit disconnected();
}

std::vector<CatalogueRow> Connection::catalogue() { return driver().catalogue(); }

Driver& Connection::driver() {
  if (!m_driver) throw ProviderError(kNotAllowedClosed);
  return *m_driver;
}

}  // namespace tabrix
