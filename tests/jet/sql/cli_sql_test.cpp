// tabrix-cli sql: a result as CSV in the export's format, errors on stderr
// with exit status 1.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "process.h"

namespace {

jettest::ProcessResult cli(const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{TABRIX_CLI};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return jettest::runProcess(argv);
}

TEST(CliSql, PrintsTheRowsAsCsv) {
  const auto nwind = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(nwind);
  const auto r = cli({"sql", nwind.string(),
                      "SELECT ShipperID, CompanyName, #1/2/2000 3:04:05# AS [When], CCur(1.5), True, Null, "
                      "'a \"b\", c' FROM Shippers ORDER BY ShipperID DESC"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "ShipperID,CompanyName,When,Expr1000,Expr1001,Expr1002,Expr1003\n"
            "3,Federal Shipping,2000-01-02 03:04:05,1.5,true,,\"a \"\"b\"\", c\"\n"
            "2,United Package,2000-01-02 03:04:05,1.5,true,,\"a \"\"b\"\", c\"\n"
            "1,Speedy Express,2000-01-02 03:04:05,1.5,true,,\"a \"\"b\"\", c\"\n");
  EXPECT_EQ(r.err, "");
}

TEST(CliSql, AnEmptyResultPrintsItsHeader) {
  const auto nwind = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(nwind);
  const auto r = cli({"sql", nwind.string(), "SELECT CompanyName FROM Shippers WHERE ShipperID = 0"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "CompanyName\n");
}

TEST(CliSql, TakesThePassword) {
  const auto locked = fixtures::mdb("V2000_with-password.mdb");
  REQUIRE_FIXTURE(locked);
  const auto r = cli({"--password", "password", "sql", locked.string(), "SELECT Count(*) AS N FROM Table1"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "N\n3\n");
  EXPECT_EQ(cli({"sql", locked.string(), "SELECT Count(*) FROM Table1"}).exitCode, 1);
}

TEST(CliSql, ErrorsGoToStandardError) {
  const auto nwind = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(nwind);
  auto r = cli({"sql", nwind.string(), "SELECT * FROM Nowhere"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "tabrix-cli: No table or query named \"Nowhere\" (line 1, column 15)\n");
  r = cli({"sql", nwind.string(), "DELETE FROM Shippers"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tabrix-cli: The built-in engine can't change the database yet\n");
  r = cli({"sql", nwind.string()});
  EXPECT_EQ(r.exitCode, 2);
}

}  // namespace
