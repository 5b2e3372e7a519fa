// tabrix-cli from the outside: the usage text describes what schema prints,
// schema --sql prints DDL each target runs, and convert's command line
// errors.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <regex>
#include <sstream>

#include "fixtures.h"
#include "jet/database.h"
#include "oracle.h"
#include "pg_client.h"
#include "postgres_server.h"
#include "process.h"

namespace {

jettest::ProcessResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), jettest::cliPath());
  return jettest::runProcess(args);
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) out.push_back(field);
  return out;
}

// Every line schema prints is one the usage text describes, field by field.
TEST(CliUsage, DescribesEachFieldOfSchemasLines) {
  auto help = cli({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* described :
       {"table   NAME", "column  NAME TYPE SIZE PRECISION SCALE NULL|NOT NULL [AUTONUMBER]", "index   NAME KIND COLUMNS",
        "TYPE is Boolean, Byte, Integer, Long, Currency, Single, Double,\n         DateTime, Binary, Text, OLE, Memo, Guid or Numeric",
        "PRIMARY KEY, UNIQUE, INDEX or FOREIGN KEY", "IGNORE NULLS", "REQUIRED", "DESC"})
    EXPECT_NE(help.out.find(described), std::string::npos) << described;
  EXPECT_EQ(cli({"schema"}).err, help.out);  // the same text for a wrong command line

  static const std::regex column(
      "column\t[^\t]+\t(Boolean|Byte|Integer|Long|Currency|Single|Double|DateTime|Binary|Text|OLE|Memo|Guid|Numeric)"
      "\t\\d+\t\\d+\t\\d+\t(NULL|NOT NULL)(\tAUTONUMBER)?");
  static const std::regex index(
      "index\t[^\t]+\t(PRIMARY KEY|UNIQUE|INDEX|FOREIGN KEY)( IGNORE NULLS)?( REQUIRED)?\t[^\t]+( DESC)?(, [^\t]+( DESC)?)*");
  for (const auto& file : jettest::allFixtureFilesOrPlaceholder()) {
    REQUIRE_FIXTURE(file);
    const std::string password = jettest::passwordFor(file);
    auto printed = password.empty() ? cli({"schema", file.string()})
                                    : cli({"--password", password, "schema", file.string()});
    ASSERT_EQ(printed.exitCode, 0) << file;
    std::stringstream lines(printed.out);
    std::string line;
    while (std::getline(lines, line)) {
      if (line.empty() || line.starts_with("table\t")) continue;
      if (line.starts_with("column\t"))
        EXPECT_TRUE(std::regex_match(line, column)) << line;
      else
        EXPECT_TRUE(std::regex_match(line, index)) << line;
      EXPECT_LE(fields(line).size(), 8u) << line;
    }
  }
}

// The DDL of every fixture runs in both targets as it is printed.
TEST(CliUsage, SchemaSqlRunsInEachTarget) {
  for (const auto& file : jettest::allFixtureFilesOrPlaceholder()) {
    REQUIRE_FIXTURE(file);
    SCOPED_TRACE(file.filename().string());
    const std::string password = jettest::passwordFor(file);
    auto sqlite = cli({"--password", password, "schema", file.string(), "--sql", "sqlite"});
    ASSERT_EQ(sqlite.exitCode, 0) << sqlite.err;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sqlite.out.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);

    if (tooltest::PostgresServer::uri().empty()) continue;
    auto postgres = cli({"--password", password, "schema", file.string(), "--sql=postgres"});
    ASSERT_EQ(postgres.exitCode, 0) << postgres.err;
    tooltest::PgClient pg(tooltest::PostgresServer::uri());
    const std::string schema = "ddl_" + jettest::fixtureTestName({file, 0});
    EXPECT_EQ(pg.run("CREATE SCHEMA " + schema + "; SET search_path TO " + schema + ";\n" + postgres.out), "");
  }
}

TEST(CliUsage, ConvertCommandLineErrors) {
  const auto file = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(file);
  fixtures::TempDir dir;
  const std::string target = "sqlite:" + (dir.path() / "x.sqlite").string();
  struct Case {
    std::vector<std::string> args;
    std::string firstLine;
  };
  const Case cases[] = {
      {{"convert", file.string()}, "usage: tabrix-cli"},
      {{"convert", file.string(), target, "--per-table", "--single-transaction"}, "usage: tabrix-cli"},
      {{"convert", file.string(), target, "--tables"}, "usage: tabrix-cli"},
      {{"convert", file.string(), target, "--tables", "A,,B"}, "usage: tabrix-cli"},
      {{"convert", file.string(), target, "--views"}, "usage: tabrix-cli"},
      {{"convert", file.string(), "mysql://h/db"},
       "tabrix-cli: the target mysql://h/db is neither sqlite:PATH nor a postgresql:// connection URI"},
      {{"schema", file.string(), "--sql", "oracle"}, "usage: tabrix-cli"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    auto r = cli(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.starts_with(c.firstLine)) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  auto unknown = cli({"convert", file.string(), target, "--tables", "Table1,Nothing"});
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_EQ(unknown.err, "tabrix-cli: " + file.string() + " has no table named Nothing.\n");
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
