// Queries: FROM clauses, SELECT lists, grouping, TOP, DISTINCTROW and
// UNION, each turned into a SQLite SELECT whose columns are c1, c2, ….

#include <algorithm>
#include <memory>

#include "jet/sql/error.h"
#include "messages.h"
#include "schema.h"
#include "text_order.h"
#include "translator.h"

namespace jet::sql {

using namespace ast;

namespace {

std::string columnAlias(std::size_t i) { return "c" + std::to_string(i + 1); }

// The most rows a table of a join may have to be read into SQLite's
// storage for the statement (see Translator::from).
constexpr std::uint32_t kMaterializedRows = 100000;

// A result column that isn't a table's column as stored.
Column computedColumn(const ValueType& type) {
  Column c;
  c.type = columnTypeOf(type.kind);
  if (type.kind == Kind::Text || type.kind == Kind::Null || type.kind == Kind::Variant)
    c.size = type.size > 0 ? type.size : 255;
  if (type.kind == Kind::Binary) c.size = type.size > 0 ? type.size : 255;
  if (type.kind == Kind::Decimal) {
    c.precision = type.precision;
    c.scale = type.scale;
  }
  return c;
}

// The type two values of one column of a UNION share.
ValueType unionType(const ValueType& a, const ValueType& b) {
  if (a.kind == Kind::Null) return b;
  if (b.kind == Kind::Null) return a;
  if (a.kind == b.kind) {
    ValueType t = a;
    t.size = std::max(a.size, b.size);
    t.precision = std::max(a.precision, b.precision);
    t.scale = std::max(a.scale, b.scale);
    return t;
  }
  if (isText(a.kind) && isText(b.kind)) return {Kind::Memo};
  if (isNumeric(a.kind) && isNumeric(b.kind)) {
    const auto integer = [](Kind k) { return k == Kind::Boolean || k == Kind::Byte || k == Kind::Integer || k == Kind::Long; };
    if (integer(a.kind) && integer(b.kind)) return {Kind::Long};
    if (a.kind == Kind::Decimal || b.kind == Kind::Decimal) return {Kind::Decimal, 0, 28, std::max(a.scale, b.scale)};
    if ((a.kind == Kind::Currency && integer(b.kind)) || (b.kind == Kind::Currency && integer(a.kind)))
      return {Kind::Currency};
    return {Kind::Double};
  }
  if (isBinary(a.kind) && isBinary(b.kind)) return {Kind::OLE};
  return {Kind::Text, 255};
}

}  // namespace

Translator::Source& Translator::addSource(Scope& scope, std::string name, const Position& position) {
  const std::string folded = foldText(name);
  for (const Source& s : scope.sources)
    if (foldText(s.name) == folded)
      throw Error(ErrorKind::InvalidQuery, "The FROM clause names " + quote(name) +
                                               " twice; give one of them another name with AS" + at(position));
  Source& source = scope.sources.emplace_back();
  source.name = std::move(name);
  source.alias = "s" + std::to_string(++nextAlias_);
  return source;
}

std::string Translator::from(const FromItem& item, Scope& scope, bool joined) {
  switch (item.kind) {
    case FromItem::Kind::Join: {
      const std::string left = from(*item.left, scope, true);
      const std::string right = from(*item.right, scope, true);
      Term on = expression(*item.on, scope);
      if (on.aggregate)
        throw Error(ErrorKind::InvalidQuery, "A join condition can't hold an aggregate function" + at(item.position));
      static const char* kJoins[] = {" INNER JOIN ", " LEFT JOIN ", " RIGHT JOIN "};
      return "(" + left + kJoins[static_cast<int>(item.join)] + right + " ON " + conditionOf(on) + ")";
    }
    case FromItem::Kind::Subquery: {
      QueryResult result = query(*item.query, nullptr);
      Source& source = addSource(scope, item.alias.empty() ? "Query" + std::to_string(nextAlias_ + 1) : item.alias,
                                 item.position);
      std::vector<ValueType> types;
      for (std::size_t i = 0; i < result.columns.size(); ++i) {
        types.push_back(result.columns[i].type);
        source.columns.push_back(result.columns[i]);
        source.columnSql.push_back(source.alias + "." + columnAlias(i));
      }
      return "(" + result.sql(types) + ") AS " + source.alias;
    }
    case FromItem::Kind::Table: break;
  }
  if (!item.database.empty())
    throw Error(ErrorKind::Unsupported, "The table " + quote(item.name) + " is in another database (" + item.database +
                                            "), which the built-in engine can't open" + at(item.position));
  const Objects::Found found = schema_.objects().find(item.name);
  if (found.kind == Objects::Kind::None)
    throw Error(ErrorKind::UnknownTable, "No table or query named " + quote(item.name) + at(item.position));
  if (found.kind == Objects::Kind::Query) {
    const Schema::View& view = schema_.view(found.name);
    Source& source = addSource(scope, item.alias.empty() ? found.name : item.alias, item.position);
    for (std::size_t i = 0; i < view.columns.size(); ++i) {
      source.columns.push_back(view.columns[i]);
      source.columnSql.push_back(source.alias + "." + columnAlias(i));
    }
    for (const ParameterUse& p : view.parameters) {
      if (std::none_of(parameters_.begin(), parameters_.end(),
                       [&](const ParameterUse& q) { return foldText(q.name) == foldText(p.name); }))
        parameters_.push_back(p);
    }
    return view.sqlName + " AS " + source.alias;
  }
  std::string sqlName = schema_.table(found.name);
  const TableDef& def = schema_.objects().table(found.name);
  Source& source = addSource(scope, item.alias.empty() ? found.name : item.alias, item.position);
  source.table = found.name;
  source.rowid = source.alias + ".rowid";
  // A join scans its inner tables once per row of the outer one; a small
  // table is read once instead, into storage SQLite indexes for the join.
  // Until the engine's index cursors reach xBestIndex this is what keeps
  // joins from growing with the product of their tables.
  if (joined && def.rowCount <= kMaterializedRows) {
    auto it = materialized_.find(found.name);
    if (it == materialized_.end()) {
      const std::string name = "m" + std::to_string(materialized_.size() + 1);
      materializations_.push_back(name + " AS MATERIALIZED (SELECT rowid AS \"jet:rowid\", * FROM " + sqlName + ")");
      it = materialized_.emplace(found.name, name).first;
    }
    sqlName = it->second;
    source.rowid = source.alias + ".\"jet:rowid\"";
  }
  for (const Column& c : def.columns) {
    OutputColumn column;
    column.name = c.name;
    column.type = typeOf(c);
    column.definition = c;
    column.origin = {found.name, c.name};
    source.columns.push_back(std::move(column));
    source.columnSql.push_back(source.alias + "." + jet::sql::sqlName(c.name));
  }
  return sqlName + " AS " + source.alias;
}

Translator::QueryResult Translator::query(const Query& q, Scope* outer) {
  if (q.select) return select(*q.select, q.orderBy, outer);
  return unionOf(q, outer);
}

std::string Translator::subquerySql(const Query& q, Scope& scope, std::vector<OutputColumn>* columns) {
  QueryResult result = query(q, &scope);
  std::vector<ValueType> types;
  for (const OutputColumn& c : result.columns) types.push_back(c.type);
  if (columns) *columns = result.columns;
  return result.sql(types);
}

Translator::QueryResult Translator::select(const Select& s, const std::vector<OrderItem>& orderBy, Scope* outer) {
  auto scope = std::make_shared<Scope>();
  scope->outer = outer;

  std::string fromSql;
  const bool joined = s.from.size() > 1 || (!s.from.empty() && s.from.front().kind == FromItem::Kind::Join);
  for (const FromItem& item : s.from) fromSql += (fromSql.empty() ? "" : ", ") + from(item, *scope, joined);

  std::vector<Term> groupTerms;
  for (const ExprPtr& g : s.groupBy) {
    Term t = expression(*g, *scope);
    if (t.aggregate)
      throw Error(ErrorKind::InvalidQuery, "GROUP BY can't hold an aggregate function" + at(g->position));
    scope->groupKeys.push_back(t.sql);
    groupTerms.push_back(std::move(t));
  }
  scope->grouped = !s.groupBy.empty();

  // The select list, * expanded to the columns of every table.
  scope->items = &s.items;
  scope->aggregates = true;
  scope->selecting = true;
  std::vector<Term> terms;
  std::vector<std::string> aliases;
  std::vector<Position> positions;
  for (const SelectItem& item : s.items) {
    if (!item.isStar) {
      terms.push_back(expression(*item.expr, *scope));
      aliases.push_back(item.alias);
      positions.push_back(item.position);
      continue;
    }
    bool matched = false;
    for (Source& source : scope->sources) {
      if (!item.star.empty() && foldText(source.name) != foldText(item.star.back())) continue;
      matched = true;
      source.used = true;
      for (std::size_t i = 0; i < source.columns.size(); ++i) {
        Term t = column(source, i);
        t.freeColumns.push_back(t.sql);
        terms.push_back(std::move(t));
        aliases.emplace_back();
        positions.push_back(item.position);
      }
    }
    if (!matched) {
      if (item.star.empty()) throw Error(ErrorKind::InvalidQuery, "SELECT * needs a FROM clause" + at(item.position));
      throw Error(ErrorKind::UnknownTable,
                  quote(item.star.back()) + " is not a table of the FROM clause" + at(item.position));
    }
  }
  if (terms.empty()) throw Error(ErrorKind::InvalidQuery, "The query selects no columns" + at(s.position));

  scope->selecting = false;
  scope->aggregates = false;
  Term where;
  if (s.where) {
    where = expression(*s.where, *scope);
    if (where.aggregate)
      throw Error(ErrorKind::InvalidQuery,
                  "WHERE can't hold an aggregate function; use HAVING" + at(s.where->position));
  }
  scope->aggregates = true;
  Term having;
  if (s.having) having = expression(*s.having, *scope);

  std::vector<Term> orderTerms;
  for (const OrderItem& o : orderBy) orderTerms.push_back(expression(*o.expr, *scope));

  const bool aggregated = scope->grouped || having.aggregate ||
                          std::any_of(terms.begin(), terms.end(), [](const Term& t) { return t.aggregate; });
  if (aggregated) {
    for (std::size_t i = 0; i < terms.size(); ++i) checkGrouped(terms[i], *scope, positions[i]);
    if (s.having) checkGrouped(having, *scope, s.having->position);
    for (std::size_t i = 0; i < orderTerms.size(); ++i) checkGrouped(orderTerms[i], *scope, orderBy[i].expr->position);
  }
  if (s.distinct) {
    for (std::size_t i = 0; i < orderTerms.size(); ++i)
      if (std::none_of(terms.begin(), terms.end(), [&](const Term& t) { return t.sql == orderTerms[i].sql; }))
        throw Error(ErrorKind::InvalidQuery,
                    "A SELECT DISTINCT query can be ordered only by the columns it selects" +
                        at(orderBy[i].expr->position));
  }

  // Names as Access gives them: the alias, the column's name (with its
  // table's where two columns share it), else Expr1000, Expr1001, ….
  QueryResult result;
  const bool writable = !aggregated && !s.distinct;
  int unnamed = 0;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    OutputColumn column;
    const Term& t = terms[i];
    if (!aliases[i].empty()) {
      column.name = aliases[i];
    } else if (!t.columnName.empty()) {
      column.name = t.columnName;
      const std::string folded = foldText(t.columnName);
      int same = 0;
      for (std::size_t j = 0; j < terms.size(); ++j)
        if (aliases[j].empty() && foldText(terms[j].columnName) == folded) ++same;
      if (same > 1) column.name = t.sourceName + "." + t.columnName;
    } else {
      column.name = "Expr" + std::to_string(1000 + unnamed++);
    }
    column.type = t.type;
    column.definition = t.definition ? *t.definition : computedColumn(t.type);
    column.definition.name = column.name;
    if (writable) column.origin = t.origin;
    result.columns.push_back(std::move(column));
  }
  result.terms = terms;

  // DISTINCTROW: rows that differ in a table the result doesn't show count
  // once, as whole rows of the tables it does show.
  std::vector<std::string> rowKeys;
  if (s.distinctRow && !aggregated && !s.distinct &&
      std::any_of(scope->sources.begin(), scope->sources.end(), [](const Source& x) { return !x.used; })) {
    for (const Source& source : scope->sources) {
      if (!source.used) continue;
      if (!source.table.empty()) {
        rowKeys.push_back(source.rowid);
      } else {
        rowKeys.insert(rowKeys.end(), source.columnSql.begin(), source.columnSql.end());
      }
    }
  }

  std::string top;
  bool percent = false;
  if (s.top) {
    if (s.top->count.size() > 9 || std::stoll(s.top->count) <= 0)
      throw Error(ErrorKind::InvalidQuery, "TOP needs a number of rows above 0" + at(s.top->position));
    top = s.top->count;
    percent = s.top->percent;
    if (percent && std::stoll(top) > 100)
      throw Error(ErrorKind::InvalidQuery, "TOP … PERCENT can't exceed 100" + at(s.top->position));
  }

  std::vector<std::string> orderKeys;
  std::vector<bool> descending;
  for (std::size_t i = 0; i < orderTerms.size(); ++i) {
    descending.push_back(orderBy[i].descending);
    orderKeys.push_back(collated(valueOf(orderTerms[i]), orderTerms[i].type) + (descending[i] ? " DESC" : ""));
  }

  result.sql = [=, groupTerms = std::move(groupTerms), where = std::move(where), having = std::move(having),
                orderTerms = std::move(orderTerms), distinct = s.distinct, grouped = scope->grouped,
                keep = scope](const std::vector<ValueType>& types) {
    std::string items;
    for (std::size_t i = 0; i < terms.size(); ++i) {
      if (i) items += ", ";
      items += collated(convert(terms[i], types[i]), types[i]) + " AS " + columnAlias(i);
    }
    // With TOP and an ORDER BY the keys travel as extra columns o1, o2, …
    // so the rows can be ranked after DISTINCT and grouping.
    std::vector<std::string> keys = orderKeys;
    if (!top.empty() && !orderTerms.empty()) {
      keys.clear();
      for (std::size_t i = 0; i < orderTerms.size(); ++i) {
        std::string key;
        if (distinct) {
          const auto at = std::find_if(terms.begin(), terms.end(), [&](const Term& t) { return t.sql == orderTerms[i].sql; });
          key = columnAlias(static_cast<std::size_t>(at - terms.begin()));
        } else {
          key = "o" + std::to_string(i + 1);
          items += ", " + collated(valueOf(orderTerms[i]), orderTerms[i].type) + " AS " + key;
        }
        keys.push_back(key + (descending[i] ? " DESC" : ""));
      }
    }
    std::string sql = "SELECT " + std::string(distinct ? "DISTINCT " : "") + items;
    if (!fromSql.empty()) sql += " FROM " + fromSql;
    if (!where.sql.empty()) sql += " WHERE " + conditionOf(where);
    if (grouped) {
      sql += " GROUP BY ";
      for (std::size_t i = 0; i < groupTerms.size(); ++i)
        sql += (i ? ", " : "") + collated(valueOf(groupTerms[i]), groupTerms[i].type);
    } else if (!rowKeys.empty()) {
      sql += " GROUP BY ";
      for (std::size_t i = 0; i < rowKeys.size(); ++i) sql += (i ? ", " : "") + rowKeys[i];
    }
    if (!having.sql.empty()) sql += " HAVING " + conditionOf(having);
    std::string order;
    for (std::size_t i = 0; i < keys.size(); ++i) order += (i ? ", " : "") + keys[i];
    if (top.empty()) return order.empty() ? sql : sql + " ORDER BY " + order;

    std::string outer;
    for (std::size_t i = 0; i < terms.size(); ++i) outer += (i ? ", " : "") + columnAlias(i);
    // TOP keeps the rows that tie with the last one, as Access does.
    const std::string ranking = order.empty() ? "row_number() OVER ()" : "rank() OVER (ORDER BY " + order + ")";
    const std::string limit = percent ? "(_total * " + top + " + 99) / 100" : top;
    return "SELECT " + outer + " FROM (SELECT *, " + ranking + " AS _rank, count(*) OVER () AS _total FROM (" + sql +
           ")) WHERE _rank <= " + limit + (order.empty() ? "" : " ORDER BY " + order);
  };
  return result;
}

Translator::QueryResult Translator::unionOf(const Query& q, Scope* outer) {
  std::vector<QueryResult> parts;
  for (const QueryPtr& part : q.parts) parts.push_back(query(*part, outer));
  const std::size_t width = parts.front().columns.size();
  for (std::size_t i = 1; i < parts.size(); ++i)
    if (parts[i].columns.size() != width)
      throw Error(ErrorKind::InvalidQuery,
                  "The queries of a UNION select different numbers of columns (" + std::to_string(width) + " and " +
                      std::to_string(parts[i].columns.size()) + ")" + at(q.parts[i]->position));
  QueryResult result;
  result.columns = parts.front().columns;
  for (std::size_t c = 0; c < width; ++c) {
    ValueType type = parts.front().columns[c].type;
    for (std::size_t i = 1; i < parts.size(); ++i) type = unionType(type, parts[i].columns[c].type);
    OutputColumn& column = result.columns[c];
    if (!(column.type == type)) {
      column.type = type;
      column.definition = computedColumn(type);
      column.definition.name = column.name;
    }
    column.origin = {};
  }
  std::vector<std::string> keys;
  for (const OrderItem& o : q.orderBy) {
    std::size_t index = width;
    if (o.expr->kind == ExprKind::Integer && o.expr->text.size() < 6) {
      index = std::stoul(o.expr->text) - 1;
    } else if (o.expr->kind == ExprKind::Name) {
      const std::string wanted = foldText(o.expr->parts.back());
      for (std::size_t c = 0; c < width && index == width; ++c) {
        const std::string& n = result.columns[c].name;
        const auto dot = n.rfind('.');
        if (foldText(n) == wanted || foldText(n.substr(dot == std::string::npos ? 0 : dot + 1)) == wanted) index = c;
      }
    }
    if (index >= width)
      throw Error(ErrorKind::InvalidQuery,
                  "A UNION query can be ordered only by its columns, named as the first query names them" +
                      at(o.expr->position));
    keys.push_back(collated(columnAlias(index), result.columns[index].type) + (o.descending ? " DESC" : ""));
  }
  result.sql = [parts = std::move(parts), all = q.all, keys](const std::vector<ValueType>& types) {
    std::string sql;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (i) sql += all[i - 1] ? " UNION ALL " : " UNION ";
      sql += "SELECT * FROM (" + parts[i].sql(types) + ")";
    }
    if (keys.empty()) return sql;
    std::string order;
    for (std::size_t i = 0; i < keys.size(); ++i) order += (i ? ", " : "") + keys[i];
    return "SELECT * FROM (" + sql + ") ORDER BY " + order;
  };
  return result;
}

void Translator::checkGrouped(const Term& term, const Scope& scope, const Position& position) {
  for (const std::string& column : term.freeColumns)
    if (std::find(scope.groupKeys.begin(), scope.groupKeys.end(), column) == scope.groupKeys.end())
      throw Error(ErrorKind::InvalidQuery, "The query groups its rows, so " +
                                               (term.columnName.empty() ? std::string("an expression") : quote(term.columnName)) +
                                               " must be in GROUP BY or inside an aggregate function" + at(position));
}

}  // namespace jet::sql
