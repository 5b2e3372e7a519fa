#include "data/odbc_handle.h"

#include "data/errors.h"

namespace tabrix::odbc {

Handle::Handle(SQLSMALLINT type, SQLHANDLE parent) : m_type(type) {
  const SQLRETURN result = SQLAllocHandle(type, parent, &m_handle);
  if (!SQL_SUCCEEDED(result)) {
    m_handle = SQL_NULL_HANDLE;
    throw ProviderError(QStringLiteral("The ODBC driver manager could not allocate a handle"));
  }
}

Handle::~Handle() {
  if (m_handle != SQL_NULL_HANDLE) SQLFreeHandle(m_type, m_handle);
}

SQLRETURN Handle::check(SQLRETURN result) const {
  if (result == SQL_ERROR || result == SQL_INVALID_HANDLE) throw ProviderError(diagnostic());
  return result;
}

QString Handle::diagnostic() const {
  SQLCHAR state[6] = {};
  SQLINTEGER native = 0;
  SQLCHAR message[4 * SQL_MAX_MESSAGE_LENGTH] = {};
  SQLSMALLINT length = 0;
  const SQLRETURN result =
      SQLGetDiagRecA(m_type, m_handle, 1, state, &native, message, sizeof message, &length);
  if (SQL_SUCCEEDED(result) && message[0] != 0) return fromUtf8(message, sizeof message);
  if (SQL_SUCCEEDED(result))
    return QStringLiteral("The ODBC driver failed (SQLSTATE %1)").arg(fromUtf8(state, sizeof state));
  return QStringLiteral("The ODBC driver failed without saying why");
}

QString fromUtf8(const SQLCHAR* text, qsizetype capacity) {
  const auto* begin = reinterpret_cast<const char*>(text);
  return QString::fromUtf8(begin, qstrnlen(begin, static_cast<uint>(capacity)));
}

Environment::Environment() : Handle(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
  check(SQLSetEnvAttr(get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0));
}

}  // namespace tabrix::odbc
