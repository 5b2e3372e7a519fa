// The tools' tests share one PostgreSQL server, started before the first
// test and stopped after the last.

#include <gtest/gtest.h>

#include "postgres_server.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new tooltest::PostgresServer);
  return RUN_ALL_TESTS();
}
