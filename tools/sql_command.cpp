#include "sql_command.h"

#include "csv_writer.h"
#include "jet/sql/session.h"

namespace tabrix::cli {

void runSql(const jet::Database& database, const std::string& statement, Output& out) {
  jet::sql::Session session(database);
  std::unique_ptr<jet::sql::Statement> prepared = session.prepare(statement);
  if (!prepared->givesRows()) {
    out.put(std::to_string(prepared->execute()) + "\n");
    return;
  }
  CsvWriter csv(out);
  // The first row runs the statement: a failure prints nothing.
  const bool any = prepared->next();
  csv.header(prepared->table());
  if (!any) return;
  const std::size_t columns = prepared->table().columns.size();
  do csv.row(*prepared, columns);
  while (prepared->next());
}

}  // namespace tabrix::cli
