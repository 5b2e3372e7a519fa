#pragma once

#include <sqlite3.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "context.h"
#include "translation.h"

namespace jet::sql {

// What the SQLite connection holds: a virtual table for each table and a
// view for each saved query a statement has used, made on first use, so a
// saved query that can't be translated fails when it is used and names
// itself.
class Schema {
 public:
  Schema(sqlite3* db, Context& context) : db_(db), context_(context) {}

  Objects& objects() { return context_.objects; }

  // The SQLite name of a table's virtual table.
  std::string table(const std::string& name);

  struct View {
    std::string sqlName;
    std::vector<OutputColumn> columns;  // read as c1, c2, …
    std::vector<ParameterUse> parameters;
  };
  // Throws Error naming the query when it can't be used as a table.
  const View& view(const std::string& name);

 private:
  void run(const std::string& sql);

  sqlite3* db_;
  Context& context_;
  std::map<std::string, std::string> tables_;
  std::map<std::string, View> views_;
  std::set<std::string> building_;
};

}  // namespace jet::sql
