#pragma once

#include <memory>
#include <string>

#include "target.h"
#include "target_address.h"

struct pg_conn;

namespace tabrix::cli {

// A PostgreSQL database reached through libpq. Rows go in by binary COPY,
// streamed in large pieces. Statements and rows run inside the
// transactions the conversion opens; DDL is transactional, so a rollback
// leaves nothing of what it covered.
class PostgresTarget final : public Target {
 public:
  // Connects. Throws TargetError with the server's or libpq's reason.
  explicit PostgresTarget(const PostgresAddress& address);
  ~PostgresTarget() override;

  void begin() override;
  void execute(const std::string& statement) override;
  std::unique_ptr<RowWriter> rows(const TablePlan& table) override;
  void checkForeignKeys(const SchemaPlan&) override {}  // adding a foreign key checks the rows
  void commit() override;
  void rollback() noexcept override;
  void abandon() noexcept override {}
  void complete() override {}

 private:
  pg_conn* connection_ = nullptr;
};

}  // namespace tabrix::cli
