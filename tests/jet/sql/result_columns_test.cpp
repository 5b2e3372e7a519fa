// What a result tells about its columns: the type, size, precision and
// scale of each (a table's column keeps its definition, an expression has
// the type of its value), where each comes from, and which table and key
// its rows can be written back to.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "sql_support.h"

namespace {

using jet::ColumnType;

class ResultColumns : public sqltest::NwindTest {
 protected:
  std::unique_ptr<jet::sql::Statement> prepare(const std::string& sql) { return opened.session->prepare(sql); }
};

TEST_F(ResultColumns, ATablesColumnsKeepTheirDefinitions) {
  auto s = prepare("SELECT * FROM Products");
  const jet::TableDef def = opened.database->table("Products");
  ASSERT_EQ(s->table().columns.size(), def.columns.size());
  for (std::size_t i = 0; i < def.columns.size(); ++i) {
    const jet::Column& c = s->table().columns[i];
    EXPECT_EQ(c.name, def.columns[i].name);
    EXPECT_EQ(c.type, def.columns[i].type) << c.name;
    EXPECT_EQ(c.size, def.columns[i].size) << c.name;
    EXPECT_EQ(c.nullable, def.columns[i].nullable) << c.name;
    EXPECT_EQ(c.autoNumber, def.columns[i].autoNumber) << c.name;
    EXPECT_EQ(s->origin(i).table, "Products");
    EXPECT_EQ(s->origin(i).column, def.columns[i].name);
  }
  EXPECT_EQ(s->writableTable(), "Products");
  EXPECT_EQ(s->key(), std::vector<int>{0});
}

struct Typed {
  const char* expression;
  ColumnType type;
  int size;
};

// Expressions have the type of their value, as Access types them.
TEST_F(ResultColumns, ExpressionsHaveTheTypeOfTheirValue) {
  const Typed cases[] = {
      {"'text'", ColumnType::Text, 255},
      {"12", ColumnType::Long, 4},
      {"1.5", ColumnType::Double, 8},
      {"#1/1/2000#", ColumnType::DateTime, 8},
      {"True", ColumnType::Boolean, 1},
      {"UnitPrice * 2", ColumnType::Currency, 8},
      {"UnitPrice * Quantity", ColumnType::Currency, 8},
      {"UnitPrice + 1.5", ColumnType::Currency, 8},
      {"UnitPrice * 1.5", ColumnType::Double, 8},
      {"UnitPrice / 2", ColumnType::Double, 8},
      {"Quantity + 1", ColumnType::Long, 4},
      {"Quantity \\ 2", ColumnType::Long, 4},
      {"Discount * 2", ColumnType::Double, 8},
      {"OrderID & ''", ColumnType::Text, 255},
      {"CCur(Discount)", ColumnType::Currency, 8},
      {"CInt(Discount)", ColumnType::Integer, 2},
      {"Quantity > 5", ColumnType::Boolean, 1},
      {"Year(#1/1/2000#)", ColumnType::Integer, 2},
      {"#1/1/2000# + 1", ColumnType::DateTime, 8},
      {"#1/2/2000# - #1/1/2000#", ColumnType::Double, 8},
      {"IIf(Quantity > 5, UnitPrice, 0)", ColumnType::Currency, 8},
      {"Nz(Quantity, 0)", ColumnType::Long, 4},
  };
  for (const Typed& t : cases) {
    SCOPED_TRACE(t.expression);
    auto s = prepare(std::string("SELECT ") + t.expression + " FROM [Order Details]");
    const jet::Column& c = s->table().columns.at(0);
    EXPECT_EQ(c.type, t.type);
    if (t.type == ColumnType::Text) {
      EXPECT_EQ(c.size, t.size);
    }
    EXPECT_TRUE(s->origin(0).empty());
  }
}

TEST_F(ResultColumns, AggregatesHaveTheirTypes) {
  auto s = prepare(
      "SELECT Count(*), Sum(UnitPrice), Sum(Quantity), Avg(UnitPrice), Max(ProductName), Min(UnitPrice), "
      "StDev(UnitPrice), First(ProductID) FROM Products");
  const ColumnType expected[] = {ColumnType::Long,   ColumnType::Currency, ColumnType::Double, ColumnType::Double,
                                 ColumnType::Text,   ColumnType::Currency, ColumnType::Double, ColumnType::Long};
  for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(s->table().columns[i].type, expected[i]) << i;
  EXPECT_EQ(s->table().columns[4].size, 40);
  EXPECT_EQ(s->writableTable(), "");
}

// The rows of a query over one table can be written back by its key; a
// join, a grouping, DISTINCT or UNION can't.
TEST_F(ResultColumns, OneTableBehindTheRowsMakesThemWritable) {
  struct Case {
    const char* sql;
    const char* table;
    std::vector<int> key;
  };
  const Case cases[] = {
      {"SELECT ProductName, ProductID FROM Products WHERE UnitPrice > 10", "Products", {1}},
      {"SELECT ProductName, UnitPrice * 2 FROM Products", "Products", {}},
      {"SELECT TOP 5 * FROM [Order Details] ORDER BY Quantity", "Order Details", {0, 1}},
      {"SELECT * FROM [Current Product List]", "Products", {0}},
      {"SELECT DISTINCTROW Customers.* FROM Customers INNER JOIN Orders ON Customers.CustomerID = Orders.CustomerID",
       "Customers",
       {0}},
      {"SELECT Orders.OrderID, Customers.CompanyName FROM Orders INNER JOIN Customers ON Orders.CustomerID = "
       "Customers.CustomerID",
       "",
       {}},
      {"SELECT DISTINCT ProductID FROM Products", "", {}},
      {"SELECT CategoryID, Count(*) FROM Products GROUP BY CategoryID", "", {}},
      {"SELECT ProductID FROM Products UNION SELECT ProductID FROM Products", "", {}},
      {"SELECT * FROM [Order Subtotals]", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    auto s = prepare(c.sql);
    EXPECT_EQ(s->writableTable(), c.table);
    EXPECT_EQ(s->key(), c.key);
  }
}

TEST_F(ResultColumns, NamesFollowAccess) {
  EXPECT_EQ(sqltest::columnNames(*opened.session,
                                 "SELECT OrderID, 1 + 1, Orders.CustomerID, Customers.CustomerID, Count(*) AS N, "
                                 "Year(OrderDate) FROM Orders INNER JOIN Customers ON Orders.CustomerID = "
                                 "Customers.CustomerID GROUP BY OrderID, Orders.CustomerID, Customers.CustomerID, "
                                 "Year(OrderDate)"),
            (std::vector<std::string>{"OrderID", "Expr1000", "Orders.CustomerID", "Customers.CustomerID", "N",
                                      "Expr1001"}));
}

// Exact numbers stay exact: Currency in ten-thousandths, decimals to their
// scale.
TEST(ExactNumbers, CurrencyAndDecimalsKeepEveryDigit) {
  const auto nwind = fixtures::mdb("nwind.mdb");
  if (!std::filesystem::exists(nwind)) GTEST_SKIP() << "fixture " << nwind << " is absent";
  auto opened = sqltest::open(nwind);
  auto s = opened.session->prepare("SELECT CCur(0.1) + CCur(0.2), CCur(922337203685477.5807), CCur(1) / 3");
  ASSERT_TRUE(s->next());
  EXPECT_EQ(s->value(0).integer, 3000);
  EXPECT_EQ(s->value(1).integer, 9223372036854775807LL);
  EXPECT_NEAR(s->value(2).real, 1.0 / 3, 1e-15);

  const auto numeric = fixtures::mdb("jackcess/fixedNumericTestV2000.mdb");
  if (!std::filesystem::exists(numeric)) GTEST_SKIP() << "fixture " << numeric << " is absent";
  auto decimals = sqltest::open(numeric);
  auto d = decimals.session->prepare("SELECT col2 + col5, col5 * 3, col2 - 0.5 FROM test");
  ASSERT_TRUE(d->next());
  EXPECT_EQ(d->table().columns[0].type, ColumnType::Numeric);
  EXPECT_EQ(d->value(0).decimal.toString(), "5");
  EXPECT_EQ(d->value(1).decimal.toString(), "12");
  EXPECT_EQ(sqltest::canonical(d->value(2)), "0.5");
  auto sum = decimals.session->prepare("SELECT Sum(col5) FROM test");
  ASSERT_TRUE(sum->next());
  EXPECT_EQ(sum->value(0).decimal.toString(), "4");
}

}  // namespace

namespace {

// A GUID reads back as its bytes, compares as Access shows it, in any case.
TEST(Guids, TravelAsAccessShowsThem) {
  const auto path = fixtures::mdb("jackcess/testIndexCodesV1997.mdb");
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "fixture " << path << " is absent";
  auto opened = sqltest::open(path);
  auto table = opened.database->rows("Table13");
  ASSERT_TRUE(table->next());
  const jet::Guid stored = table->value(1).guid;
  auto s = opened.session->prepare(
      "SELECT data, data & '' FROM Table13 WHERE data = '{8e39276a-bca8-4ac4-891e-49911d8438dd}'");
  ASSERT_TRUE(s->next());
  EXPECT_EQ(s->table().columns[0].type, ColumnType::Guid);
  EXPECT_EQ(s->value(0).guid, stored);
  EXPECT_EQ(sqltest::canonical(s->value(1)), "{8E39276A-BCA8-4AC4-891E-49911D8438DD}");
  EXPECT_FALSE(s->next());
}

}  // namespace
