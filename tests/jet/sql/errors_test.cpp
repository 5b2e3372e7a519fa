// What a user is told when a statement can't run: in our own words, with
// the clause, line and column, or the name, at fault. SQLite's own wording
// never shows.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "sql_support.h"

namespace {

struct Case {
  const char* sql;
  const char* error;
};

const Case kErrors[] = {
    // Syntax: which clause, where, and what was found.
    {"", "Syntax error in the statement at line 1, column 1: the statement is empty"},
    {"   \r\n  ", "Syntax error in the statement at line 2, column 3: the statement is empty"},
    {"SELECT FROM Customers",
     "Syntax error in the SELECT clause at line 1, column 8: expected a value or a column name, found \"FROM\""},
    {"SELECT CompanyName Country FROM Customers",
     "Syntax error in the SELECT clause at line 1, column 20: expected \",\" or FROM, found \"Country\""},
    {"SELECT *\r\nFROM Customers\r\nWHERE Country = 'UK' AND",
     "Syntax error in the WHERE clause at line 3, column 25: expected a value or a column name, but the statement "
     "ends"},
    {"SELECT * FROM Customers WHERE Country = 'UK' Region = 'x'",
     "Syntax error in the WHERE clause at line 1, column 46: expected an operator, found \"Region\""},
    {"SELECT * FROM Customers, WHERE Country = 'UK'",
     "Syntax error in the FROM clause at line 1, column 26: expected a table or query name, found \"WHERE\""},
    {"SELECT * FROM Orders JOIN Customers ON Orders.CustomerID = Customers.CustomerID",
     "Syntax error in the FROM clause at line 1, column 22: expected INNER, LEFT or RIGHT before JOIN, found \"JOIN\""},
    {"SELECT Country FROM Customers GROUP Country",
     "Syntax error in the GROUP BY clause at line 1, column 37: expected BY, found \"Country\""},
    {"SELECT Country FROM Customers ORDER BY Country,",
     "Syntax error in the ORDER BY clause at line 1, column 48: expected a value or a column name, but the statement "
     "ends"},
    {"SELECT Left(CompanyName, 2 FROM Customers",
     "Syntax error in the SELECT clause at line 1, column 28: expected \")\" after the arguments of Left, found "
     "\"FROM\""},
    {"SELECT * FROM Customers WHERE Country IN ('UK' 'USA')",
     "Syntax error in the WHERE clause at line 1, column 48: expected \")\" after the values of IN, found \"'USA'\""},
    {"SELECT 'abc FROM Customers",
     "Syntax error in the statement at line 1, column 8: the text that starts here has no closing quotation mark"},
    {"SELECT * FROM [Order Details",
     "Syntax error in the statement at line 1, column 15: the name that starts here has no closing \"]\""},
    {"SELECT * FROM Orders WHERE OrderDate > #1/1/1995",
     "Syntax error in the statement at line 1, column 40: the date that starts here has no closing \"#\""},
    {"SELECT * FROM Customers WHERE Country = 'UK' ; SELECT 1",
     "Syntax error in the statement at line 1, column 48: there is more text after the end of the statement: "
     "\"SELECT\""},
    {"SELECT * FROM Customers WHERE Country § 'UK'",
     "Syntax error in the statement at line 1, column 39: the character \"§\" is not part of Access SQL"},
    {"SELECT #13/45/2000#",
     "Syntax error in the date #13/45/2000# (line 1, column 8): write it as #month/day/year# or #year-month-day#"},
    {"PARAMETERS [Start] DateTime SELECT * FROM Orders",
     "Syntax error in the PARAMETERS declaration at line 1, column 29: expected \";\" after the parameters, found "
     "\"SELECT\""},
    {"PARAMETERS [Start] Moment; SELECT * FROM Orders",
     "Syntax error in the PARAMETERS declaration at line 1, column 20: \"Moment\" is not a type name"},
    {"SELCT * FROM Customers",
     "Syntax error in the statement at line 1, column 1: expected SELECT, INSERT, UPDATE, DELETE, CREATE, DROP or "
     "ALTER, found \"SELCT\""},
    {"UPDATE Products SET WHERE ProductID = 1",
     "Syntax error in the SET clause at line 1, column 21: expected a value or a column name, found \"WHERE\""},
    {"CREATE TABLE T (a TEXT(300))", "Syntax error in the CREATE TABLE statement at line 1, column 19: \"TEXT\" is not a type name"},
    // Names.
    {"SELECT * FROM Nowhere", "No table or query named \"Nowhere\" (line 1, column 15)"},
    {"SELECT * FROM [< wybierz >]", "No table or query named \"< wybierz >\" (line 1, column 15)"},
    {"SELECT Foo FROM Customers", "Unknown column \"Foo\" (line 1, column 8)"},
    {"SELECT Customers.Foo FROM Customers",
     "Unknown column \"Customers.Foo\": \"Customers\" has no column \"Foo\" (line 1, column 8)"},
    {"SELECT OrderID FROM Orders, [Order Details]",
     "The column \"OrderID\" is in more than one table (Orders, Order Details); write the table's name before it "
     "(line 1, column 8)"},
    {"SELECT * FROM Orders, Orders",
     "The FROM clause names \"Orders\" twice; give one of them another name with AS (line 1, column 23)"},
    {"SELECT Foo(1)", "Unknown function \"Foo\" (line 1, column 8)"},
    {"SELECT Left('a')", "Wrong number of arguments for Left(): it takes 2 (line 1, column 8)"},
    // Parameters.
    {"PARAMETERS [Start] DateTime; SELECT * FROM Orders WHERE OrderDate > [Start]",
     "The parameter \"Start\" has no value (line 1, column 12)"},
    {"SELECT * FROM [Employee Sales by Country]",
     "The parameter \"Beginning Date\" has no value in the saved query \"Employee Sales by Country\""},
    // Types and queries Access refuses.
    {"SELECT * FROM Orders WHERE OrderID = 'abc'",
     "Data type mismatch: the text \"abc\" is not a number (line 1, column 36)"},
    {"SELECT * FROM Orders WHERE OrderDate = 'someday'",
     "Data type mismatch: the text \"someday\" is not a date (line 1, column 38)"},
    {"SELECT * FROM Employees WHERE Photo = 1",
     "Data type mismatch: a OLE Object value can't be compared with a Long value (line 1, column 37)"},
    {"SELECT Country, CompanyName FROM Customers GROUP BY Country",
     "The query groups its rows, so \"CompanyName\" must be in GROUP BY or inside an aggregate function (line 1, "
     "column 17)"},
    {"SELECT Count(*), Country FROM Customers",
     "The query groups its rows, so \"Country\" must be in GROUP BY or inside an aggregate function (line 1, column "
     "18)"},
    {"SELECT * FROM Orders WHERE Count(*) > 1",
     "WHERE can't hold an aggregate function; use HAVING (line 1, column 37)"},
    {"SELECT Sum(Count(*)) FROM Orders", "An aggregate function can't hold another (Count) (line 1, column 12)"},
    {"SELECT DISTINCT Country FROM Customers ORDER BY City",
     "A SELECT DISTINCT query can be ordered only by the columns it selects (line 1, column 49)"},
    {"SELECT City FROM Customers UNION SELECT City, Country FROM Suppliers",
     "The queries of a UNION select different numbers of columns (1 and 2) (line 1, column 34)"},
    {"SELECT TOP 0 * FROM Customers", "TOP needs a number of rows above 0 (line 1, column 8)"},
    {"SELECT * FROM Customers IN 'other.mdb'",
     "The table \"Customers\" is in another database (other.mdb), which the built-in engine can't open (line 1, "
     "column 15)"},
    {"TRANSFORM Count(*) SELECT Country FROM Customers GROUP BY Country PIVOT City",
     "Crosstab queries (TRANSFORM … PIVOT) can't be run by the built-in engine (line 1, column 1)"},
    // Values that can't be computed.
    {"SELECT 1 / 0", "Division by zero"},
    {"SELECT 7 Mod 0", "Division by zero"},
    {"SELECT CInt(40000)", "Overflow: the value is too large for Integer"},
    {"SELECT CLng('abc')", "Data type mismatch: the text \"abc\" is not a number"},
    {"SELECT Sqr(-1)", "Invalid argument: -1"},
    {"SELECT DateAdd('x', 1, #1/1/2000#)", "Invalid interval \"x\": use yyyy, q, m, y, d, w, ww, h, n or s"},
    {"SELECT 'a' Like '[a'", "Invalid pattern for Like: \"[a\" has an unclosed \"[\""},
    {"SELECT 1 FROM Customers WHERE CustomerID = (SELECT CustomerID FROM Customers)",
     "A subquery used as a value gave more than one row"},
    {"SELECT ? + 1", "The parameter \"?1\" has no value (line 1, column 8)"},
    {"SELECT City FROM Customers ORDER BY City UNION SELECT City FROM Suppliers",
     "Syntax error in the ORDER BY clause at line 1, column 42: ORDER BY belongs after the last SELECT of a UNION"},
    // Changes: checked like queries, then refused.
    {"UPDATE Products SET UnitPrice = UnitPrice * 1.1 WHERE ProductID = 1",
     "The built-in engine can't change the database yet"},
    {"UPDATE Products INNER JOIN Categories ON Products.CategoryID = Categories.CategoryID SET Products.UnitPrice = 1 "
     "WHERE Categories.CategoryName = 'Beverages'",
     "The built-in engine can't change the database yet"},
    {"DELETE * FROM Orders WHERE OrderID = 1", "The built-in engine can't change the database yet"},
    {"DELETE Orders.* FROM Orders INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID WHERE "
     "Customers.Country = 'UK'",
     "The built-in engine can't change the database yet"},
    {"INSERT INTO Shippers (CompanyName, Phone) VALUES ('Fast', '555')", "The built-in engine can't change the database yet"},
    {"INSERT INTO Shippers (CompanyName) SELECT CompanyName FROM Suppliers", "The built-in engine can't change the database yet"},
    {"SELECT * INTO Archive FROM Orders WHERE OrderDate < #1/1/1995#", "The built-in engine can't change the database yet"},
    {"CREATE TABLE Notes (ID COUNTER PRIMARY KEY, Body MEMO NOT NULL, Size DECIMAL(10, 2))",
     "The built-in engine can't change the database yet"},
    {"CREATE UNIQUE INDEX ByName ON Shippers (CompanyName DESC)", "The built-in engine can't change the database yet"},
    {"ALTER TABLE Shippers ADD COLUMN Email TEXT(100)", "The built-in engine can't change the database yet"},
    {"DROP INDEX PrimaryKey ON Shippers", "The built-in engine can't change the database yet"},
    {"DROP TABLE Shippers", "The built-in engine can't change the database yet"},
    {"DELETE FROM Nowhere", "No table or query named \"Nowhere\" (line 1, column 13)"},
    {"UPDATE Products SET Nope = 1", "Unknown column \"Nope\" in the tables of the UPDATE (line 1, column 21)"},
    {"INSERT INTO Shippers (CompanyName) VALUES ('a', 'b')",
     "INSERT INTO names 1 columns but gives 2 values (line 1, column 1)"},
    {"INSERT INTO Shippers (Nope) VALUES (1)", "Unknown column \"Nope\": \"Shippers\" has no column of that name (line 1, column 23)"},
    {"CREATE TABLE Products (a TEXT)", "A table or query named \"Products\" already exists (line 1, column 14)"},
    {"DROP INDEX Nope ON Products", "The table \"Products\" has no index named \"Nope\" (line 1, column 20)"},
    {"ALTER TABLE Products ADD COLUMN ProductName TEXT",
     "The table \"Products\" already has a column named \"ProductName\" (line 1, column 33)"},
    {"DROP TABLE Invoices", "\"Invoices\" is a saved query; the built-in engine changes the rows of tables only (line 1, column 12)"},
};

using Errors = sqltest::NwindTest;

TEST_F(Errors, SayWhatAndWhere) {
  for (const Case& c : kErrors) {
    SCOPED_TRACE(c.sql);
    const std::string error = sqltest::errorOf(*opened.session, c.sql);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(error.find("sqlite"), std::string::npos);
    EXPECT_EQ(error.find("SQLITE"), std::string::npos);
  }
}

// Each error carries a kind for callers that react without reading it.
TEST_F(Errors, CarryTheirKind) {
  using jet::sql::ErrorKind;
  const std::pair<const char*, ErrorKind> kinds[] = {
      {"SELECT FROM x", ErrorKind::Syntax},
      {"SELECT * FROM Nowhere", ErrorKind::UnknownTable},
      {"SELECT Foo FROM Customers", ErrorKind::UnknownColumn},
      {"PARAMETERS [a] Long; SELECT [a]", ErrorKind::MissingParameter},
      {"SELECT * FROM Orders WHERE OrderID = 'x'", ErrorKind::TypeMismatch},
      {"SELECT * FROM [Quarterly Orders by Product]", ErrorKind::Unsupported},
      {"SELECT 1 / 0", ErrorKind::Evaluation},
      {"DELETE FROM Orders", ErrorKind::ReadOnly},
  };
  for (const auto& [sql, kind] : kinds) {
    SCOPED_TRACE(sql);
    try {
      auto statement = opened.session->prepare(sql);
      if (statement->givesRows())
        while (statement->next()) {
        }
      else
        statement->execute();
      ADD_FAILURE() << "no error";
    } catch (const jet::sql::Error& e) {
      EXPECT_EQ(e.kind(), kind) << e.what();
    }
  }
}

// Hostile input: nesting that would exhaust the stack, and statements
// larger than SQLite takes, end in errors.
TEST_F(Errors, HostileStatementsFailCleanly) {
  const std::string deep = "SELECT " + std::string(5000, '(') + "1" + std::string(5000, ')');
  EXPECT_EQ(sqltest::errorOf(*opened.session, deep),
            "Syntax error in the SELECT clause at line 1, column 107: the statement is nested too deeply");
  std::string unions = "SELECT 1";
  for (int i = 0; i < 600; ++i) unions += " UNION SELECT 1";
  EXPECT_EQ(sqltest::errorOf(*opened.session, unions),
            "The statement is too large or too deeply nested for the built-in engine");
  std::string negations = "SELECT ";
  for (int i = 0; i < 5000; ++i) negations += "- ";
  EXPECT_NE(sqltest::errorOf(*opened.session, negations + "1").find("nested too deeply"), std::string::npos);
}

}  // namespace
