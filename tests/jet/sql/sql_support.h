#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/sql/session.h"

// What the SQL tests share: results rendered as comparable text, and a
// native SQLite copy of an Access file's tables read by mdb-export, the
// independent oracle the translations are checked against.
namespace sqltest {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

// A value as text both sides agree on: NULL; whole numbers; other numbers
// to ten significant digits (sums of doubles differ further down); dates as yyyy-mm-dd hh:mm:ss;
// yes/no as -1 and 0; bytes as lower-case hex.
std::string canonical(const jet::Value& value);
std::string number(double value);

// An Access file open in a session.
struct Opened {
  std::unique_ptr<jet::Database> database;
  std::unique_ptr<jet::sql::Session> session;
};
Opened open(const std::filesystem::path& file);

using Arguments = std::map<std::string, jet::sql::Argument>;

// Every row of a statement's result, rendered.
Rows run(jet::sql::Session& session, const std::string& sql, const Arguments& arguments = {});
// The column names of a statement's result.
std::vector<std::string> columnNames(jet::sql::Session& session, const std::string& sql);
// The text of the error preparing or running a statement gives; "" when
// it gives none.
std::string errorOf(jet::sql::Session& session, const std::string& sql);

// The user tables of an Access file in an in-memory SQLite database, as
// mdb-export prints them: dates as yyyy-mm-dd hh:mm:ss text, yes/no as -1
// and 0, money and decimals as REAL, binary data as blobs. round_even(x, n)
// rounds half to even.
class NativeCopy {
 public:
  explicit NativeCopy(const std::filesystem::path& file);
  ~NativeCopy();
  NativeCopy(const NativeCopy&) = delete;
  NativeCopy& operator=(const NativeCopy&) = delete;

  Rows rows(const std::string& sql) const;

 private:
  sqlite3* db_ = nullptr;
};

// A test with nwind.mdb open in a session; skipped where the fixture is
// absent.
class NwindTest : public ::testing::Test {
 protected:
  void SetUp() override;

  std::filesystem::path path;
  Opened opened;
};

// The same rows in a fixed order, for results whose order isn't defined.
Rows sorted(Rows rows);

}  // namespace sqltest
