#pragma once

#include <string>
#include <vector>

#include "source_values.h"

struct pg_conn;

namespace tooltest {

// The tests' own connection to the server, to look at what a conversion
// made.
class PgClient {
 public:
  explicit PgClient(const std::string& uri);
  ~PgClient();
  PgClient(const PgClient&) = delete;
  PgClient& operator=(const PgClient&) = delete;

  // The rows of a query, every value as the server's text. Fails the
  // test on an error.
  std::vector<std::vector<Cell>> query(const std::string& sql);
  // Runs a statement; returns the server's error message, empty when it
  // succeeded.
  std::string run(const std::string& sql);

 private:
  pg_conn* connection_;
};

// A URI to the test server whose tables go into this schema.
std::string uriWithSchema(const std::string& schema);

}  // namespace tooltest
