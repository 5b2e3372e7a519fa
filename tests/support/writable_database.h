#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "sqlite_database.h"

// The databases the windows' writing tests run on. Each kind gives a fresh
// writable database with a table Employees like nwind.mdb's, of which every
// kind has at least these columns: EmployeeID (the key, numbered by the
// database), LastName (text of 20, required), FirstName (text of 10),
// ReportsTo (an integer), Notes (a memo) and Photo (long binary data). Its
// rows are nwind's nine, in EmployeeID order: Davolio (1), Fuller, Leverling,
// Peacock, Buchanan, Suyama, King, Callahan, Dodsworth (9).
class WritableDatabase {
 public:
  virtual ~WritableDatabase() = default;

  virtual QString connectionString() const = 0;
  // A value of the row with that key, read outside the component under
  // test, as text: "NULL" for a null, "<no row>" when there is no such row.
  virtual std::string value(const std::string& column, int employeeId) const = 0;
  virtual int rowCount() const = 0;
};

// Debian's SQLite ODBC driver.
class SqliteEmployees : public WritableDatabase {
 public:
  SqliteEmployees()
      : m_db("CREATE TABLE Employees(EmployeeID INTEGER PRIMARY KEY, LastName VARCHAR(20) NOT NULL,"
             " FirstName VARCHAR(10), ReportsTo INTEGER, Notes TEXT, Photo LONGVARBINARY);"
             "INSERT INTO Employees VALUES (1, 'Davolio', 'Nancy', 2, 'Education includes a BA.', x'151c2f00');"
             "INSERT INTO Employees VALUES (2, 'Fuller', 'Andrew', NULL, 'Andrew received his BTS.', x'151c2f01');"
             "INSERT INTO Employees VALUES (3, 'Leverling', 'Janet', 2, 'Janet has a BS degree.', x'151c2f02');"
             "INSERT INTO Employees VALUES (4, 'Peacock', 'Margaret', 2, 'Margaret holds a BA.', x'151c2f03');"
             "INSERT INTO Employees VALUES (5, 'Buchanan', 'Steven', 2, 'Steven graduated.', x'151c2f04');"
             "INSERT INTO Employees VALUES (6, 'Suyama', 'Michael', 5, 'Michael is a graduate.', x'151c2f05');"
             "INSERT INTO Employees VALUES (7, 'King', 'Robert', 5, 'Robert served.', x'151c2f06');"
             "INSERT INTO Employees VALUES (8, 'Callahan', 'Laura', 2, 'Laura received a BA.', x'151c2f07');"
             "INSERT INTO Employees VALUES (9, 'Dodsworth', 'Anne', 5, 'Anne has a BA.', x'151c2f08');") {}

  QString connectionString() const override { return m_db.connectionString(); }
  std::string value(const std::string& column, int employeeId) const override {
    return m_db.scalar("SELECT " + column + " FROM Employees WHERE EmployeeID = " + std::to_string(employeeId));
  }
  int rowCount() const override { return std::stoi(m_db.scalar("SELECT count(*) FROM Employees")); }

 private:
  SqliteDatabase m_db;
};

struct DatabaseKind {
  const char* name;
  std::unique_ptr<WritableDatabase> (*make)();
};

// Every kind the writing tests run on; a new kind is one more line.
inline const std::vector<DatabaseKind>& writableDatabases() {
  static const std::vector<DatabaseKind> kinds{
      {"SQLite", [] { return std::unique_ptr<WritableDatabase>(new SqliteEmployees); }},
  };
  return kinds;
}

inline std::string databaseKindName(const testing::TestParamInfo<DatabaseKind>& info) { return info.param.name; }
