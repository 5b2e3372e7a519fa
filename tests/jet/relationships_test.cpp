// Relationships: what the engine reads of MSysRelationships agrees with the
// fixtures' known relationships and with what mdb-schema prints; rows that
// contradict each other are reported, not guessed at.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "fixtures.h"
#include "given_rows.h"
#include "given_values.h"
#include "jet/database.h"
#include "jet/error.h"
#include "process.h"
#include "relationships.h"

namespace {

using Pairs = std::vector<jet::Relationship::ColumnPair>;

// A relationship as one comparable line.
std::string describe(const jet::Relationship& r) {
  std::string line = r.name + ": " + r.table + " (";
  for (std::size_t i = 0; i < r.columns.size(); ++i)
    line += (i ? ", " : "") + r.columns[i].column + " -> " + r.columns[i].referencedColumn;
  line += ") " + r.referencedTable;
  if (!r.enforced) line += " not enforced";
  if (r.cascadeUpdates) line += " cascade updates";
  if (r.cascadeDeletes) line += " cascade deletes";
  if (r.cascadeNull) line += " cascade null";
  return line;
}

std::vector<std::string> describeAll(const std::vector<jet::Relationship>& all) {
  std::vector<std::string> lines;
  for (const jet::Relationship& r : all) lines.push_back(describe(r));
  return lines;
}

TEST(Relationships, Northwind) {
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  EXPECT_EQ(describeAll(jet::Database::open(path.string())->relationships()),
            (std::vector<std::string>{
                "CategoriesProducts: Products (CategoryID -> CategoryID) Categories",
                "CustomersOrders: Orders (CustomerID -> CustomerID) Customers cascade updates",
                "EmployeesOrders: Orders (EmployeeID -> EmployeeID) Employees",
                "OrdersOrder Details: Order Details (OrderID -> OrderID) Orders cascade deletes",
                "ProductsOrder Details: Order Details (ProductID -> ProductID) Products",
                "ShippersOrders: Orders (ShipVia -> ShipperID) Shippers",
                "SuppliersProducts: Products (SupplierID -> SupplierID) Suppliers",
            }));
}

TEST(Relationships, CascadeKindsAndSystemTables) {
  auto path = fixtures::mdb("jackcess/indexTestV2000.mdb");
  REQUIRE_FIXTURE(path);
  EXPECT_EQ(describeAll(jet::Database::open(path.string())->relationships()),
            (std::vector<std::string>{
                "MSysNavPaneGroupCategoriesMSysNavPaneGroups: MSysNavPaneGroups (GroupCategoryID -> Id) "
                "MSysNavPaneGroupCategories cascade updates cascade deletes",
                "MSysNavPaneGroupsMSysNavPaneGroupToObjects: MSysNavPaneGroupToObjects (GroupID -> Id) "
                "MSysNavPaneGroups cascade updates cascade deletes",
                "Table2Table1: Table1 (otherfk1 -> id) Table2 cascade deletes",
                "Table3Table1: Table1 (otherfk2 -> id) Table3 cascade updates",
            }));
}

TEST(Relationships, NoneInADatabaseWithoutThem) {
  for (const char* name : {"V1997_test.mdb", "V2000_empty.mdb", "jackcess/compIndexTestV2000.mdb"}) {
    auto path = fixtures::mdb(name);
    REQUIRE_FIXTURE(path);
    EXPECT_TRUE(jet::Database::open(path.string())->relationships().empty()) << name;
  }
}

// Every foreign key mdb-schema prints is one of ours, with the same cascades.
TEST(Relationships, AgreeWithMdbSchema) {
  if (!jettest::onPath("mdb-schema")) GTEST_SKIP() << "mdb-schema (mdbtools) is not installed";
  auto path = fixtures::mdb("nwind.mdb");
  REQUIRE_FIXTURE(path);
  auto printed = jettest::runProcess({"mdb-schema", "--relations", path.string(), "postgres"});
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  static const std::regex foreignKey(
      R"re(^ALTER TABLE "(.*)" ADD CONSTRAINT ".*" FOREIGN KEY \("(.*)"\) REFERENCES "(.*)"\("(.*)"\)( ON UPDATE CASCADE)?( ON DELETE CASCADE)?.*;$)re");
  std::set<std::string> theirs, ours;
  std::istringstream lines(printed.out);
  std::string line;
  std::smatch m;
  while (std::getline(lines, line))
    if (std::regex_match(line, m, foreignKey))
      theirs.insert(m[1].str() + "." + m[2].str() + " -> " + m[3].str() + "." + m[4].str() +
                    (m[5].matched ? " update" : "") + (m[6].matched ? " delete" : ""));
  ASSERT_FALSE(theirs.empty()) << printed.out;
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  for (const jet::Relationship& r : jet::Database::open(path.string())->relationships())
    if (r.enforced && r.columns.size() == 1)
      ours.insert(r.table + "." + lower(r.columns[0].column) + " -> " + r.referencedTable + "." +
                  lower(r.columns[0].referencedColumn) + (r.cascadeUpdates ? " update" : "") +
                  (r.cascadeDeletes ? " delete" : ""));
  EXPECT_EQ(ours, theirs);
}

// Rows of MSysRelationships given in the test: the columns Access writes,
// in its order.
class RelationshipRows {
 public:
  void add(const std::u16string& name, std::int64_t flags, std::int64_t count, std::int64_t position,
           const std::u16string& table, const std::u16string& column, const std::u16string& referencedTable,
           const std::u16string& referencedColumn) {
    using jettest::integerValue;
    rows_.push_back({store_.text(name), integerValue(flags), integerValue(count), integerValue(position),
                     store_.text(table), store_.text(column), store_.text(referencedTable),
                     store_.text(referencedColumn)});
  }
  std::vector<jet::Relationship> read() {
    jet::TableDef def;
    def.name = "MSysRelationships";
    for (const char* name : {"szRelationship", "grbit", "ccolumn", "icolumn", "szObject", "szColumn",
                             "szReferencedObject", "szReferencedColumn"}) {
      jet::Column c;
      c.name = name;
      def.columns.push_back(c);
    }
    jettest::GivenRows cursor(def, rows_);
    return jet::readRelationships(cursor);
  }

 private:
  jettest::ValueStore store_;
  std::vector<std::vector<jet::Value>> rows_;
};

TEST(Relationships, ColumnPairsInTheirOrderAndTheFlags) {
  RelationshipRows rows;
  rows.add(u"Zweite", 0x2000, 1, 0, u"Posten", u"Kunde", u"Kunden", u"Nr");
  rows.add(u"LinesOrders", 0x1100, 2, 1, u"Lines", u"Line", u"Orders", u"Number");
  rows.add(u"LinesOrders", 0x1100, 2, 0, u"Lines", u"Order", u"Orders", u"Id");
  rows.add(u"loose", 0x1102, 1, 0, u"A", u"b", u"C", u"d");
  auto found = rows.read();
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(describe(found[0]), "LinesOrders: Lines (Order -> Id, Line -> Number) Orders cascade updates cascade deletes");
  // Access keeps cascade bits it won't act on when integrity isn't enforced.
  EXPECT_EQ(describe(found[1]), "loose: A (b -> d) C not enforced");
  EXPECT_EQ(describe(found[2]), "Zweite: Posten (Kunde -> Nr) Kunden cascade null");
}

TEST(Relationships, ContradictoryRowsAreCorruption) {
  struct Case {
    const char* what;
    void (*fill)(RelationshipRows&);
    const char* error;
  };
  const Case cases[] = {
      {"a pair missing",
       [](RelationshipRows& r) { r.add(u"R", 0, 2, 0, u"A", u"a", u"B", u"b"); },
       "the relationship R claims 2 column pairs but has 1"},
      {"a position twice",
       [](RelationshipRows& r) {
         r.add(u"R", 0, 2, 0, u"A", u"a", u"B", u"b");
         r.add(u"R", 0, 2, 0, u"A", u"c", u"B", u"d");
       },
       "the relationship R has no column pair at position 1"},
      {"tables disagree",
       [](RelationshipRows& r) {
         r.add(u"R", 0, 2, 0, u"A", u"a", u"B", u"b");
         r.add(u"R", 0, 2, 1, u"X", u"c", u"B", u"d");
       },
       "the relationship R has column pairs that disagree on its tables or flags"},
      {"no column", [](RelationshipRows& r) { r.add(u"R", 0, 1, 0, u"A", u"", u"B", u"b"); },
       "the relationship R has a column pair without a table or column name"},
      {"no name", [](RelationshipRows& r) { r.add(u"", 0, 1, 0, u"A", u"a", u"B", u"b"); },
       "the table of relationships has a row without a relationship name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RelationshipRows rows;
    c.fill(rows);
    try {
      rows.read();
      ADD_FAILURE() << "no error";
    } catch (const jet::Error& e) {
      EXPECT_EQ(e.kind(), jet::ErrorKind::Corrupt);
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

}  // namespace
