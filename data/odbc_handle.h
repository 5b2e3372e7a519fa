#pragma once

#include <QByteArray>
#include <QString>
#include <sql.h>
#include <sqlext.h>
#include <string>

namespace tabrix::odbc {

// Owns one ODBC handle (environment, connection or statement) and frees it.
class Handle {
 public:
  Handle(SQLSMALLINT type, SQLHANDLE parent);  // ProviderError when it can't be allocated
  ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  SQLHANDLE get() const { return m_handle; }
  SQLSMALLINT type() const { return m_type; }

  // Throws ProviderError with the handle's first diagnostic when the call
  // failed; returns the result otherwise (SQL_NO_DATA included).
  SQLRETURN check(SQLRETURN result) const;

  // The first diagnostic record's text, or a text naming the SQLSTATE.
  QString diagnostic() const;

 private:
  SQLSMALLINT m_type;
  SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// An ODBC 3 environment.
class Environment : public Handle {
 public:
  Environment();
};

// Text crosses the driver manager as UTF-8 through the ANSI calls: the
// Linux drivers (SQLite's, mdbtools') take and give UTF-8 there, and the
// driver manager then converts nothing, so nothing depends on the process
// locale or on how it counts converted lengths.
inline SQLCHAR* bytes(QByteArray& utf8) { return reinterpret_cast<SQLCHAR*>(utf8.data()); }
// Up to the first null, at most `capacity` bytes.
QString fromUtf8(const SQLCHAR* text, qsizetype capacity);

}  // namespace tabrix::odbc
