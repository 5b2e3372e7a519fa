#pragma once

#include <memory>
#include <string>

#include "target.h"
#include "target_address.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tabrix::cli {

// A new SQLite file. It is built under a temporary name beside the target
// and appears under its own name only when the run ends: complete, or, for
// a run of a transaction per table that failed, with the tables committed
// before the failure. Never overwrites a file.
class SqliteTarget final : public Target {
 public:
  // Throws TargetError when the file exists or can't be made.
  explicit SqliteTarget(const SqliteAddress& address);
  ~SqliteTarget() override;

  void begin() override;
  void execute(const std::string& statement) override;
  std::unique_ptr<RowWriter> rows(const TablePlan& table) override;
  void checkForeignKeys(const SchemaPlan& plan) override;
  void commit() override;
  void rollback() noexcept override;
  void abandon() noexcept override;
  void complete() override;

 private:
  void close() noexcept;
  void publish();

  std::string path_;
  std::string building_;  // the temporary name
  sqlite3* db_ = nullptr;
  bool changed_ = false;    // statements ran since begin()
  bool committed_ = false;  // a transaction that changed something committed
};

// Binds an engine value to a parameter of an SQLite statement: integers and
// yes/no as integers, floating point as real (a Single as the decimal it
// shows), currency and decimals as their text, which SQLite keeps as a
// number, dates as yyyy-MM-dd HH:mm:ss, GUIDs as {…} text, text as UTF-8,
// binary as a blob. `buffer` holds the text until the statement runs.
// Throws TargetError (with no row or column: the caller knows them) for a
// date no calendar holds, and for a currency or decimal of more than 15
// significant digits, which SQLite would round.
void bindSqliteValue(sqlite3_stmt* statement, int parameter, const jet::Value& value, std::string& buffer);

}  // namespace tabrix::cli
