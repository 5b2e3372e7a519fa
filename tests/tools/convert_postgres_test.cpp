// tabrix-cli convert into the tests' PostgreSQL server: every table of the
// fixtures arrives with its rows and values, keys, indexes, foreign keys
// that refuse orphans and cascade as in Access, identities that go on; a
// refused row leaves no table behind.

#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"
#include "jet/database.h"
#include "oracle.h"
#include "pg_client.h"
#include "postgres_server.h"
#include "process.h"
#include "source_values.h"

namespace {

using tooltest::Cell;
using tooltest::PgClient;

jettest::ProcessResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), jettest::cliPath());
  return jettest::runProcess(args);
}

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

class PostgresConvertTest : public ::testing::TestWithParam<std::filesystem::path> {};

// Row counts and, column by column, the values (as multisets) equal what
// tabrix-cli export reads from the source.
TEST_P(PostgresConvertTest, EveryTableWithItsValuesAndIndexes) {
  REQUIRE_POSTGRES();
  const std::filesystem::path& file = GetParam();
  REQUIRE_FIXTURE(file);
  const std::string schema = jettest::fixtureTestName({file, 0});
  const std::string password = jettest::passwordFor(file);
  std::vector<std::string> args{"convert", file.string(), tooltest::uriWithSchema(schema)};
  if (!password.empty()) args.insert(args.end(), {"--password", password});
  auto result = cli(args);
  ASSERT_EQ(result.exitCode, 0) << result.err;

  jet::OpenOptions options;
  options.password = password;
  auto db = jet::Database::open(file.string(), options);
  PgClient pg(tooltest::PostgresServer::uri());
  for (const jet::CatalogueEntry& entry : db->catalogue()) {
    if (entry.kind != jet::ObjectKind::Table) continue;
    SCOPED_TRACE(entry.name);
    const tooltest::ExportedTable source = tooltest::exportTable(file.string(), entry.name, password);
    const auto rows = pg.query("SELECT * FROM " + quoted(schema) + "." + quoted(entry.name));
    ASSERT_EQ(rows.size(), source.rows.size());
    for (std::size_t c = 0; c < source.def.columns.size(); ++c) {
      std::vector<Cell> theirs, ours;
      for (const auto& row : source.rows) ours.push_back(row[c]);
      for (const auto& row : rows)
        theirs.push_back(row[c] ? Cell(tooltest::canonical(source.def.columns[c].type, *row[c])) : Cell());
      std::sort(ours.begin(), ours.end());
      std::sort(theirs.begin(), theirs.end());
      EXPECT_TRUE(theirs == ours) << "column " << source.def.columns[c].name;
    }
    std::size_t indexes = 0;
    for (const jet::Index& i : source.def.indexes) indexes += i.foreignKey ? 0 : 1;
    const auto made = pg.query("SELECT count(*) FROM pg_indexes WHERE schemaname = '" + schema +
                               "' AND tablename = '" + entry.name + "'");
    EXPECT_GE(std::stoul(*made.at(0).at(0)), indexes);
  }
}

std::vector<std::filesystem::path> convertedFixtures() {
  std::vector<std::filesystem::path> files;
  for (const char* name : {"nwind.mdb", "V1997_test.mdb", "V2000_test.mdb", "V2000_numeric.mdb",
                           "V2000_with-password.mdb", "jackcess/indexTestV2000.mdb", "jackcess/compIndexTestV2000.mdb",
                           "jackcess/testIndexPropertiesV2000.mdb", "jackcess/bigIndexTestV2000.mdb",
                           "jackcess/testIndexCodesV1997.mdb", "jackcess/fixedNumericTestV2000.mdb",
                           "jackcess/testUnicodeCompV2003.mdb", "jackcess/delColTestV2000.mdb"})
    files.push_back(fixtures::mdb(name));
  return files;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PostgresConvertTest, ::testing::ValuesIn(convertedFixtures()),
                         jettest::fixtureTestName);

// Northwind converted once, into schema "northwind", for the tests that
// look at its keys.
class Northwind : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (tooltest::PostgresServer::uri().empty() || !std::filesystem::exists(fixtures::mdb("nwind.mdb"))) return;
    auto result = cli({"convert", fixtures::mdb("nwind.mdb").string(), tooltest::uriWithSchema("northwind")});
    converted_ = result.exitCode == 0;
    EXPECT_TRUE(converted_) << result.err;
  }
  void SetUp() override {
    REQUIRE_POSTGRES();
    REQUIRE_FIXTURE(fixtures::mdb("nwind.mdb"));
    ASSERT_TRUE(converted_);
  }
  static std::string count(PgClient& pg, const std::string& sql) { return *pg.query(sql).at(0).at(0); }
  static inline bool converted_ = false;
};

TEST_F(Northwind, NamesKeepCaseBlanksAndLetters) {
  PgClient pg(tooltest::PostgresServer::uri());
  auto names = pg.query("SELECT table_name FROM information_schema.tables WHERE table_schema = 'northwind' "
                        "ORDER BY table_name COLLATE \"C\"");
  std::vector<std::string> found;
  for (const auto& row : names) found.push_back(*row[0]);
  EXPECT_EQ(found, (std::vector<std::string>{"Categories", "Customers", "Employees", "Order Details", "Orders",
                                             "Products", "Shippers", "Suppliers", "Umsätze"}));
  EXPECT_EQ(count(pg, "SELECT count(*) FROM northwind.\"Umsätze\""), "830");
}

TEST_F(Northwind, ForeignKeysRefuseOrphans) {
  PgClient pg(tooltest::PostgresServer::uri());
  EXPECT_NE(pg.run("INSERT INTO northwind.\"Order Details\" (\"OrderID\", \"ProductID\", \"UnitPrice\", "
                   "\"Quantity\", \"Discount\") VALUES (1, 1, 1, 1, 0)")
                .find("violates foreign key constraint \"OrdersOrder Details\""),
            std::string::npos);
  // Without a cascade, a referenced row can't go.
  EXPECT_NE(pg.run("DELETE FROM northwind.\"Products\" WHERE \"ProductID\" = 11").find("violates foreign key"),
            std::string::npos);
}

TEST_F(Northwind, ForeignKeysCascadeAsInAccess) {
  PgClient pg(tooltest::PostgresServer::uri());
  ASSERT_EQ(pg.run("BEGIN"), "");
  EXPECT_EQ(count(pg, "SELECT count(*) FROM northwind.\"Order Details\" WHERE \"OrderID\" = 10248"), "3");
  EXPECT_EQ(pg.run("DELETE FROM northwind.\"Orders\" WHERE \"OrderID\" = 10248"), "");
  EXPECT_EQ(count(pg, "SELECT count(*) FROM northwind.\"Order Details\" WHERE \"OrderID\" = 10248"), "0");
  const std::string orders = count(pg, "SELECT count(*) FROM northwind.\"Orders\" WHERE \"CustomerID\" = 'TOMSP'");
  EXPECT_EQ(pg.run("UPDATE northwind.\"Customers\" SET \"CustomerID\" = 'TOMSX' WHERE \"CustomerID\" = 'TOMSP'"), "");
  EXPECT_EQ(count(pg, "SELECT count(*) FROM northwind.\"Orders\" WHERE \"CustomerID\" = 'TOMSX'"), orders);
  EXPECT_NE(orders, "0");
  ASSERT_EQ(pg.run("ROLLBACK"), "");
}

TEST_F(Northwind, IdentitiesContinueAfterTheHighestValue) {
  PgClient pg(tooltest::PostgresServer::uri());
  ASSERT_EQ(pg.run("BEGIN"), "");
  EXPECT_EQ(count(pg, "SELECT max(\"OrderID\") FROM northwind.\"Orders\""), "11077");
  EXPECT_EQ(count(pg, "INSERT INTO northwind.\"Orders\" (\"CustomerID\") VALUES ('VINET') RETURNING \"OrderID\""),
            "11078");
  EXPECT_EQ(count(pg, "INSERT INTO northwind.\"Shippers\" (\"CompanyName\") VALUES ('New') RETURNING \"ShipperID\""),
            "4");
  EXPECT_EQ(count(pg, "INSERT INTO northwind.\"Products\" (\"ProductName\") VALUES ('x') RETURNING "
                      "\"UnitsInStock\"::text || ' ' || \"Discontinued\"::text"),
            "0 false");  // the defaults Access keeps
  ASSERT_EQ(pg.run("ROLLBACK"), "");
}

// A server-side rule that refuses some of Orders' rows: the run fails
// naming the table, row and column; nothing of the failed transaction
// remains.
TEST(PostgresConvert, ARefusedRowLeavesNoTable) {
  REQUIRE_POSTGRES();
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  PgClient pg(tooltest::PostgresServer::uri());
  ASSERT_EQ(pg.run(R"(
    CREATE OR REPLACE FUNCTION limit_freight() RETURNS event_trigger LANGUAGE plpgsql AS $$
    DECLARE made record;
    BEGIN
      FOR made IN SELECT object_identity FROM pg_event_trigger_ddl_commands()
                  WHERE command_tag = 'CREATE TABLE' AND object_identity LIKE 'refusing%."Orders"' LOOP
        EXECUTE 'ALTER TABLE ' || made.object_identity || ' ADD CONSTRAINT "freight limit" CHECK ("Freight" < 500)';
      END LOOP;
    END $$;
    CREATE EVENT TRIGGER limit_freight ON ddl_command_end EXECUTE FUNCTION limit_freight();)"),
            "");
  // The first order of 500 or more in the order the table keeps them.
  const auto orders = tooltest::exportTable(file.string(), "Orders");
  std::size_t refused = 0;
  while (std::stod(*orders.rows.at(refused).at(7)) < 500) ++refused;

  auto result = cli({"convert", file.string(), tooltest::uriWithSchema("refusing")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("tabrix-cli: cannot copy table Orders, row " + std::to_string(refused + 1) +
                            ": new row for relation \"Orders\" violates check constraint \"freight limit\""),
            std::string::npos)
      << result.err;
  EXPECT_TRUE(pg.query("SELECT 1 FROM pg_namespace WHERE nspname = 'refusing'").empty());

  // A transaction per table keeps the tables before the failure, and none after.
  result = cli({"convert", file.string(), tooltest::uriWithSchema("refusing_per_table"), "--per-table"});
  EXPECT_EQ(result.exitCode, 1);
  auto names = pg.query("SELECT table_name FROM information_schema.tables WHERE table_schema = 'refusing_per_table' "
                        "ORDER BY 1");
  std::vector<std::string> found;
  for (const auto& row : names) found.push_back(*row[0]);
  EXPECT_EQ(found, (std::vector<std::string>{"Categories", "Customers", "Employees", "Order Details"}));
  EXPECT_EQ(pg.run("DROP EVENT TRIGGER limit_freight"), "");
}

// A table already in the target is never written into.
TEST(PostgresConvert, AnExistingTableIsLeftAlone) {
  REQUIRE_POSTGRES();
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  PgClient pg(tooltest::PostgresServer::uri());
  ASSERT_EQ(pg.run("CREATE SCHEMA occupied; CREATE TABLE occupied.\"Shippers\" (x int); "
                   "INSERT INTO occupied.\"Shippers\" VALUES (7)"),
            "");
  auto result = cli({"convert", file.string(), tooltest::uriWithSchema("occupied")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "tabrix-cli: cannot copy table Shippers: relation \"Shippers\" already exists\n");
  EXPECT_EQ(pg.query("SELECT count(*) FROM information_schema.tables WHERE table_schema = 'occupied'"),
            std::vector<std::vector<Cell>>{{"1"}});
  EXPECT_EQ(pg.query("SELECT x FROM occupied.\"Shippers\""), std::vector<std::vector<Cell>>{{"7"}});
}

TEST(PostgresConvert, SomeTablesAndWhatTheyLeaveOut) {
  REQUIRE_POSTGRES();
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  auto result = cli({"convert", file.string(), tooltest::uriWithSchema("some"), "--tables", "orders,Customers"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Orders\t830 rows\nCustomers\t91 rows\n");
  EXPECT_NE(result.err.find("tabrix-cli: no foreign key for relationship EmployeesOrders (Orders to Employees): "
                            "table Employees is not converted\n"),
            std::string::npos)
      << result.err;
  PgClient pg(tooltest::PostgresServer::uri());
  EXPECT_EQ(pg.query("SELECT conname FROM pg_constraint WHERE contype = 'f' AND connamespace = "
                     "'some'::regnamespace"),
            std::vector<std::vector<Cell>>{{"CustomersOrders"}});
}

TEST(PostgresConvert, AnUnreachableServer) {
  const auto file = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(file);
  fixtures::TempDir nowhere;
  auto result = cli({"convert", file.string(), "postgresql:///postgres?host=" + nowhere.path().string()});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.err.starts_with("tabrix-cli: cannot connect to PostgreSQL: ")) << result.err;
}

}  // namespace
