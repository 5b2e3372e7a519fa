// Statements: a query, or a statement that changes rows or the database's
// structure, checked and translated so that only carrying it out remains.

#include <algorithm>

#include "jet/sql/error.h"
#include "messages.h"
#include "schema.h"
#include "text_order.h"
#include "translator.h"

namespace jet::sql {

using namespace ast;

namespace {

long columnIndex(const TableDef& def, const std::string& name) {
  const std::string folded = foldText(name);
  for (std::size_t i = 0; i < def.columns.size(); ++i)
    if (foldText(def.columns[i].name) == folded) return static_cast<long>(i);
  return -1;
}

}  // namespace

Translation Translator::translate(const ast::Statement& statement) {
  declared_.clear();
  parameters_.clear();
  materializations_.clear();
  materialized_.clear();
  for (const ParameterDeclaration& p : statement.parameters) {
    const std::string folded = foldText(p.name);
    if (declared_.count(folded))
      throw Error(ErrorKind::InvalidQuery, "The parameter " + quote(p.name) + " is declared twice" + at(p.position));
    declared_[folded] = {p.name, p.type, true, p.position, {}};
  }
  Translation out;
  out.kind = statement.kind;
  if (statement.kind == ast::Statement::Kind::Select) {
    QueryResult result = query(*statement.query, nullptr);
    std::vector<ValueType> types;
    for (const OutputColumn& c : result.columns) types.push_back(c.type);
    out.sql = result.sql(types);
    out.columns = std::move(result.columns);
  } else {
    out = change(statement);
  }
  // A declared parameter needs a value even where the statement doesn't use it.
  for (const ParameterDeclaration& p : statement.parameters)
    if (std::none_of(parameters_.begin(), parameters_.end(),
                     [&](const ParameterUse& u) { return foldText(u.name) == foldText(p.name); }))
      parameters_.push_back(declared_[foldText(p.name)]);
  out.parameters = parameters_;
  if (!materializations_.empty() && !out.sql.empty()) {
    std::string with;
    for (const std::string& m : materializations_) with += (with.empty() ? "WITH " : ", ") + m;
    out.sql = with + " " + out.sql;
  }
  return out;
}

Translation Translator::change(const ast::Statement& s) {
  Translation out;
  out.kind = s.kind;
  Objects& objects = schema_.objects();

  // The table a statement changes or removes: one that exists.
  const auto existingTable = [&](const std::string& name, const Position& position) -> std::string {
    const Objects::Found found = objects.find(name);
    if (found.kind == Objects::Kind::None)
      throw Error(ErrorKind::UnknownTable, "No table or query named " + quote(name) + at(position));
    if (found.kind == Objects::Kind::Query)
      throw Error(ErrorKind::InvalidQuery, quote(found.name) +
                                               " is a saved query; the built-in engine changes the rows of tables only" +
                                               at(position));
    return found.name;
  };
  const auto newTable = [&](const std::string& name, const Position& position) {
    if (objects.find(name).kind != Objects::Kind::None)
      throw Error(ErrorKind::InvalidQuery, "A table or query named " + quote(name) + " already exists" + at(position));
  };
  const auto column = [&](const TableDef& def, const std::string& name, const Position& position) {
    const long i = columnIndex(def, name);
    if (i < 0)
      throw Error(ErrorKind::UnknownColumn, "Unknown column " + quote(name) + ": " + quote(def.name) +
                                                " has no column of that name" + at(position));
    return static_cast<std::size_t>(i);
  };
  const auto noAggregate = [](const Term& t, const Position& position) {
    if (t.aggregate)
      throw Error(ErrorKind::InvalidQuery, "An aggregate function can't be used here" + at(position));
  };

  switch (s.kind) {
    case ast::Statement::Kind::InsertValues:
    case ast::Statement::Kind::InsertSelect: {
      const std::string table = existingTable(s.table, s.tablePosition);
      const TableDef& def = objects.table(table);
      std::vector<std::size_t> targets;
      if (s.columns.empty()) {
        for (std::size_t i = 0; i < def.columns.size(); ++i) targets.push_back(i);
      } else {
        for (const IndexColumn& c : s.columns) targets.push_back(column(def, c.name, c.position));
      }
      std::string names;
      std::vector<ValueType> types;
      for (std::size_t i : targets) {
        names += (names.empty() ? "" : ", ") + sqlName(def.columns[i].name);
        types.push_back(typeOf(def.columns[i]));
      }
      const std::string target = "INSERT INTO " + schema_.table(table) + " (" + names + ") ";
      if (s.kind == ast::Statement::Kind::InsertValues) {
        if (s.values.size() != targets.size())
          throw Error(ErrorKind::InvalidQuery, "INSERT INTO names " + std::to_string(targets.size()) +
                                                   " columns but gives " + std::to_string(s.values.size()) + " values" +
                                                   at(s.position));
        Scope scope;
        std::string values;
        for (std::size_t i = 0; i < s.values.size(); ++i) {
          const Term t = expression(*s.values[i], scope);
          noAggregate(t, s.values[i]->position);
          values += (i ? ", " : "") + convert(t, types[i]);
        }
        out.sql = target + "VALUES (" + values + ")";
      } else {
        QueryResult result = query(*s.query, nullptr);
        if (result.columns.size() != targets.size())
          throw Error(ErrorKind::InvalidQuery, "INSERT INTO names " + std::to_string(targets.size()) +
                                                   " columns but its query selects " +
                                                   std::to_string(result.columns.size()) + at(s.query->position));
        out.sql = target + "SELECT * FROM (" + result.sql(types) + ")";
      }
      return out;
    }
    case ast::Statement::Kind::Update: {
      Scope scope;
      const std::string fromSql = from(*s.target, scope, s.target->kind == FromItem::Kind::Join);
      const Source* changed = nullptr;
      std::string sets, values;
      std::vector<std::string> assigned;
      for (std::size_t i = 0; i < s.assignments.size(); ++i) {
        const Assignment& a = s.assignments[i];
        const Term target = name(*a.target, scope);
        if (target.origin.empty() || target.definition == nullptr)
          throw Error(ErrorKind::UnknownColumn, "Unknown column " + quote(a.target->parts.back()) +
                                                    " in the tables of the UPDATE" + at(a.target->position));
        const auto source = std::find_if(scope.sources.begin(), scope.sources.end(),
                                         [&](const Source& x) { return x.name == target.sourceName; });
        if (source == scope.sources.end() || source->table.empty())
          throw Error(ErrorKind::InvalidQuery, "UPDATE can change the columns of tables only" + at(a.target->position));
        if (changed && changed != &*source)
          throw Error(ErrorKind::InvalidQuery,
                      "An UPDATE changes the columns of one table at a time" + at(a.target->position));
        changed = &*source;
        const Term value = expression(*a.value, scope);
        noAggregate(value, a.value->position);
        const std::string v = convert(value, target.type);
        assigned.push_back(sqlName(target.definition->name));
        values += (i ? ", " : "") + v + " AS v" + std::to_string(i + 1);
        sets += (i ? ", " : "") + assigned.back() + " = _j.v" + std::to_string(i + 1);
      }
      std::string where;
      if (s.where) {
        const Term w = expression(*s.where, scope);
        noAggregate(w, s.where->position);
        where = " WHERE " + conditionOf(w);
      }
      // The rows to change, found by their row ids through the joins.
      out.sql = "UPDATE " + schema_.table(changed->table) + " AS _t SET " + sets + " FROM (SELECT " + changed->rowid +
                " AS _rowid, " + values + " FROM " + fromSql + where + ") AS _j WHERE _t.rowid = _j._rowid";
      return out;
    }
    case ast::Statement::Kind::Delete: {
      Scope scope;
      std::string fromSql;
      const bool joined = s.from.size() > 1 || s.from.front().kind == FromItem::Kind::Join;
      for (const FromItem& item : s.from) fromSql += (fromSql.empty() ? "" : ", ") + from(item, scope, joined);
      const Source* changed = nullptr;
      if (!s.deleteTable.empty()) {
        for (const Source& source : scope.sources)
          if (foldText(source.name) == foldText(s.deleteTable)) changed = &source;
        if (!changed)
          throw Error(ErrorKind::UnknownTable,
                      quote(s.deleteTable) + " is not a table of the FROM clause" + at(s.position));
      } else if (scope.sources.size() == 1) {
        changed = &scope.sources.front();
      } else {
        throw Error(ErrorKind::InvalidQuery,
                    "A DELETE over several tables must say which one loses rows: DELETE Table.* FROM …" + at(s.position));
      }
      if (changed->table.empty())
        throw Error(ErrorKind::InvalidQuery, "DELETE can remove the rows of tables only" + at(s.position));
      std::string where;
      if (s.where) {
        const Term w = expression(*s.where, scope);
        noAggregate(w, s.where->position);
        where = " WHERE " + conditionOf(w);
      }
      out.sql = "DELETE FROM " + schema_.table(changed->table) + " WHERE rowid IN (SELECT " + changed->rowid +
                " FROM " + fromSql + where + ")";
      return out;
    }
    case ast::Statement::Kind::SelectInto: {
      const Select& first = *s.query->select;
      newTable(first.into, first.intoPosition);
      QueryResult result = query(*s.query, nullptr);
      std::vector<ValueType> types;
      for (const OutputColumn& c : result.columns) types.push_back(c.type);
      out.sql = result.sql(types);
      out.columns = std::move(result.columns);
      return out;
    }
    case ast::Statement::Kind::CreateTable: {
      newTable(s.table, s.tablePosition);
      std::vector<std::string> seen;
      int counters = 0;
      for (const ColumnDefinition& d : s.definitions) {
        const std::string folded = foldText(d.name);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end())
          throw Error(ErrorKind::InvalidQuery, "The column " + quote(d.name) + " is defined twice" + at(d.position));
        seen.push_back(folded);
        if (d.autoNumber && ++counters > 1)
          throw Error(ErrorKind::InvalidQuery, "A table can have one AutoNumber column only" + at(d.position));
      }
      return out;
    }
    case ast::Statement::Kind::CreateIndex: {
      const TableDef& def = objects.table(existingTable(s.table, s.tablePosition));
      for (const Index& index : def.indexes)
        if (foldText(index.name) == foldText(s.index))
          throw Error(ErrorKind::InvalidQuery, "The table " + quote(def.name) + " already has an index named " +
                                                   quote(s.index) + at(s.tablePosition));
      for (const IndexColumn& c : s.columns) column(def, c.name, c.position);
      return out;
    }
    case ast::Statement::Kind::DropTable: existingTable(s.table, s.tablePosition); return out;
    case ast::Statement::Kind::DropIndex: {
      const TableDef& def = objects.table(existingTable(s.table, s.tablePosition));
      if (std::none_of(def.indexes.begin(), def.indexes.end(),
                       [&](const Index& index) { return foldText(index.name) == foldText(s.index); }))
        throw Error(ErrorKind::InvalidQuery,
                    "The table " + quote(def.name) + " has no index named " + quote(s.index) + at(s.tablePosition));
      return out;
    }
    case ast::Statement::Kind::AlterAddColumn: {
      const TableDef& def = objects.table(existingTable(s.table, s.tablePosition));
      const ColumnDefinition& d = s.definitions.front();
      if (columnIndex(def, d.name) >= 0)
        throw Error(ErrorKind::InvalidQuery,
                    "The table " + quote(def.name) + " already has a column named " + quote(d.name) + at(d.position));
      return out;
    }
    case ast::Statement::Kind::AlterDropColumn: {
      const TableDef& def = objects.table(existingTable(s.table, s.tablePosition));
      column(def, s.columns.front().name, s.columns.front().position);
      return out;
    }
    case ast::Statement::Kind::Select: break;
  }
  return out;
}

}  // namespace jet::sql
