#include "data/connection.h"

#include "data/connection_string.h"
#include "data/driver.h"
#include "data/driver_factory.h"
#include "data/errors.h"

namespace tabrix {

namespace {

const QString kNotAllowedOpen = QStringLiteral("Operation is not allowed when the object is open");
const QString kNotAllowedClosed = QStringLiteral("Operation is not allowed when the object is closed");

}  // namespace

Connection::Connection(QObject* parent) : Connection(makeDriver, parent) {}

Connection::Connection(DriverFactory factory, QObject* parent)
    : QObject(parent), m_driverFactory(std::move(factory)) {}

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
  // A malformed string fails before any login dialog shows.
  ConnectionString::parse(m_connectionString);
  std::optional<Credentials> login;
  if (m_loginPrompt) {
    if (!m_loginHandler) throw ProviderError(QStringLiteral("No login prompt is available to ask for the user name and password"));
    login = m_loginHandler(objectName(), loginUserName(m_connectionString));
    if (!login) throw ProviderError(QStringLiteral("Login cancelled by the user"));
  }
  m_driver = m_driverFactory(m_connectionString, login);
}

void Connection::close() {
  if (!connected()) return;
  emit aboutToClose();
  m_driver.reset();
  emit disconnected();
}

std::vector<CatalogueRow> Connection::catalogue() { return driver().catalogue(); }

Driver& Connection::driver() {
  if (!m_driver) throw ProviderError(kNotAllowedClosed);
  return *m_driver;
}

}  // namespace tabrix
