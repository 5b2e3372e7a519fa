#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "data/driver.h"
#include "data/odbc_handle.h"
#include "data/odbc_parameters.h"

namespace tabrix {

// A driver over the system's ODBC driver manager (unixODBC). Rows are read
// with SQLGetData into the sink; writes are parameterised statements, each
// in a transaction of its own where the driver has transactions, so one
// that would touch other than exactly one row is rolled back.
class OdbcDriver : public Driver {
 public:
  // Connects with SQLDriverConnect, never prompting. ProviderError with the
  // driver's text on failure.
  explicit OdbcDriver(const QString& connectionString);
  ~OdbcDriver() override;

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

  // The connection string the driver made of ours when it connected.
  QString completedConnectionString() const { return m_completedConnectionString; }

  // Whether the driver manager has a driver registered under exactly this name.
  static bool isRegistered(const QString& driverName);

 private:
  std::unique_ptr<odbc::Handle> run(const QString& sql, odbc::Parameters* parameters = nullptr);
  // What the catalogue calls tell of a table: its columns, and the columns
  // of its primary key or else of its first unique index.
  struct TableMetadata {
    std::vector<QString> columns;
    std::vector<QString> key;
  };
  TableMetadata tableMetadata(const QString& table);
  void readResult(const odbc::Handle& statement, const QString& tableHint, std::optional<TableMetadata> metadata,
                  RowSink& sink);
  QString quoted(const QString& identifier) const;
  QString whereClause(const std::vector<ColumnValue>& where, odbc::Parameters& parameters) const;
  bool readInserted(const QString& table, const std::vector<ColumnValue>& values, const ResultInfo& info,
                    RowSink& readBack);
  // Runs a statement that must change exactly one row.
  void changeOneRow(const QString& sql, odbc::Parameters& parameters);
  QString info(SQLUSMALLINT type) const;

  odbc::Environment m_environment;
  odbc::Handle m_connection;
  QString m_completedConnectionString;
  QString m_quote;
  QString m_dbms;
  bool m_transactions = false;
  bool m_severalStatements = false;
  bool m_writable = false;
  bool m_hasColumns = false;
  bool m_hasPrimaryKeys = false;
  bool m_hasStatistics = false;
};

}  // namespace tabrix
