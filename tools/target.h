#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "jet/database.h"
#include "schema_plan.h"

namespace tabrix::cli {

// Something a target refused: a statement, a row or one value. `row`
// counts a table's rows from 1 in the order they are copied, 0 when no row
// is to blame; `column` names the column when the target says which.
class TargetError : public std::runtime_error {
 public:
  explicit TargetError(const std::string& what, std::uint64_t row = 0, std::string column = {})
      : std::runtime_error(what), row_(row), column_(std::move(column)) {}
  std::uint64_t row() const { return row_; }
  const std::string& column() const { return column_; }

 private:
  std::uint64_t row_;
  std::string column_;
};

// Streams one table's rows into the target.
class RowWriter {
 public:
  virtual ~RowWriter() = default;
  // Sends the cursor's current row. Throws TargetError.
  virtual void write(jet::RowCursor& rows) = 0;
  // Ends the rows; a refusal the target kept back shows here. Throws
  // TargetError.
  virtual void finish() = 0;
};

// A database a conversion writes into. Every call but rollback() and
// abandon() throws TargetError for what the target refuses.
class Target {
 public:
  virtual ~Target() = default;
  virtual void begin() = 0;
  virtual void execute(const std::string& statement) = 0;
  virtual std::unique_ptr<RowWriter> rows(const TablePlan& table) = 0;
  // Checks the foreign keys over the copied rows where declaring them
  // didn't (SQLite). Part of the transaction it is called in.
  virtual void checkForeignKeys(const SchemaPlan& plan) = 0;
  virtual void commit() = 0;
  virtual void rollback() noexcept = 0;
  // Called once after a failed run, past its rollback: leaves behind only
  // what was committed.
  virtual void abandon() noexcept = 0;
  // Called once after a successful run: makes the result durable and
  // visible.
  virtual void complete() = 0;
};

}  // namespace tabrix::cli
