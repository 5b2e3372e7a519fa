#include "schema.h"

#include "jet/sql/error.h"
#include "messages.h"
#include "parser.h"
#include "saved_query.h"
#include "sqlite_error.h"
#include "term.h"
#include "translator.h"

namespace jet::sql {

void Schema::run(const std::string& sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message);
  sqlite3_free(message);
  if (rc != SQLITE_OK) raise(context_, db_, rc, "setting up a table or query for");
}

std::string Schema::table(const std::string& name) {
  auto it = tables_.find(name);
  if (it != tables_.end()) return it->second;
  const std::string sql = sqlName("T:" + name);
  run("CREATE VIRTUAL TABLE " + sql + " USING jet(" + sqlName(name) + ")");
  tables_[name] = sql;
  return sql;
}

const Schema::View& Schema::view(const std::string& name) {
  auto it = views_.find(name);
  if (it != views_.end()) return it->second;
  if (!building_.insert(name).second)
    throw Error(ErrorKind::InvalidQuery, "The saved query " + quote(name) + " uses itself");
  struct Done {
    std::set<std::string>& set;
    const std::string& name;
    ~Done() { set.erase(name); }
  } done{building_, name};

  const std::string sql = savedQuerySql(objects().query(name));  // names the query itself when it can't
  View view;
  try {
    const ast::Statement statement = parse(sql);
    if (statement.kind != ast::Statement::Kind::Select)
      throw Error(ErrorKind::InvalidQuery, "it is no select query");
    Translator translator(*this);
    Translation translation = translator.translate(statement);
    view.sqlName = sqlName("Q:" + name);
    view.columns = std::move(translation.columns);
    view.parameters = std::move(translation.parameters);
    for (ParameterUse& p : view.parameters)
      if (p.query.empty()) p.query = name;
    run("CREATE VIEW " + view.sqlName + " AS " + translation.sql);
  } catch (const Error& e) {
    throw Error(e.kind(), "In the saved query " + quote(name) + ": " + e.what());
  }
  return views_.emplace(name, std::move(view)).first->second;
}

}  // namespace jet::sql
