// tabrix-cli convert into SQLite files: every table's rows equal what
// tabrix-cli export reads, row by row; the file passes SQLite's own checks;
// a failed run leaves no file, or only the tables committed before it.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <fstream>

#include "convert.h"
#include "fixtures.h"
#include "jet/database.h"
#include "oracle.h"
#include "process.h"
#include "source_values.h"
#include "sqlite_target.h"

namespace {

using tooltest::Cell;

jettest::ProcessResult cli(std::vector<std::string> args) {
  args.insert(args.begin(), jettest::cliPath());
  return jettest::runProcess(args);
}

// An open SQLite file, read back by the sqlite3 library.
class Lite {
 public:
  explicit Lite(const std::string& path) { EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK); }
  ~Lite() { sqlite3_close(db_); }
  std::vector<std::vector<Cell>> query(const std::string& sql, const jet::TableDef* def = nullptr) {
    std::vector<std::vector<Cell>> rows;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db_);
      return rows;
    }
    while (sqlite3_step(s) == SQLITE_ROW) {
      std::vector<Cell> row;
      for (int c = 0; c < sqlite3_column_count(s); ++c) row.push_back(cell(s, c, def));
      rows.push_back(std::move(row));
    }
    sqlite3_finalize(s);
    return rows;
  }

 private:
  static Cell cell(sqlite3_stmt* s, int c, const jet::TableDef* def) {
    const jet::ColumnType type = def ? def->columns[static_cast<std::size_t>(c)].type : jet::ColumnType::Text;
    switch (sqlite3_column_type(s, c)) {
      case SQLITE_NULL: return {};
      case SQLITE_BLOB: {
        std::string hex;
        const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(s, c));
        for (int i = 0; i < sqlite3_column_bytes(s, c); ++i) {
          static constexpr char kHex[] = "0123456789abcdef";
          hex += {kHex[p[i] >> 4], kHex[p[i] & 15]};
        }
        return hex;
      }
      case SQLITE_FLOAT: {
        char number[400];
        const double d = sqlite3_column_double(s, c);
        const bool exact = type == jet::ColumnType::Currency || type == jet::ColumnType::Numeric;
        auto end = exact ? std::to_chars(number, number + sizeof number, d, std::chars_format::fixed).ptr
                         : std::to_chars(number, number + sizeof number, d).ptr;
        return tooltest::canonical(type, std::string(number, end));
      }
      default:
        return tooltest::canonical(type, std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                                     static_cast<std::size_t>(sqlite3_column_bytes(s, c))));
    }
  }
  sqlite3* db_ = nullptr;
};

class SqliteConvertTest : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(SqliteConvertTest, ValuesEqualTheExportAndTheFileIsSound) {
  const std::filesystem::path& file = GetParam();
  REQUIRE_FIXTURE(file);
  fixtures::TempDir dir;
  const std::string target = (dir.path() / "converted.sqlite").string();
  const std::string password = jettest::passwordFor(file);
  std::vector<std::string> args{"convert", file.string(), "sqlite:" + target, "--per-table"};
  if (!password.empty()) args.insert(args.end(), {"--password", password});
  auto result = cli(args);
  ASSERT_EQ(result.exitCode, 0) << result.err;

  Lite lite(target);
  EXPECT_EQ(lite.query("PRAGMA integrity_check"), std::vector<std::vector<Cell>>{{"ok"}});
  EXPECT_TRUE(lite.query("PRAGMA foreign_key_check").empty());
  jet::OpenOptions options;
  options.password = password;
  for (const jet::CatalogueEntry& entry : jet::Database::open(file.string(), options)->catalogue()) {
    if (entry.kind != jet::ObjectKind::Table) continue;
    SCOPED_TRACE(entry.name);
    const tooltest::ExportedTable source = tooltest::exportTable(file.string(), entry.name, password);
    // A table keyed by its autonumber keeps its rows in key order: rows are
    // compared whole, in any order.
    auto rows = lite.query("SELECT * FROM \"" + entry.name + "\"", &source.def);
    auto expected = source.rows;
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (std::size_t c = 0; c < source.def.columns.size(); ++c)
        ASSERT_TRUE(rows[r][c] == expected[r][c])
            << "row " << r + 1 << ", column " << source.def.columns[c].name << ": "
            << (rows[r][c] ? rows[r][c]->substr(0, 60) : "null") << " against "
            << (expected[r][c] ? expected[r][c]->substr(0, 60) : "null");
  }
}

std::vector<std::filesystem::path> convertedFixtures() {
  std::vector<std::filesystem::path> files;
  for (const char* name : {"nwind.mdb", "V1997_test.mdb", "V2000_numeric.mdb", "V2000_with-password.mdb",
                           "jackcess/indexTestV2000.mdb", "jackcess/compIndexTestV2000.mdb",
                           "jackcess/testIndexPropertiesV2000.mdb", "jackcess/fixedNumericTestV2000.mdb",
                           "jackcess/testUnicodeCompV2003.mdb"})
    files.push_back(fixtures::mdb(name));
  return files;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SqliteConvertTest, ::testing::ValuesIn(convertedFixtures()),
                         jettest::fixtureTestName);

TEST(SqliteConvert, KeysIndexesAndCascades) {
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  fixtures::TempDir dir;
  const std::string target = (dir.path() / "nwind.sqlite").string();
  ASSERT_EQ(cli({"convert", file.string(), "sqlite:" + target}).exitCode, 0);
  Lite lite(target);
  lite.query("PRAGMA foreign_keys = ON");
  EXPECT_EQ(lite.query("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'Umsätze' AND sql "
                       "IS NOT NULL ORDER BY name"),
            (std::vector<std::vector<Cell>>{{"Umsätze_CustomerID"}, {"Umsätze_EmployeeID"}, {"Umsätze_OrderDate"},
                                            {"Umsätze_ShipPostalCode"}, {"Umsätze_ShippedDate"}}));
  // The autonumber goes on after the highest value copied.
  lite.query("INSERT INTO Orders (CustomerID) VALUES ('VINET')");
  EXPECT_EQ(lite.query("SELECT max(OrderID) FROM Orders"), std::vector<std::vector<Cell>>{{"11078"}});
  lite.query("DELETE FROM Orders WHERE OrderID = 10248");
  EXPECT_EQ(lite.query("SELECT count(*) FROM \"Order Details\" WHERE OrderID = 10248"),
            std::vector<std::vector<Cell>>{{"0"}});
  lite.query("UPDATE Customers SET CustomerID = 'TOMSX' WHERE CustomerID = 'TOMSP'");
  EXPECT_EQ(lite.query("SELECT count(*) FROM Orders WHERE CustomerID = 'TOMSP'"), std::vector<std::vector<Cell>>{{"0"}});
  EXPECT_NE(lite.query("SELECT count(*) FROM Orders WHERE CustomerID = 'TOMSX'"), std::vector<std::vector<Cell>>{{"0"}});
}

TEST(SqliteConvert, NeverOverwritesAFile) {
  const auto file = fixtures::mdb("V2000_test.mdb");
  REQUIRE_FIXTURE(file);
  fixtures::TempDir dir;
  const auto target = dir.path() / "there.sqlite";
  { std::ofstream(target) << "mine"; }
  auto result = cli({"convert", file.string(), "sqlite:" + target.string()});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "tabrix-cli: " + target.string() +
                            " already exists: convert makes a new SQLite file and won't overwrite one\n");
  EXPECT_EQ(std::filesystem::file_size(target), 4u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// A target whose trigger refuses one row of Orders.
class RefusingTarget : public tabrix::cli::Target {
 public:
  explicit RefusingTarget(const std::string& path) : inner_({path}) {}
  void begin() override { inner_.begin(); }
  void execute(const std::string& statement) override {
    inner_.execute(statement);
    if (statement.starts_with("CREATE TABLE \"Orders\""))
      inner_.execute("CREATE TRIGGER refuse BEFORE INSERT ON \"Orders\" WHEN NEW.\"OrderID\" = 10300 "
                     "BEGIN SELECT RAISE(ABORT, 'order 10300 is refused'); END");
  }
  std::unique_ptr<tabrix::cli::RowWriter> rows(const tabrix::cli::TablePlan& t) override { return inner_.rows(t); }
  void checkForeignKeys(const tabrix::cli::SchemaPlan& plan) override { inner_.checkForeignKeys(plan); }
  void commit() override { inner_.commit(); }
  void rollback() noexcept override { inner_.rollback(); }
  void abandon() noexcept override { inner_.abandon(); }
  void complete() override { inner_.complete(); }

 private:
  tabrix::cli::SqliteTarget inner_;
};

TEST(SqliteConvert, ARefusedRowLeavesNoTable) {
  const auto file = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(file);
  auto db = jet::Database::open(file.string());
  tabrix::cli::PlanOptions options;
  options.dialect = tabrix::cli::Dialect::Sqlite;
  const auto plan = tabrix::cli::planSchema(*db, options);
  tabrix::cli::Progress quiet(-1);
  // The row's number in the order the table keeps them.
  const auto orders = tooltest::exportTable(file.string(), "Orders");
  std::size_t row = 0;
  while (*orders.rows.at(row).at(0) != "10300") ++row;
  const std::string expected =
      "cannot copy table Orders, row " + std::to_string(row + 1) + ": order 10300 is refused";

  fixtures::TempDir dir;
  const auto whole = dir.path() / "whole.sqlite";
  {
    RefusingTarget target(whole.string());
    try {
      tabrix::cli::convert(*db, plan, target, true, quiet);
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(e.what(), expected);
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

  const auto perTable = dir.path() / "per-table.sqlite";
  {
    RefusingTarget target(perTable.string());
    EXPECT_THROW(tabrix::cli::convert(*db, plan, target, false, quiet), std::runtime_error);
  }
  Lite lite(perTable.string());
  EXPECT_EQ(lite.query("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%' ORDER BY name"),
            (std::vector<std::vector<Cell>>{{"Categories"}, {"Customers"}, {"Employees"}, {"Order Details"}}));
  EXPECT_EQ(lite.query("SELECT count(*) FROM \"Order Details\""), std::vector<std::vector<Cell>>{{"2155"}});
}

}  // namespace
