#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ast.h"
#include "term.h"
#include "translation.h"

namespace jet::sql {

class Schema;

// Turns one parsed statement into SQLite's SQL over the virtual tables and
// views of a Schema. Every name is resolved here, against the tables and
// saved queries and then the parameters, so SQLite meets only names it
// has; every value gets its Access type, which chooses how it is stored,
// converted and compared (see Storage). Throws Error.
class Translator {
 public:
  explicit Translator(Schema& schema) : schema_(schema) {}

  Translation translate(const ast::Statement& statement);

 private:
  // A table, saved query or subquery of a FROM clause.
  struct Source {
    std::string name;   // as the statement names it: the alias, else the table
    std::string alias;  // its SQLite alias (s1, s2, …)
    std::string table;  // a table: its name
    std::string rowid;  // a table: how its rows' ids are read
    std::vector<OutputColumn> columns;
    std::vector<std::string> columnSql;  // how each column is read
    bool used = false;                   // a column of it is in the result
  };

  // The names an expression can see: its query's sources, the select
  // list's aliases, and the enclosing queries' scopes.
  struct Scope {
    Scope* outer = nullptr;
    std::deque<Source> sources;  // stays where it is while more are added
    const std::vector<ast::SelectItem>* items = nullptr;  // aliases, where visible
    std::set<std::string> expanding;                      // aliases being substituted
    bool aggregates = false;         // an aggregate may appear here
    bool insideAggregate = false;
    std::vector<std::string> groupKeys;  // GROUP BY terms' SQLite text
    bool grouped = false;
    bool selecting = false;  // reading the select list: sources used there show in the result
  };

  // A query's result before it becomes SQL: its columns, and the SQL that
  // selects them as c1, c2, … converted to the given types.
  struct QueryResult {
    std::vector<Term> terms;
    std::vector<OutputColumn> columns;
    std::function<std::string(const std::vector<ValueType>&)> sql;
  };

  // A column of a source as it is stored.
  static Term column(const Source& source, std::size_t i);

  // Queries.
  QueryResult query(const ast::Query& query, Scope* outer);
  QueryResult select(const ast::Select& select, const std::vector<ast::OrderItem>& orderBy, Scope* outer);
  QueryResult unionOf(const ast::Query& query, Scope* outer);
  std::string from(const ast::FromItem& item, Scope& scope, bool joined);
  Source& addSource(Scope& scope, std::string name, const Position& position);
  std::string subquerySql(const ast::Query& query, Scope& scope, std::vector<OutputColumn>* columns = nullptr);

  // Expressions.
  Term expression(const ast::Expr& expr, Scope& scope);
  Term expressionOf(const ast::Expr& expr, Scope& scope);
  Term name(const ast::Expr& expr, Scope& scope);
  Term parameter(const std::string& name, const Position& position);
  Term literal(const ast::Expr& expr);
  Term arithmetic(const ast::Expr& expr, Term left, Term right);
  Term logical(const ast::Expr& expr, const Term& left, const Term& right);
  Term comparison(ast::Op op, const Term& left, const Term& right, const Position& position);
  Term call(const ast::Expr& expr, Scope& scope);
  Term aggregate(const std::string& function, const ast::Expr& expr, Scope& scope);
  ValueType comparable(Term& left, Term& right, const Position& position);
  void checkGrouped(const Term& term, const Scope& scope, const Position& position);

  // Statements that change the database.
  Translation change(const ast::Statement& statement);

  Schema& schema_;
  int nextAlias_ = 0;
  // Small tables of joins, read once per statement into SQLite's own
  // storage so it can index them for the join (WITH … AS MATERIALIZED).
  std::vector<std::string> materializations_;
  std::map<std::string, std::string> materialized_;  // table → its WITH name
  std::map<std::string, ParameterUse> declared_;  // by folded name
  std::vector<ParameterUse> parameters_;
};

}  // namespace jet::sql
