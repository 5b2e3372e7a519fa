#include "pg_client.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include "postgres_server.h"

namespace tooltest {

PgClient::PgClient(const std::string& uri) : connection_(PQconnectdb(uri.c_str())) {
  EXPECT_EQ(PQstatus(connection_), CONNECTION_OK) << PQerrorMessage(connection_);
  PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
  PQsetClientEncoding(connection_, "UTF8");
}

PgClient::~PgClient() { PQfinish(connection_); }

std::vector<std::vector<Cell>> PgClient::query(const std::string& sql) {
  std::vector<std::vector<Cell>> rows;
  PGresult* result = PQexec(connection_, sql.c_str());
  if (PQresultStatus(result) != PGRES_TUPLES_OK) {
    ADD_FAILURE() << sql << ": " << PQresultErrorMessage(result);
  } else {
    for (int r = 0; r < PQntuples(result); ++r) {
      std::vector<Cell> row;
      for (int c = 0; c < PQnfields(result); ++c)
        row.push_back(PQgetisnull(result, r, c) ? Cell() : Cell(std::string(PQgetvalue(result, r, c),
                                                                              static_cast<std::size_t>(PQgetlength(result, r, c)))));
      rows.push_back(std::move(row));
    }
  }
  PQclear(result);
  return rows;
}

std::string PgClient::run(const std::string& sql) {
  PGresult* result = PQexec(connection_, sql.c_str());
  const ExecStatusType status = PQresultStatus(result);
  std::string error = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK ? "" : PQresultErrorMessage(result);
  PQclear(result);
  return error;
}

std::string uriWithSchema(const std::string& schema) { return PostgresServer::uri() + "&schema=" + schema; }

}  // namespace tooltest
