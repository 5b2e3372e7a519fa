#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "data/driver.h"

namespace jet {
class Database;
namespace sql {
class Session;
}
}  // namespace jet

namespace tabrix {

// A driver over the built-in engine. The engine reads tables and runs
// Access SQL (jet::sql); until it also writes, every column of a table is
// reported as not writable, and a statement or a row that would change the
// database is refused with a ProviderError that says so.
class JetDriver : public Driver {
 public:
  // Opens the file; the engine's errors become ProviderErrors with its text.
  JetDriver(const QString& file, const QString& password, const QString& user);
  ~JetDriver() override;

  std::vector<CatalogueRow> catalogue() override;
  void readTable(const QString& name, RowSink& sink) override;
  bool readQuery(const QString& sql, RowSink& sink) override;
  void execute(const QString& sql) override;
  void updateRow(const QString& table, std::optional<Bookmark> bookmark, const std::vector<ColumnValue>& original,
                 const std::vector<ColumnValue>& values) override;
  void deleteRow(const QString& table, std::optional<Bookmark> bookmark,
                 const std::vector<ColumnValue>& original) override;
  bool insertRow(const QString& table, const std::vector<ColumnValue>& values, const ResultInfo& info,
                 RowSink& readBack) override;

 private:
  // How many rows to reserve room for when a table claims `claimed`.
  std::size_t rowHint(std::uint32_t claimed) const;

  std::filesystem::path m_file;

  jet::sql::Session& sql();

  std::unique_ptr<jet::Database> m_database;
  std::unique_ptr<jet::sql::Session> m_sql;  // made on the first statement
};

}  // namespace tabrix
