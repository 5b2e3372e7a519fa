#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QString>
#include <filesystem>
#include <string>

#include "fixtures.h"
#include "odbc_registry.h"

// A SQLite database in a temporary folder, reached through Debian's SQLite
// ODBC driver registered under kSqliteDriver.
inline const char* const kSqliteDriver = "Tabrix Test SQLite";

class SqliteDatabase {
 public:
  explicit SqliteDatabase(const std::string& schema = {}) : registry_{{kSqliteDriver, odbc_registry::Library::Sqlite}} {
    path_ = dir_.path() / "test.db";
    if (!schema.empty()) run(schema);
  }

  // Runs SQL straight on the file, outside the component under test.
  void run(const std::string& sql) const {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(result, SQLITE_OK) << message;
  }

  // The one value an SQL query gives, as text ("NULL" for a null).
  std::string scalar(const std::string& sql) const {
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    std::string value = "<no row>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      value = text ? reinterpret_cast<const char*>(text) : "NULL";
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
  }

  // The connection string the main window would build, with the SQLite
  // driver in place of the Access one.
  QString connectionString(const QString& password = {}) const {
    return QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;Password=%1;User ID=admin;"
                          "Extended Properties=\"Driver={%2};Database=%3;\";")
        .arg(password, QString::fromUtf8(kSqliteDriver), QString::fromStdString(path_.string()));
  }

  const std::filesystem::path& path() const { return path_; }

 private:
  fixtures::TempDir dir_;
  odbc_registry::Registry registry_;
  std::filesystem::path path_;
};
