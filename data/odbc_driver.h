#pragma once

#include <QString>
#include <memory>

#include "data/driver.h"
#include "data/odbc_handle.h"

namespace tabrix {

// A driver over the system's ODBC driver manager (unixODBC).
class OdbcDriver : public Driver {
 public:
  // Connects with SQLDriverConnect, never prompting. ProviderError with the
  // driver's text on failure.
  explicit OdbcDriver(const QString& connectionString);
  ~OdbcDriver() override;

  std::vector<CatalogueRow> catalogue() override;

  // The connection string the driver made of ours when it connected.
  QString completedConnectionString() const { return m_completedConnectionString; }

  // Whether the driver manager has a driver registered under exactly this name.
  static bool isRegistered(const QString& driverName);

 private:
  odbc::Environment m_environment;
  odbc::Handle m_connection;
  QString m_completedConnectionString;
};

}  // namespace tabrix
