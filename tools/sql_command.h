#pragma once

#include <string>

#include "jet/database.h"
#include "output.h"

namespace tabrix::cli {

// tabrix-cli sql: runs one Access SQL statement. Rows it gives are printed
// as CSV, as export prints a table; a statement that changes the database
// prints the number of rows it changed. Throws jet::sql::Error or
// jet::Error with the reason.
void runSql(const jet::Database& database, const std::string& statement, Output& out);

}  // namespace tabrix::cli
