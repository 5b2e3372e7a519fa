#pragma once

#include <optional>
#include <string>
#include <vector>

#include "jet/database.h"
#include "sql_text.h"

namespace tabrix::cli {

// One table as the target will have it.
struct TablePlan {
  jet::TableDef source;
  std::string name;                  // quoted, with its schema where one is given
  std::vector<std::string> columns;  // quoted, in the source's column order
  std::vector<std::string> create;   // statements before the rows: the table
  std::vector<std::string> indexes;  // statements after the rows: keys and indexes, faster built over the rows
  // A column the target numbers by itself (an autonumber), which must
  // continue after the highest value copied; PostgreSQL only, SQLite's
  // AUTOINCREMENT follows the rows by itself.
  std::optional<std::size_t> identity;
};

// A relationship that became a foreign key.
struct ForeignKeyPlan {
  std::string relationship;  // its name in the database
  std::string table, referencedTable;  // the source's names
};

// The whole structure for one target: the same statements print as DDL
// (`schema --sql`) and run in a conversion.
struct SchemaPlan {
  Dialect dialect = Dialect::Postgres;
  std::vector<std::string> prelude;      // before any table: the schema
  std::vector<TablePlan> tables;         // in catalogue order
  std::vector<std::string> foreignKeys;  // after every table (PostgreSQL; SQLite declares them with the table)
  std::vector<ForeignKeyPlan> relationships;
  std::vector<std::string> notes;        // what was left out or renamed, each with the reason
};

struct PlanOptions {
  Dialect dialect = Dialect::Postgres;
  std::string schema;               // PostgreSQL: the schema for the tables; empty for the connection's default
  std::vector<std::string> tables;  // empty: every table
};

// Plans the target's tables from the database: columns in order with their
// types, nullability and defaults, the primary key, every index (unique,
// descending, several columns, ignoring nulls as a partial index), and each
// enforced relationship between two converted tables as a foreign key with
// its cascades. Throws jet::Error for a named table the database lacks or
// can't read.
SchemaPlan planSchema(const jet::Database& db, const PlanOptions& options);

// PostgreSQL: the statement that makes a table's identity continue at
// `next`.
std::string continueIdentity(const TablePlan& table, std::int64_t next);

}  // namespace tabrix::cli
