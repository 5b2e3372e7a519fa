// The catalogue: every table, saved query and system table, in the order an
// ODBC catalogue call gives them.

#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"
#include "jet/database.h"

namespace {

using jet::ObjectKind;

std::vector<std::string> namesOf(const std::vector<jet::CatalogueEntry>& entries, ObjectKind kind) {
  std::vector<std::string> names;
  for (const auto& e : entries)
    if (e.kind == kind) names.push_back(e.name);
  return names;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(Catalogue, NorthwindTablesViewsAndSystemTables) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  auto entries = jet::Database::open(path.string())->catalogue();

  EXPECT_EQ(namesOf(entries, ObjectKind::Table),
            (std::vector<std::string>{"Categories", "Customers", "Employees", "Order Details", "Orders", "Products",
                                      "Shippers", "Suppliers", "Umsätze"}));
  EXPECT_EQ(namesOf(entries, ObjectKind::View),
            (std::vector<std::string>{
                "Alphabetical List of Products", "Catalog", "Category Sales for 1995", "Current Product List",
                "Customers and Suppliers by City", "Employee Sales by Country", "Invoices", "Invoices Filter",
                "Order Details Extended", "Order Subtotals", "Orders Qry", "Product Sales for 1995",
                "Products Above Average Price", "Products by Category", "Quarterly Orders",
                "Quarterly Orders by Product", "Sales by Category", "Sales by Year", "Sales Totals by Amount",
                "Summary of Sales by Quarter", "Summary of Sales by Year", "Ten Most Expensive Products"}));
  auto system = namesOf(entries, ObjectKind::SystemTable);
  for (const char* name : {"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"})
    EXPECT_NE(std::find(system.begin(), system.end(), name), system.end()) << name;
  for (const std::string& name : system) EXPECT_TRUE(name.starts_with("MSys")) << name;

  // System tables, then tables, then views; each by name without regard to
  // case ("MSysACEs" before "MSysCmdbars", "Sales by Year" before "Sales
  // Totals by Amount").
  EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    return lower(a.name) < lower(b.name);
  }));
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.front().kind, ObjectKind::SystemTable);
  EXPECT_EQ(entries.back().kind, ObjectKind::View);
}

// Saved queries that return rows are views; action queries, which change
// data and return none, are not listed.
TEST(Catalogue, QueriesThatReturnRowsAreViews) {
  auto path = fixtures::mdb("jackcess/queryTestV2000.mdb");
  REQUIRE_FIXTURE(path);
  auto entries = jet::Database::open(path.string())->catalogue();
  EXPECT_EQ(namesOf(entries, ObjectKind::View),
            (std::vector<std::string>{"CrosstabQuery", "PassthroughQuery", "SelectQuery", "UnionQuery"}));
  EXPECT_EQ(namesOf(entries, ObjectKind::Table), (std::vector<std::string>{"Table1", "Table2", "Table3"}));
}

TEST(Catalogue, EmptyDatabaseHasOnlySystemTables) {
  auto path = fixtures::mdb("V2000_empty.mdb");
  REQUIRE_FIXTURE(path);
  auto entries = jet::Database::open(path.string())->catalogue();
  ASSERT_FALSE(entries.empty());
  for (const auto& e : entries) EXPECT_EQ(e.kind, ObjectKind::SystemTable) << e.name;
}

TEST(Catalogue, SystemTablesCanBeRead) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  auto db = jet::Database::open(path.string());
  auto rows = db->rows("msysobjects");
  std::size_t name = 0;
  while (rows->table().columns[name].name != "Name") ++name;
  bool sawOrders = false;
  while (rows->next()) {
    const jet::Value& v = rows->value(name);
    if (!v.null && jet::toUtf8(v.text) == "Orders") sawOrders = true;
  }
  EXPECT_TRUE(sawOrders);
}

}  // namespace
