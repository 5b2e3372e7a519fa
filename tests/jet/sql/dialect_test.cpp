// Access's dialect on nwind.mdb: each statement, written as an Access user
// writes it, gives the rows its hand translation gives over the same data
// read by mdb-export; expressions without tables give the values Access
// gives.

#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"
#include "process.h"
#include "sql_support.h"

namespace {

using sqltest::Row;
using sqltest::Rows;

struct Case {
  const char* access;
  const char* native;     // the same question for SQLite over the mdb-export copy
  bool ordered = false;   // compare in order, not as sets
};

const Case kStatements[] = {
    // Names in brackets, with blanks and letters outside ASCII, in any case.
    {"SELECT Count(*) FROM [Order Details]", "SELECT count(*) FROM \"Order Details\""},
    {"SELECT Count(*) FROM [UMSÄTZE]", "SELECT count(*) FROM \"Umsätze\""},
    {"select [order details].[orderid] from [ORDER DETAILS] where [Order Details].ProductID = 11",
     "SELECT OrderID FROM \"Order Details\" WHERE ProductID = 11"},
    // Texts in either quotes; text compares without regard to case.
    {"SELECT CompanyName FROM Customers WHERE Country = \"Mexico\" OR Country = 'spain'",
     "SELECT CompanyName FROM Customers WHERE Country IN ('Mexico', 'Spain')"},
    {"SELECT CustomerID FROM Customers WHERE CompanyName = 'O''Reilly' OR ContactName = \"Sven \"\"the\"\" Ottlieb\"",
     "SELECT CustomerID FROM Customers WHERE 0"},
    // Dates: #m/d/yyyy# as Access reads them, and ISO; date arithmetic.
    {"SELECT OrderID FROM Orders WHERE OrderDate = #8/4/1994#",
     "SELECT OrderID FROM Orders WHERE OrderDate = '1994-08-04 00:00:00'"},
    {"SELECT OrderID FROM Orders WHERE OrderDate BETWEEN #1994-08-04# AND #1994-08-08#",
     "SELECT OrderID FROM Orders WHERE OrderDate BETWEEN '1994-08-04' AND '1994-08-08 00:00:00'"},
    {"SELECT OrderID, ShippedDate - OrderDate FROM Orders WHERE ShippedDate > OrderDate + 30",
     "SELECT OrderID, julianday(ShippedDate) - julianday(OrderDate) FROM Orders WHERE julianday(ShippedDate) > "
     "julianday(OrderDate) + 30"},
    {"SELECT Year(OrderDate), Month(OrderDate), Count(*) FROM Orders GROUP BY Year(OrderDate), Month(OrderDate)",
     "SELECT CAST(strftime('%Y', OrderDate) AS INTEGER), CAST(strftime('%m', OrderDate) AS INTEGER), count(*) FROM "
     "Orders GROUP BY 1, 2"},
    // & joins texts, Null counting as empty.
    {"SELECT FirstName & ' ' & LastName, Region & '!' FROM Employees",
     "SELECT FirstName || ' ' || LastName, coalesce(Region, '') || '!' FROM Employees"},
    // Mod, \, ^ and /.
    {"SELECT OrderID Mod 7, OrderID \\ 100, Freight / 2, 2 ^ 3 FROM Orders WHERE OrderID < 10260",
     "SELECT OrderID % 7, OrderID / 100, Freight / 2.0, 8.0 FROM Orders WHERE OrderID < 10260"},
    // TOP keeps ties with the last row; TOP PERCENT rounds up.
    {"SELECT TOP 5 ProductName, UnitPrice FROM Products ORDER BY UnitPrice DESC",
     "SELECT ProductName, UnitPrice FROM Products ORDER BY UnitPrice DESC LIMIT 5", true},
    {"SELECT TOP 2 UnitPrice FROM Products WHERE UnitPrice < 10 ORDER BY UnitPrice",
     "SELECT UnitPrice FROM Products WHERE UnitPrice <= (SELECT UnitPrice FROM Products WHERE UnitPrice < 10 ORDER BY "
     "UnitPrice LIMIT 1 OFFSET 1) ORDER BY UnitPrice",
     true},
    {"SELECT TOP 10 PERCENT ProductID FROM Products ORDER BY ProductID",
     "SELECT ProductID FROM Products ORDER BY ProductID LIMIT 8", true},
    {"SELECT DISTINCT TOP 3 Country FROM Customers ORDER BY Country",
     "SELECT DISTINCT Country FROM Customers ORDER BY Country LIMIT 3", true},
    // DISTINCTROW: whole rows of the tables shown, once each.
    {"SELECT DISTINCTROW Customers.CompanyName FROM Customers INNER JOIN Orders ON Customers.CustomerID = "
     "Orders.CustomerID",
     "SELECT CompanyName FROM Customers WHERE CustomerID IN (SELECT CustomerID FROM Orders)"},
    {"SELECT DISTINCT Country FROM Customers", "SELECT DISTINCT Country FROM Customers"},
    // True, False, Yes and No are -1 and 0.
    {"SELECT ProductID FROM Products WHERE Discontinued = True", "SELECT ProductID FROM Products WHERE Discontinued"},
    {"SELECT ProductID FROM Products WHERE Discontinued = No AND Not Discontinued = Yes",
     "SELECT ProductID FROM Products WHERE NOT Discontinued"},
    {"SELECT Count(*) FROM Products WHERE Discontinued", "SELECT count(*) FROM Products WHERE Discontinued"},
    // Like with ADO's and Access's wildcards, digits and lists.
    {"SELECT CompanyName FROM Customers WHERE CompanyName Like 'b%'",
     "SELECT CompanyName FROM Customers WHERE CompanyName LIKE 'B%'"},
    {"SELECT CompanyName FROM Customers WHERE CompanyName Like '*market*'",
     "SELECT CompanyName FROM Customers WHERE CompanyName LIKE '%market%'"},
    {"SELECT CustomerID FROM Customers WHERE CustomerID Like 'B_L?P'",
     "SELECT CustomerID FROM Customers WHERE CustomerID LIKE 'B_L_P'"},
    {"SELECT CompanyName FROM Customers WHERE CompanyName Like '[a-c]*' AND CompanyName Not Like '[!a]*'",
     "SELECT CompanyName FROM Customers WHERE CompanyName LIKE 'A%'"},
    {"SELECT Address FROM Customers WHERE Address Like '#*'",
     "SELECT Address FROM Customers WHERE substr(Address, 1, 1) BETWEEN '0' AND '9'"},
    // Null, BETWEEN, IN.
    {"SELECT CustomerID FROM Customers WHERE Region IS NULL AND Fax Is Not Null",
     "SELECT CustomerID FROM Customers WHERE Region IS NULL AND Fax IS NOT NULL"},
    {"SELECT ProductName FROM Products WHERE UnitPrice Between 10 And 12.5 AND ProductID Not Between 40 And 50",
     "SELECT ProductName FROM Products WHERE UnitPrice BETWEEN 10 AND 12.5 AND ProductID NOT BETWEEN 40 AND 50"},
    {"SELECT CompanyName FROM Suppliers WHERE Country In ('japan', 'Italy') AND SupplierID Not In (4)",
     "SELECT CompanyName FROM Suppliers WHERE Country IN ('Japan', 'Italy') AND SupplierID <> 4"},
    // Joins in parentheses, inner and outer, RIGHT too.
    {"SELECT Orders.OrderID, Customers.CompanyName, Employees.LastName FROM (Orders INNER JOIN Customers ON "
     "Orders.CustomerID = Customers.CustomerID) INNER JOIN Employees ON Orders.EmployeeID = Employees.EmployeeID",
     "SELECT o.OrderID, c.CompanyName, e.LastName FROM Orders o JOIN Customers c ON o.CustomerID = c.CustomerID JOIN "
     "Employees e ON o.EmployeeID = e.EmployeeID"},
    {"SELECT c.CustomerID, o.OrderID FROM Customers AS c LEFT JOIN Orders AS o ON c.CustomerID = o.CustomerID WHERE "
     "o.OrderID Is Null",
     "SELECT c.CustomerID, o.OrderID FROM Customers c LEFT JOIN Orders o ON c.CustomerID = o.CustomerID WHERE "
     "o.OrderID IS NULL"},
    {"SELECT o.OrderID, c.CustomerID FROM Orders o RIGHT JOIN Customers c ON c.CustomerID = o.CustomerID",
     "SELECT o.OrderID, c.CustomerID FROM Customers c LEFT JOIN Orders o ON c.CustomerID = o.CustomerID"},
    {"SELECT Products.ProductName, Categories.CategoryName FROM Products, Categories WHERE Products.CategoryID = "
     "Categories.CategoryID AND Categories.CategoryID = 2",
     "SELECT p.ProductName, c.CategoryName FROM Products p, Categories c WHERE p.CategoryID = c.CategoryID AND "
     "c.CategoryID = 2"},
    // GROUP BY, HAVING and the aggregates, First and Last included.
    {"SELECT Country, Count(*) FROM Customers GROUP BY Country HAVING Count(*) > 5",
     "SELECT Country, count(*) FROM Customers GROUP BY Country HAVING count(*) > 5"},
    {"SELECT CustomerID, Sum(Freight), Avg(Freight), Min(Freight), Max(Freight), Count(ShippedDate) FROM Orders GROUP "
     "BY CustomerID",
     "SELECT CustomerID, sum(Freight), avg(Freight), min(Freight), max(Freight), count(ShippedDate) FROM Orders GROUP "
     "BY CustomerID"},
    {"SELECT StDev(Freight), StDevP(Freight), Var(Freight), VarP(Freight) FROM Orders",
     "SELECT sqrt(sum((Freight - a) * (Freight - a)) / (count(*) - 1)), sqrt(sum((Freight - a) * (Freight - a)) / "
     "count(*)), sum((Freight - a) * (Freight - a)) / (count(*) - 1), sum((Freight - a) * (Freight - a)) / count(*) "
     "FROM Orders, (SELECT avg(Freight) AS a FROM Orders)"},
    {"SELECT EmployeeID, First(OrderID), Last(OrderID) FROM Orders GROUP BY EmployeeID",
     "SELECT EmployeeID, (SELECT OrderID FROM Orders p WHERE p.EmployeeID = o.EmployeeID ORDER BY rowid LIMIT 1), "
     "(SELECT OrderID FROM Orders p WHERE p.EmployeeID = o.EmployeeID ORDER BY rowid DESC LIMIT 1) FROM Orders o "
     "GROUP BY EmployeeID"},
    // UNION and UNION ALL; ORDER BY a column of the union.
    {"SELECT City FROM Customers UNION SELECT City FROM Suppliers ORDER BY City",
     "SELECT City FROM Customers UNION SELECT City FROM Suppliers"},
    {"SELECT Country FROM Customers UNION ALL SELECT Country FROM Suppliers",
     "SELECT Country FROM Customers UNION ALL SELECT Country FROM Suppliers"},
    // Subqueries: IN, EXISTS, a value, correlated.
    {"SELECT CompanyName FROM Customers WHERE CustomerID IN (SELECT CustomerID FROM Orders WHERE Freight > 500)",
     "SELECT CompanyName FROM Customers WHERE CustomerID IN (SELECT CustomerID FROM Orders WHERE Freight > 500)"},
    {"SELECT c.CompanyName FROM Customers c WHERE NOT EXISTS (SELECT * FROM Orders o WHERE o.CustomerID = "
     "c.CustomerID)",
     "SELECT c.CompanyName FROM Customers c WHERE NOT EXISTS (SELECT * FROM Orders o WHERE o.CustomerID = "
     "c.CustomerID)"},
    {"SELECT ProductName FROM Products p WHERE UnitPrice > (SELECT Avg(UnitPrice) FROM Products q WHERE q.CategoryID = "
     "p.CategoryID)",
     "SELECT ProductName FROM Products p WHERE UnitPrice > (SELECT avg(UnitPrice) FROM Products q WHERE q.CategoryID = "
     "p.CategoryID)"},
    {"SELECT ProductName FROM Products WHERE UnitPrice >= ALL (SELECT UnitPrice FROM Products)",
     "SELECT ProductName FROM Products WHERE UnitPrice = (SELECT max(UnitPrice) FROM Products)"},
    // A subquery in FROM, and the select list's aliases used elsewhere.
    {"SELECT t.Country, t.N FROM (SELECT Country, Count(*) AS N FROM Customers GROUP BY Country) AS t WHERE t.N = 1",
     "SELECT Country, count(*) FROM Customers GROUP BY Country HAVING count(*) = 1"},
    {"SELECT UnitPrice * UnitsInStock AS Stock, Stock * 2 AS Twice FROM Products WHERE Stock > 3000",
     "SELECT UnitPrice * UnitsInStock, UnitPrice * UnitsInStock * 2 FROM Products WHERE UnitPrice * UnitsInStock > "
     "3000"},
    // Currency stays exact through sums.
    {"SELECT Sum(UnitPrice), Sum(UnitPrice * Quantity) FROM [Order Details]",
     "SELECT sum(UnitPrice), sum(UnitPrice * Quantity) FROM \"Order Details\""},
    // Functions over columns.
    {"SELECT IIf(Country = 'usa', 'us', 'other'), Nz(Region, '-'), Left(CompanyName, 3), Len(CompanyName), "
     "InStr(City, 'o') FROM Suppliers",
     "SELECT CASE WHEN Country = 'USA' THEN 'us' ELSE 'other' END, coalesce(Region, '-'), substr(CompanyName, 1, 3), "
     "length(CompanyName), instr(lower(City), 'o') FROM Suppliers"},
    {"SELECT OrderID, Format(OrderDate, 'yyyy-mm-dd'), DatePart('q', OrderDate), DateAdd('d', 10, OrderDate) FROM "
     "Orders",
     "SELECT OrderID, substr(OrderDate, 1, 10), (CAST(strftime('%m', OrderDate) AS INTEGER) + 2) / 3, "
     "datetime(OrderDate, '+10 days') FROM Orders"},
};

class Dialect : public sqltest::NwindTest {
 protected:
  void SetUp() override {
    NwindTest::SetUp();
    if (IsSkipped()) return;
    if (!jettest::onPath("mdb-export")) GTEST_SKIP() << "mdb-export (mdbtools) is not installed";
  }
  static sqltest::NativeCopy& native(const std::filesystem::path& path) {
    static sqltest::NativeCopy copy(path);
    return copy;
  }
};

TEST_F(Dialect, StatementsGiveTheRowsOfTheirTranslation) {
  for (const Case& c : kStatements) {
    SCOPED_TRACE(c.access);
    Rows ours, theirs;
    try {
      ours = sqltest::run(*opened.session, c.access);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    theirs = native(path).rows(c.native);
    if (!c.ordered) {
      ours = sqltest::sorted(std::move(ours));
      theirs = sqltest::sorted(std::move(theirs));
    }
    EXPECT_EQ(ours, theirs);
  }
}

struct Value {
  const char* expression;
  const char* expected;  // canonical text (see sqltest::canonical)
};

const Value kValues[] = {
    // Literals and operators.
    {"True", "-1"}, {"False", "0"}, {"Yes", "-1"}, {"No", "0"}, {"Null", "NULL"},
    {"7 Mod 3", "1"}, {"-7 Mod 3", "-1"}, {"7.5 Mod 2", "0"}, {"7 \\ 2", "3"}, {"-7 \\ 2", "-3"},
    {"8.5 \\ 2", "4"}, {"5 / 2", "2.5"}, {"2 ^ 10", "1024"}, {"-2 ^ 2", "-4"}, {"1 + 2 * 3", "7"},
    {"'a' & 1 & Null", "a1"}, {"Null & Null", "NULL"}, {"'1' + '2'", "12"}, {"'1' + 2", "3"}, {"Null + 1", "NULL"},
    {"5 And 3", "1"}, {"5 Or 2", "7"}, {"True And False", "0"}, {"Not False", "-1"}, {"True Xor True", "0"},
    {"'a' = 'A'", "-1"}, {"'a' < 'B'", "-1"}, {"'ą' > 'a'", "-1"}, {"'ą' < 'b'", "-1"}, {"2 In (1, 2)", "-1"},
    {"3 Between 1 And 2", "0"}, {"Null Is Null", "-1"}, {"1 = Null", "NULL"},
    // Like.
    {"'abc' Like 'A*'", "-1"}, {"'abc' Like 'a_c'", "-1"}, {"'abc' Like 'a?c'", "-1"}, {"'abc' Like 'a%'", "-1"},
    {"'a1c' Like 'a#c'", "-1"}, {"'abc' Like 'a#c'", "0"}, {"'bcd' Like '[a-c]*'", "-1"},
    {"'dcd' Like '[!a-c]*'", "-1"}, {"'a*c' Like 'a[*]c'", "-1"}, {"'abc' Like 'a[*]c'", "0"},
    {"'abc' Not Like '*b*'", "0"},
    // Dates.
    {"#1/31/2000#", "2000-01-31 00:00:00"}, {"#2000-01-31 13:45:10#", "2000-01-31 13:45:10"},
    {"#13:45#", "1899-12-30 13:45:00"}, {"#1/31/2000 1:45 PM#", "2000-01-31 13:45:00"},
    {"#31-Jan-2000#", "2000-01-31 00:00:00"}, {"#13/1/2000#", "2000-01-13 00:00:00"},
    {"#1/31/2000# + 1", "2000-02-01 00:00:00"}, {"#3/1/2000# - #2/1/2000#", "29"},
    {"Year(#1/31/2000#)", "2000"}, {"Month(#1/31/2000#)", "1"}, {"Day(#1/31/2000#)", "31"},
    {"Hour(#13:45:10#)", "13"}, {"Minute(#13:45:10#)", "45"}, {"Second(#13:45:10#)", "10"},
    {"Weekday(#1/31/2000#)", "2"}, {"Weekday(#1/31/2000#, 2)", "1"},
    {"DateAdd('m', 1, #1/31/2000#)", "2000-02-29 00:00:00"}, {"DateAdd('yyyy', -1, #2/29/2000#)", "1999-02-28 00:00:00"},
    {"DateAdd('h', 25, #1/1/2000#)", "2000-01-02 01:00:00"}, {"DateAdd('q', 1, #11/30/1999#)", "2000-02-29 00:00:00"},
    {"DateDiff('d', #1/1/2000#, #3/1/2000#)", "60"}, {"DateDiff('m', #1/31/2000#, #2/1/2000#)", "1"},
    {"DateDiff('yyyy', #12/31/1999#, #1/1/2000#)", "1"}, {"DateDiff('ww', #1/1/2000#, #1/9/2000#)", "2"},
    {"DateDiff('h', #1/1/2000 23:00#, #1/2/2000 01:00#)", "2"}, {"DateDiff('d', #3/1/2000#, #1/1/2000#)", "-60"},
    {"DatePart('q', #5/1/2000#)", "2"}, {"DatePart('y', #2/1/2000#)", "32"}, {"DatePart('ww', #1/8/2000#)", "2"},
    {"DatePart('w', #1/31/2000#)", "2"}, {"DateSerial(2000, 2, 30)", "2000-03-01 00:00:00"},
    {"DateSerial(99, 1, 1)", "1999-01-01 00:00:00"}, {"DateSerial(2000, 1, 0)", "1999-12-31 00:00:00"},
    {"DateValue('2000-01-31 13:00')", "2000-01-31 00:00:00"}, {"CDate('31.01.2000')", "2000-01-31 00:00:00"},
    {"Year(Date()) = Year(Now())", "-1"}, {"Int(Now()) = Date()", "-1"}, {"Time() < 1", "-1"},
    // Texts.
    {"Len('abc')", "3"}, {"Len('żółw')", "4"}, {"Len(Null)", "NULL"}, {"Len(123)", "3"},
    {"Left('abcdef', 2)", "ab"}, {"Right('abcdef', 2)", "ef"}, {"Mid('abcdef', 2, 3)", "bcd"}, {"Mid('abcdef', 5)", "ef"},
    {"Left('żółw', 2)", "żó"}, {"InStr('abcabc', 'c')", "3"}, {"InStr(4, 'abcabc', 'C')", "6"}, {"InStr('abc', 'x')", "0"},
    {"UCase('żółw')", "ŻÓŁW"}, {"LCase('ĄBC')", "ąbc"}, {"Trim('  a  ') & '|'", "a|"}, {"LTrim('  a  ') & '|'", "a  |"},
    {"RTrim('  a  ') & '|'", "  a|"}, {"Replace('a-b-c', '-', '+')", "a+b+c"}, {"Replace('aXbx', 'x', '')", "ab"},
    {"Space(2) & '|'", "  |"}, {"String(3, 'x')", "xxx"}, {"Chr(65)", "A"}, {"Asc('A')", "65"},
    {"StrComp('a', 'B')", "-1"}, {"StrReverse('abc')", "cba"}, {"InStrRev('abcabc', 'b')", "5"},
    {"InStrRev('abcabc', 'b', 4)", "2"}, {"StrConv('żółw JEST', 3)", "Żółw Jest"}, {"Left$('abc', 1) & Trim$(' x ')", "ax"},
    // Conversions.
    {"CInt(2.5)", "2"}, {"CInt(3.5)", "4"}, {"CInt(-2.5)", "-2"}, {"CLng('42')", "42"}, {"CDbl('1.25')", "1.25"},
    {"CStr(1.5)", "1.5"}, {"CStr(True)", "True"}, {"CDate('2000-01-31')", "2000-01-31 00:00:00"},
    {"CCur(1.23456)", "1.2346"}, {"CCur(10) / 3", "3.333333333"}, {"CByte(255)", "255"}, {"CBool('False')", "0"},
    {"Val('12.5abc')", "12.5"}, {"Val(' 1 2')", "12"}, {"Val('x')", "0"}, {"Str(5)", " 5"}, {"Str(-5)", "-5"},
    // Numbers.
    {"Abs(-2.5)", "2.5"}, {"Int(-2.5)", "-3"}, {"Fix(-2.5)", "-2"}, {"Round(2.5)", "2"}, {"Round(3.5)", "4"},
    {"Round(1.2345, 2)", "1.23"}, {"Round(CCur(2.345), 2)", "2.34"}, {"Sgn(-3)", "-1"}, {"Sqr(16)", "4"},
    {"IsNumeric('12')", "-1"}, {"IsNumeric('x')", "0"},
    // Choices.
    {"IIf(1 > 2, 'a', 'b')", "b"}, {"IIf(Null, 1, 2)", "2"}, {"Nz(Null, 5)", "5"}, {"Nz(Null)", ""}, {"Nz(3, 5)", "3"},
    {"Switch(1 > 2, 'a', 2 > 1, 'b')", "b"}, {"Choose(2, 'a', 'b', 'c')", "b"},
    // Format.
    {"Format(#1/31/2000#, 'yyyy-mm-dd')", "2000-01-31"}, {"Format(#1/31/2000 13:45:00#, 'hh:nn')", "13:45"},
    {"Format(#1/31/2000#, 'dddd')", "Monday"}, {"Format(#1/31/2000#, 'mmm d, yyyy')", "Jan 31, 2000"},
    {"Format(#1/31/2000#, 'Short Date')", "2000-01-31"}, {"Format(#1/31/2000 13:05#, 'Long Time')", "13:05:00"},
    {"Format(#1/31/2000 13:05#, 'h:nn AM/PM')", "1:05 PM"}, {"Format(1234.5, '#,##0.00')", "1,234.50"},
    {"Format(0.256, '0.0%')", "25.6%"}, {"Format(5, '000')", "005"}, {"Format(1234.567, 'Standard')", "1,234.57"},
    {"Format(-1234.5, 'Fixed')", "-1234.50"}, {"Format(-1, 'Yes/No')", "Yes"}, {"Format(12345, '0.00E+00')", "1.23E+04"},
    {"Format(2.5, '0')", "3"}, {"Format(-3, '0;(0)')", "(3)"}, {"Format('abc', '>')", "ABC"}, {"Format(3)", "3"},
};

TEST_F(Dialect, ExpressionsGiveAccessValues) {
  for (const Value& v : kValues) {
    const std::string sql = std::string("SELECT ") + v.expression;
    SCOPED_TRACE(sql);
    try {
      const Rows rows = sqltest::run(*opened.session, sql);
      ASSERT_EQ(rows.size(), 1u);
      EXPECT_EQ(rows[0][0], v.expected);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

// Text sorts as Access sorts it: without regard to case, a letter with an
// accent after the same letter without.
TEST_F(Dialect, TextOrdersAsAccessDoes) {
  const Rows rows = sqltest::run(*opened.session,
                                 "SELECT City FROM Customers WHERE City Like 'a*' OR City Like 'å*' OR City Like 'b*' "
                                 "ORDER BY City DESC");
  ASSERT_FALSE(rows.empty());
  // Århus follows every city of plain A's and comes before the B's.
  const auto at = [&](const std::string& city) {
    return std::find(rows.begin(), rows.end(), Row{city}) - rows.begin();
  };
  EXPECT_LT(at("Barcelona"), at("Århus"));
  EXPECT_LT(at("Århus"), at("Aachen"));
  EXPECT_LT(at("Bruxelles"), at("Bräcke"));
  EXPECT_LT(at("Bräcke"), at("Boise"));
  EXPECT_EQ(sqltest::run(*opened.session, "SELECT Count(*) FROM Customers WHERE City = 'BERLIN'"), Rows{{"1"}});
  EXPECT_EQ(sqltest::run(*opened.session, "SELECT Count(*) FROM Customers WHERE City = 'Århus'"),
            sqltest::run(*opened.session, "SELECT Count(*) FROM Customers WHERE City = 'åRHUS'"));
  EXPECT_EQ(sqltest::run(*opened.session, "SELECT Count(*) FROM Customers WHERE City = 'Arhus'"), Rows{{"0"}});
}

// A text may hold any character, a NUL too.
TEST_F(Dialect, TextsHoldAnyCharacter) {
  const std::string sql = std::string("SELECT Len('a") + '\0' + "b'), 'x' & Chr(0) = 'x' & Chr(0)";
  EXPECT_EQ(sqltest::run(*opened.session, sql), (Rows{{"3", "-1"}}));
}

// Parameters: declared with a type, or any name nothing else gives.
TEST_F(Dialect, ParametersTakeTheirValues) {
  const Rows declared = sqltest::run(*opened.session,
                                     "PARAMETERS [From date] DateTime, [Least] Currency; SELECT Count(*) FROM Orders "
                                     "WHERE OrderDate >= [From date] AND Freight >= [Least]",
                                     {{"From date", std::string("1996-01-01")}, {"least", 100.5}});
  EXPECT_EQ(declared, native(path).rows(
                          "SELECT count(*) FROM Orders WHERE OrderDate >= '1996-01-01' AND Freight >= 100.5"));
  const Rows undeclared = sqltest::run(*opened.session, "SELECT Count(*) FROM Orders WHERE EmployeeID = [Which one?]",
                                       {{"Which one?", std::int64_t{3}}});
  EXPECT_EQ(undeclared, native(path).rows("SELECT count(*) FROM Orders WHERE EmployeeID = 3"));
}

}  // namespace
