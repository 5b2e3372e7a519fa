#pragma once

#include <deque>
#include <vector>

#include "data/driver.h"
#include "data/odbc_handle.h"

namespace tabrix::odbc {

// The parameters of one statement, in the order of its "?" marks. Holds
// their buffers until the statement has run.
class Parameters {
 public:
  void add(const ColumnValue& value);
  void bind(const Handle& statement);

 private:
  struct Parameter {
    SQLSMALLINT cType = SQL_C_CHAR;
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    std::vector<char> data;
    SQLLEN indicator = 0;
  };
  std::deque<Parameter> m_parameters;
};

}  // namespace tabrix::odbc
