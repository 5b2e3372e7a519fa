// Column defaults: the DefaultValue property the engine reads from a table's
// properties is the expression Access stored, as mdb-schema prints it.

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>

#include "fixtures.h"
#include "jet/database.h"
#include "oracle.h"
#include "process.h"

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(ColumnDefaults, Northwind) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  auto db = jet::Database::open(path.string());
  std::map<std::string, std::string> defaults;
  for (const char* table : {"Order Details", "Products", "Customers"})
    for (const jet::Column& c : db->table(table).columns)
      if (!c.defaultValue.empty()) defaults[std::string(table) + "." + c.name] = c.defaultValue;
  EXPECT_EQ(defaults, (std::map<std::string, std::string>{{"Order Details.Discount", "0"},
                                                          {"Order Details.Quantity", "1"},
                                                          {"Order Details.UnitPrice", "0"},
                                                          {"Products.Discontinued", "=No"},
                                                          {"Products.ReorderLevel", "0"},
                                                          {"Products.UnitPrice", "0"},
                                                          {"Products.UnitsInStock", "0"},
                                                          {"Products.UnitsOnOrder", "0"}}));
}

class ColumnDefaultsTest : public ::testing::TestWithParam<std::filesystem::path> {};

// mdb-schema prints a default after DEFAULT; where it prints one of its own
// making (FALSE for a yes/no column) the property may be absent.
TEST_P(ColumnDefaultsTest, AgreeWithMdbSchema) {
  if (!jettest::onPath("mdb-schema")) GTEST_SKIP() << "mdb-schema (mdbtools) is not installed";
  const std::filesystem::path& file = GetParam();
  REQUIRE_FIXTURE(file);
  jet::OpenOptions options;
  options.password = jettest::passwordFor(file);
  auto db = jet::Database::open(file.string(), options);
  auto printed = jettest::runProcess({"mdb-schema", "--default-values", file.string(), "postgres"});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  static const std::regex create(R"re(^CREATE TABLE IF NOT EXISTS "(.*)"$)re");
  static const std::regex column(R"re(^\t"(.*)"\t+.*? DEFAULT (.*?),? ?$)re");
  std::map<std::string, std::string> theirs;
  std::istringstream lines(printed.out);
  std::string line, table;
  std::smatch m;
  while (std::getline(lines, line)) {
    if (std::regex_match(line, m, create))
      table = m[1];
    else if (std::regex_match(line, m, column))
      theirs[table + "." + m[1].str()] = m[2];
  }
  for (const jet::CatalogueEntry& entry : db->catalogue()) {
    if (entry.kind != jet::ObjectKind::Table) continue;
    for (const jet::Column& c : db->table(entry.name).columns) {
      const std::string key = lower(entry.name) + "." + lower(c.name);
      auto found = theirs.find(key);
      if (found == theirs.end()) {
        EXPECT_EQ(c.defaultValue, "") << key;
      } else if (!(c.type == jet::ColumnType::Boolean && found->second == "FALSE" && c.defaultValue.empty())) {
        EXPECT_EQ(c.defaultValue, found->second) << key;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ColumnDefaultsTest, ::testing::ValuesIn(jettest::allFixtureFilesOrPlaceholder()),
                         jettest::fixtureTestName);

}  // namespace
