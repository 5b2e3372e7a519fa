#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tabrix {

class Driver;

struct Credentials {
  QString userName;
  QString password;
};

// Shows the login dialog: the connection's name and the user name taken from
// the connection string come in; the typed credentials come back, or nothing
// when the user cancelled.
using LoginPrompt =
    std::function<std::optional<Credentials>(const QString& connectionName, const QString& userName)>;

// Makes the driver for a connection string; `login` holds the credentials
// the login dialog gave, if it was shown. The program's is makeDriver()
// (data/driver_factory.h); tests make drivers of their own.
using DriverFactory =
    std::function<std::unique_ptr<Driver>(const QString& connectionString, const std::optional<Credentials>& login)>;

// One row of the catalogue: a table type ("TABLE", "VIEW", "SYSTEM TABLE", …)
// and a table name.
struct CatalogueRow {
  QString type;
  QString name;
};

// The one link to a database. The connection string names the driver: the
// system's ODBC driver registered under the name in Driver={...}, or the
// built-in engine when there is none. Datasets attach to a connection; closing
// it closes every attached dataset, then the driver. Only datasets reach the
// driver.
class Connection : public QObject {
  Q_OBJECT

 public:
  explicit Connection(QObject* parent = nullptr);
  // Drivers come from `factory` instead of makeDriver().
  explicit Connection(DriverFactory factory, QObject* parent = nullptr);
  ~Connection() override;

  QString connectionString() const;
  // ProviderError when it would change while connected.
  void setConnectionString(const QString& connectionString);

  bool loginPrompt() const;
  void setLoginPrompt(bool on);
  void setLoginHandler(LoginPrompt prompt);

  bool connected() const;

  // Connects; with the login prompt on, asks for credentials first (a cancel
  // fails the connect). Does nothing while connected. ProviderError on failure.
  void open();
  // Closes every attached dataset, then the link. Does nothing when closed.
  void close();

  // Every catalogue row, in the order the driver gives them. ProviderError.
  std::vector<CatalogueRow> catalogue();

 signals:
  // The link is closing: attached datasets close on it, while the driver
  // is still there.
  void aboutToClose();
  // The link has closed.
  void disconnected();

 private:
  friend class Dataset;

  // The driver of the open link; ProviderError when not connected.
  Driver& driver();

  DriverFactory m_driverFactory;
  QString m_connectionString;
  bool m_loginPrompt = false;
  LoginPrompt m_loginHandler;
  std::unique_ptr<Driver> m_driver;
};

}  // namespace tabrix
