// Every saved query of the fixtures, used as a table, gives the rows Access
// would: each is rewritten here by hand for SQLite and run over the same
// tables as mdb-export reads them. Queries Access can't give rows for here
// (crosstab, pass-through, action queries, parameters without values) give
// an error naming the query.

#include <gtest/gtest.h>

#include <set>

#include "fixtures.h"
#include "process.h"
#include "sql_support.h"

namespace {

using sqltest::Arguments;
using sqltest::sorted;

// Hand translations share these pieces.
const std::string kExtended = "round_even(od.UnitPrice * od.Quantity * (1 - od.Discount) / 100, 4) * 100";
const std::string kSubtotals =
    "(SELECT od.OrderID, sum(" + kExtended + ") AS Subtotal FROM \"Order Details\" od GROUP BY od.OrderID)";
const std::string k1995 = "BETWEEN '1995-01-01 00:00:00' AND '1995-12-31 00:00:00'";
const std::string kSales1995 =
    "SELECT c.CategoryName, p.ProductName, sum(" + kExtended +
    ") AS ProductSales FROM Categories c JOIN Products p ON c.CategoryID = p.CategoryID JOIN \"Order Details\" od ON "
    "p.ProductID = od.ProductID JOIN Orders o ON o.OrderID = od.OrderID WHERE o.ShippedDate " +
    k1995 + " GROUP BY c.CategoryName, p.ProductName";
const std::string kInvoices =
    "SELECT o.ShipName, o.ShipAddress, o.ShipCity, o.ShipRegion, o.ShipPostalCode, o.ShipCountry, o.CustomerID, "
    "c.CompanyName, c.Address, c.City, c.Region, c.PostalCode, c.Country, e.FirstName || ' ' || e.LastName, "
    "o.OrderID, o.OrderDate, o.RequiredDate, o.ShippedDate, s.CompanyName, od.ProductID, p.ProductName, "
    "od.UnitPrice, od.Quantity, od.Discount, " +
    kExtended +
    " AS ExtendedPrice, o.Freight FROM Shippers s JOIN Orders o ON s.ShipperID = o.ShipVia JOIN Customers c ON "
    "c.CustomerID = o.CustomerID JOIN Employees e ON e.EmployeeID = o.EmployeeID JOIN \"Order Details\" od ON "
    "o.OrderID = od.OrderID JOIN Products p ON p.ProductID = od.ProductID";

struct SavedQuery {
  const char* name;
  std::string native{};   // the same query for SQLite; empty when an error is expected
  std::string error{};    // the error's text
  Arguments arguments{};  // values of its parameters
};

const SavedQuery kNwind[] = {
    {"Alphabetical List of Products",
     "SELECT p.*, c.CategoryName FROM Categories c JOIN Products p ON c.CategoryID = p.CategoryID WHERE "
     "p.Discontinued = 0"},
    {"Catalog",
     "SELECT c.CategoryName, c.Description, c.Picture, p.ProductID, p.ProductName, p.QuantityPerUnit, p.UnitPrice "
     "FROM Categories c JOIN Products p ON c.CategoryID = p.CategoryID WHERE p.Discontinued = 0"},
    {"Category Sales for 1995",
     "SELECT CategoryName, sum(ProductSales) FROM (" + kSales1995 + ") GROUP BY CategoryName"},
    {"Current Product List", "SELECT ProductID, ProductName FROM Products WHERE Discontinued = 0"},
    {"Customers and Suppliers by City",
     "SELECT City, CompanyName, ContactName, 'Customers' FROM Customers UNION SELECT City, CompanyName, ContactName, "
     "'Suppliers' FROM Suppliers"},
    {"Employee Sales by Country", "", "The parameter \"Beginning Date\" has no value in the saved query \"Employee Sales by Country\""},
    {"Employee Sales by Country",
     "SELECT e.Country, e.LastName, e.FirstName, o.ShippedDate, o.OrderID, s.Subtotal FROM Employees e JOIN Orders o "
     "ON e.EmployeeID = o.EmployeeID JOIN " +
         kSubtotals +
         " s ON o.OrderID = s.OrderID WHERE o.ShippedDate BETWEEN '1995-01-01 00:00:00' AND '1995-03-31 00:00:00'",
     "",
     {{"Beginning Date", std::string("1995-01-01")}, {"Ending Date", std::string("1995-03-31")}}},
    {"Invoices", kInvoices},
    {"Invoices Filter", "", "Unknown column \"Forms!Orders!OrderID\" in the saved query \"Invoices Filter\""},
    {"Invoices Filter", "SELECT * FROM (" + kInvoices + ") WHERE OrderID = 10250", "",
     {{"Forms!Orders!OrderID", std::int64_t{10250}}}},
    {"Order Details Extended",
     "SELECT od.OrderID, od.ProductID, p.ProductName, od.UnitPrice, od.Quantity, od.Discount, " + kExtended +
         " FROM Products p JOIN \"Order Details\" od ON p.ProductID = od.ProductID"},
    {"Order Subtotals", "SELECT * FROM " + kSubtotals},
    {"Product Sales for 1995", kSales1995},
    {"Products by Category",
     "SELECT c.CategoryName, p.ProductName, p.QuantityPerUnit, p.UnitsInStock, p.Discontinued FROM Categories c JOIN "
     "Products p ON c.CategoryID = p.CategoryID WHERE p.Discontinued <> -1"},
    {"Quarterly Orders",
     "SELECT DISTINCT c.CustomerID, c.CompanyName, c.City, c.Country FROM Customers c RIGHT JOIN Orders o ON "
     "c.CustomerID = o.CustomerID WHERE o.OrderDate " +
         k1995},
    {"Quarterly Orders by Product", "",
     "The saved query \"Quarterly Orders by Product\" is a crosstab query, which the built-in engine can't run"},
    {"Sales by Year",
     "SELECT o.ShippedDate, o.OrderID, s.Subtotal, strftime('%Y', o.ShippedDate) FROM Orders o JOIN " + kSubtotals +
         " s ON o.OrderID = s.OrderID WHERE o.ShippedDate IS NOT NULL AND o.ShippedDate BETWEEN '1995-01-01 00:00:00' "
         "AND '1995-06-30 00:00:00'",
     "",
     {{"Forms!Sales by Year Dialog!BeginningDate", std::string("1995-01-01")},
      {"Forms!Sales by Year Dialog!EndingDate", std::string("1995-06-30")}}},
    {"Sales Totals by Amount",
     "SELECT s.Subtotal, o.OrderID, c.CompanyName, o.ShippedDate FROM Customers c JOIN Orders o ON c.CustomerID = "
     "o.CustomerID JOIN " +
         kSubtotals + " s ON o.OrderID = s.OrderID WHERE s.Subtotal > 2500 AND o.ShippedDate " + k1995},
    {"Summary of Sales by Year",
     "SELECT o.ShippedDate, o.OrderID, s.Subtotal FROM Orders o JOIN " + kSubtotals +
         " s ON o.OrderID = s.OrderID WHERE o.ShippedDate IS NOT NULL"},
    {"Ten Most Expensive Products",
     "SELECT ProductName, UnitPrice FROM Products WHERE UnitPrice >= (SELECT UnitPrice FROM Products ORDER BY "
     "UnitPrice DESC LIMIT 1 OFFSET 9)"},
    {"Orders Qry",
     "SELECT o.OrderID, o.CustomerID, o.EmployeeID, o.OrderDate, o.RequiredDate, o.ShippedDate, o.ShipVia, o.Freight, "
     "o.ShipName, o.ShipAddress, o.ShipCity, o.ShipRegion, o.ShipPostalCode, o.ShipCountry, c.CompanyName, "
     "c.Address, c.City, c.Region, c.PostalCode, c.Country FROM Customers c JOIN Orders o ON c.CustomerID = "
     "o.CustomerID"},
    {"Products Above Average Price",
     "SELECT ProductName, UnitPrice FROM Products WHERE UnitPrice > (SELECT avg(UnitPrice) FROM Products)"},
    {"Sales by Category",
     "SELECT c.CategoryID, c.CategoryName, p.ProductName, sum(ode.ExtendedPrice) FROM Categories c JOIN Products p ON "
     "c.CategoryID = p.CategoryID JOIN (SELECT od.OrderID, od.ProductID, " +
         kExtended +
         " AS ExtendedPrice FROM \"Order Details\" od) ode ON p.ProductID = ode.ProductID JOIN Orders o ON o.OrderID = "
         "ode.OrderID WHERE o.OrderDate " +
         k1995 + " GROUP BY c.CategoryID, c.CategoryName, p.ProductName"},
    {"Summary of Sales by Quarter",
     "SELECT o.ShippedDate, o.OrderID, s.Subtotal FROM Orders o JOIN " + kSubtotals +
         " s ON o.OrderID = s.OrderID WHERE o.ShippedDate IS NOT NULL"},
};

const SavedQuery kQueryTest[] = {
    {"SelectQuery",
     "SELECT DISTINCT t1.*, t2.col1, t2.col2, t3.col3 FROM (Table1 t1 LEFT JOIN Table3 t3 ON t1.col1 = t3.col1) JOIN "
     "Table2 t2 ON t3.col1 = t2.col1 AND t3.col1 = t2.col2 WHERE t2.col2 = 'foo' OR t2.col2 IN ('buzz', 'bazz')"},
    // Its parts have no FROM clause, so Access asks for Table1.col1 as a
    // parameter.
    {"UnionQuery", "", "Unknown column \"Table1.col1\" in the saved query \"UnionQuery\""},
    {"CrosstabQuery", "", "The saved query \"CrosstabQuery\" is a crosstab query, which the built-in engine can't run"},
    {"PassthroughQuery", "",
     "The saved query \"PassthroughQuery\" is a pass-through query for another database server, which the built-in "
     "engine can't run"},
    {"DataDefinitionQuery", "",
     "The saved query \"DataDefinitionQuery\" changes the database and gives no rows; it can't be used as a table"},
    {"UpdateQuery", "", "The saved query \"UpdateQuery\" changes the database and gives no rows; it can't be used as a table"},
    {"AppendQuery", "", "The saved query \"AppendQuery\" changes the database and gives no rows; it can't be used as a table"},
    {"DeleteQuery", "", "The saved query \"DeleteQuery\" changes the database and gives no rows; it can't be used as a table"},
    {"MakeTableQuery", "",
     "The saved query \"MakeTableQuery\" changes the database and gives no rows; it can't be used as a table"},
};

// One file: its session, and the native copy made once for all its cases.
class SavedQueries : public ::testing::Test {
 protected:
  static void check(const std::string& file, const SavedQuery& q) {
    const auto path = fixtures::mdb(file);
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "fixture " << path << " is absent";
    if (!jettest::onPath("mdb-export")) GTEST_SKIP() << "mdb-export (mdbtools) is not installed";
    static std::map<std::string, std::unique_ptr<sqltest::NativeCopy>> natives;
    auto& native = natives[file];
    if (!native) native = std::make_unique<sqltest::NativeCopy>(path);
    auto opened = sqltest::open(path);
    const std::string sql = std::string("SELECT * FROM [") + q.name + "]";
    if (q.native.empty()) {
      EXPECT_EQ(sqltest::errorOf(*opened.session, sql), q.error) << q.name;
      return;
    }
    const auto ours = sorted(sqltest::run(*opened.session, sql, q.arguments));
    const auto theirs = sorted(native->rows(q.native));
    EXPECT_FALSE(theirs.empty() && file == "nwind.mdb") << q.name << ": the hand translation finds no rows";
    ASSERT_EQ(ours.size(), theirs.size()) << q.name;
    for (std::size_t i = 0; i < ours.size(); ++i) {
      ASSERT_EQ(ours[i], theirs[i]) << q.name << ", row " << i;
    }
  }
};

TEST_F(SavedQueries, NwindGivesAccessRows) {
  for (const SavedQuery& q : kNwind) {
    SCOPED_TRACE(q.name);
    check("nwind.mdb", q);
  }
}

TEST_F(SavedQueries, QueryTestGivesAccessRowsOrNamesTheQuery) {
  for (const SavedQuery& q : kQueryTest) {
    SCOPED_TRACE(q.name);
    check("jackcess/queryTestV2000.mdb", q);
  }
}

// Every saved query of the files is in the tables above, so none goes
// unchecked.
TEST_F(SavedQueries, EveryQueryIsCovered) {
  for (const auto& [file, cases] : {std::pair{std::string("nwind.mdb"), std::set<std::string>()},
                                    std::pair{std::string("jackcess/queryTestV2000.mdb"), std::set<std::string>()}}) {
    const auto path = fixtures::mdb(file);
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "fixture " << path << " is absent";
    std::set<std::string> covered;
    for (const SavedQuery& q : kNwind) covered.insert(q.name);
    for (const SavedQuery& q : kQueryTest) covered.insert(q.name);
    const auto listed = jettest::runProcess({"mdb-queries", "-L", "-d", "\n", path.string()});
    if (listed.exitCode != 0) GTEST_SKIP() << "mdb-queries (mdbtools) is not installed";
    std::size_t start = 0;
    while (start < listed.out.size()) {
      std::size_t end = listed.out.find('\n', start);
      if (end == std::string::npos) end = listed.out.size();
      const std::string name = listed.out.substr(start, end - start);
      if (!name.empty()) {
        EXPECT_TRUE(covered.count(name)) << file << ": " << name << " has no case";
      }
      start = end + 1;
    }
  }
}

// A saved query shows its columns under the names Access gives them.
TEST_F(SavedQueries, ColumnsKeepAccessNames) {
  const auto path = fixtures::mdb("nwind.mdb");
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "fixture " << path << " is absent";
  auto opened = sqltest::open(path);
  const auto invoices = sqltest::columnNames(*opened.session, "SELECT * FROM Invoices");
  EXPECT_EQ(invoices[7], "Customers.CompanyName");
  EXPECT_EQ(invoices[13], "Salesperson");
  EXPECT_EQ(invoices[18], "Shippers.CompanyName");
  EXPECT_EQ(invoices[24], "ExtendedPrice");
  EXPECT_EQ(sqltest::columnNames(*opened.session, "SELECT * FROM [Customers and Suppliers by City]"),
            (std::vector<std::string>{"City", "CompanyName", "ContactName", "Relationship"}));
  EXPECT_EQ(sqltest::columnNames(*opened.session, "SELECT * FROM [Ten Most Expensive Products]"),
            (std::vector<std::string>{"TenMostExpensiveProducts", "UnitPrice"}));
}

}  // namespace
