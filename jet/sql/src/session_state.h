#pragma once

#include <sqlite3.h>

#include <map>
#include <memory>

#include "context.h"
#include "jet/sql/session.h"
#include "schema.h"
#include "translation.h"

namespace jet::sql {

// The session's SQLite connection: in memory, holding only the virtual
// tables, views and functions over the engine.
struct Session::State {
  explicit State(const Database& database);
  ~State();

  Context context;
  sqlite3* db = nullptr;
  std::unique_ptr<Schema> schema;
};

struct Statement::State {
  State(Session::State& session, Translation translation);
  ~State();

  Session::State& session;
  Translation translation;
  sqlite3_stmt* statement = nullptr;
  TableDef result;
  std::vector<Origin> origins;
  std::string writableTable;
  std::vector<int> key;
  std::map<std::string, Argument> arguments;  // by folded name, in their types' storage
  std::vector<Value> values;
  bool started = false;
  bool finished = false;
  bool onRow = false;
};

}  // namespace jet::sql
