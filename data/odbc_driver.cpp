#include "data/odbc_driver.h"

#include <vector>

#include "data/errors.h"

namespace tabrix {

namespace {

// Reads a text column of the current row as UTF-8 bytes, piece by piece for
// long values; false for a null.
bool readBytes(const odbc::Handle& statement, SQLUSMALLINT column, std::vector<char>& chunk, QByteArray& value) {
  value.clear();
  for (;;) {
    SQLLEN indicator = 0;
    const SQLRETURN result = statement.check(
        SQLGetData(statement.get(), column, SQL_C_CHAR, chunk.data(), static_cast<SQLLEN>(chunk.size()), &indicator));
    if (result == SQL_NO_DATA) return true;
    if (indicator == SQL_NULL_DATA) return false;
    const qsizetype room = static_cast<qsizetype>(chunk.size()) - 1;
    const bool truncated = result == SQL_SUCCESS_WITH_INFO && (indicator == SQL_NO_TOTAL || indicator > room);
    value.append(chunk.data(), truncated ? room : indicator);
    if (!truncated) return true;
  }
}

bool readText(const odbc::Handle& statement, SQLUSMALLINT column, QString& text) {
  std::vector<char> chunk(4096);
  QByteArray value;
  const bool present = readBytes(statement, column, chunk, value);
  text = QString::fromUtf8(value);
  return present;
}

}  // namespace

OdbcDriver::OdbcDriver(const QString& connectionString) : m_connection(SQL_HANDLE_DBC, m_environment.get()) {
  QByteArray in = connectionString.toUtf8();
  std::vector<SQLCHAR> out(8192);
  SQLSMALLINT outLength = 0;
  m_connection.check(SQLDriverConnectA(m_connection.get(), nullptr, odbc::bytes(in), static_cast<SQLSMALLINT>(in.size()),
                                       out.data(), static_cast<SQLSMALLINT>(out.size()), &outLength,
                                       SQL_DRIVER_NOPROMPT));
  m_completedConnectionString = odbc::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
}

OdbcDriver::~OdbcDriver() { SQLDisconnect(m_connection.get()); }

std::vector<CatalogueRow> OdbcDriver::catalogue() {
  odbc::Handle statement(SQL_HANDLE_STMT, m_connection.get());
  statement.check(SQLTablesA(statement.get(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0));
  std::vector<CatalogueRow> rows;
  while (statement.check(SQLFetch(statement.get())) != SQL_NO_DATA) {
    CatalogueRow row;
    readText(statement, 3, row.name);
    readText(statement, 4, row.type);
    rows.push_back(std::move(row));
  }
  return rows;
}

bool OdbcDriver::isRegistered(const QString& driverName) {
  odbc::Environment environment;
  SQLCHAR name[1024];
  SQLCHAR attributes[4096];
  SQLSMALLINT nameLength = 0;
  SQLSMALLINT attributesLength = 0;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    const SQLRETURN result = SQLDriversA(environment.get(), direction, name, sizeof name, &nameLength, attributes,
                                         sizeof attributes, &attributesLength);
    if (!SQL_SUCCEEDED(result)) return false;
    if (odbc::fromUtf8(name, sizeof name) == driverName) return true;
    direction = SQL_FETCH_NEXT;
  }
}

}  // namespace tabrix
