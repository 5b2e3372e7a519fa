#pragma once

#include <gtest/gtest.h>

#include <string>

namespace tooltest {

// A PostgreSQL server of the tests' own, in a temporary folder, reached on
// a Unix socket there and nowhere else, started once for the test binary
// and stopped at its end. Run as root (as CI does), the server runs as the
// postgres system user, which owns the folder.
class PostgresServer : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

  // A connection URI to its database "postgres" as a superuser; empty
  // when no server could be started, and then reason() says why.
  static const std::string& uri();
  static const std::string& reason();
};

}  // namespace tooltest

// Skips the current test, with the reason, where there is no server.
#define REQUIRE_POSTGRES()                                                        \
  do {                                                                            \
    if (tooltest::PostgresServer::uri().empty()) GTEST_SKIP() << tooltest::PostgresServer::reason(); \
  } while (0)
