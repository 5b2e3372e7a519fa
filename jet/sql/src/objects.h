#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"

namespace jet::sql {

// One row of MSysQueries: a part of a saved query's definition.
struct QueryRow {
  int attribute = 0;
  std::string expression;
  std::string name1;
  std::string name2;
  int flag = 0;
};

struct SavedQuery {
  std::string name;
  std::uint32_t flags = 0;  // MSysObjects' flags: the kind of query
  std::vector<QueryRow> rows;
};

// The tables and saved queries a statement can name, found without regard
// to case (in every alphabet, as Access does). Table definitions and query
// rows are read once, when first needed.
class Objects {
 public:
  explicit Objects(const Database& database) : database_(database) {}

  enum class Kind { None, Table, Query };
  struct Found {
    Kind kind = Kind::None;
    std::string name;  // as the database spells it
  };
  Found find(std::string_view name);

  // Throws jet::Error as Database::table() does (a linked table, corrupt
  // bytes).
  const TableDef& table(const std::string& name);
  const SavedQuery& query(const std::string& name);

  const Database& database() const { return database_; }

 private:
  void load();

  const Database& database_;
  bool loaded_ = false;
  std::map<std::string, Found> byFoldedName_;
  std::map<std::string, TableDef> tables_;
  std::map<std::string, SavedQuery> queries_;
};

}  // namespace jet::sql
