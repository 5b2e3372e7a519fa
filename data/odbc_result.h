#pragma once

#include <QString>
#include <vector>

#include "data/driver.h"
#include "data/odbc_handle.h"

namespace tabrix::odbc {

// A column of an ODBC result: what the dataset sees, and what the driver
// needs to read and write it.
struct ResultColumn {
  ColumnInfo info;
  SQLSMALLINT sqlType = SQL_VARCHAR;
  QString baseTable;  // empty for a computed column
};

// Describes the columns of the statement's current result.
std::vector<ResultColumn> describe(const Handle& statement);

// The ADO type a column of this ODBC type is seen as.
DataType dataTypeOf(SQLSMALLINT sqlType, bool isUnsigned, bool money);

// Reads the rows of the statement's current result into the sink (after
// begin()), at most `limit` rows when it is above 0.
void fetchRows(const Handle& statement, const std::vector<ColumnInfo>& columns, RowSink& sink, std::size_t limit = 0);

}  // namespace tabrix::odbc
