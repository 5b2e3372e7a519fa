#include "schema_plan.h"

#include <algorithm>
#include <set>

#include "column_types.h"
#include "default_value.h"
#include "jet/error.h"

namespace tabrix::cli {
namespace {

std::string folded(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : ", ") + p;
  return out;
}

std::vector<int> positions(const jet::Index& index) {
  std::vector<int> out;
  for (const jet::IndexColumn& c : index.columns) out.push_back(c.column);
  return out;
}

const jet::Index* primaryKey(const jet::TableDef& def) {
  for (const jet::Index& i : def.indexes)
    if (i.primaryKey) return &i;
  return nullptr;
}

// A column's position by its name, as relationships spell it; -1 when the
// table has none.
int columnNamed(const jet::TableDef& def, const std::string& name) {
  for (std::size_t i = 0; i < def.columns.size(); ++i)
    if (folded(def.columns[i].name) == folded(name)) return static_cast<int>(i);
  return -1;
}

class Planner {
 public:
  Planner(const jet::Database& db, const PlanOptions& options)
      : db_(db), options_(options), relations_(maxNameBytes(options.dialect)) {
    plan_.dialect = options.dialect;
  }

  SchemaPlan run() {
    if (postgres() && !options_.schema.empty())
      plan_.prelude.push_back("CREATE SCHEMA IF NOT EXISTS " + quoteName(options_.schema));
    for (jet::TableDef& def : chosenTables()) addTable(std::move(def));
    tableClauses_.resize(plan_.tables.size());
    for (std::size_t t = 0; t < plan_.tables.size(); ++t) planKeys(t);
    for (const jet::Relationship& r : db_.relationships()) addRelationship(r);
    for (std::size_t t = 0; t < plan_.tables.size(); ++t) writeCreate(t);
    return std::move(plan_);
  }

 private:
  bool postgres() const { return options_.dialect == Dialect::Postgres; }

  std::string qualified(const std::string& bare) const {
    return postgres() && !options_.schema.empty() ? quoteName(options_.schema) + "." + quoteName(bare)
                                                  : quoteName(bare);
  }

  std::vector<jet::TableDef> chosenTables() {
    std::vector<jet::TableDef> chosen;
    std::set<std::string> seen;
    if (!options_.tables.empty()) {
      for (const std::string& name : options_.tables) {
        jet::TableDef def = db_.table(name);
        if (seen.insert(folded(def.name)).second) chosen.push_back(std::move(def));
      }
      return chosen;
    }
    for (const jet::CatalogueEntry& entry : db_.catalogue()) {
      if (entry.kind != jet::ObjectKind::Table) continue;
      try {
        chosen.push_back(db_.table(entry.name));
      } catch (const jet::Error& e) {
        if (e.kind() != jet::ErrorKind::Unsupported) throw;
        plan_.notes.push_back("left out table " + entry.name + ": " + e.what());
      }
    }
    return chosen;
  }

  // A name in the scope; `what` says what it names, for the note when the
  // target can't take it as it is.
  std::string claim(NameScope& scope, const std::string& wanted, const std::string& what) {
    std::string name = scope.claim(wanted);
    if (name != wanted) plan_.notes.push_back("renamed " + what + " to " + name + " in the target");
    return name;
  }

  void addTable(jet::TableDef def) {
    TablePlan t;
    t.name = qualified(claim(relations_, def.name, "table " + def.name));
    NameScope columns(maxNameBytes(options_.dialect));
    for (const jet::Column& c : def.columns)
      t.columns.push_back(quoteName(claim(columns, c.name, "column " + def.name + "." + c.name)));
    t.source = std::move(def);
    plan_.tables.push_back(std::move(t));
  }

  std::string columnList(const TablePlan& t, const std::vector<int>& positions) const {
    std::vector<std::string> names;
    for (int p : positions) names.push_back(t.columns[static_cast<std::size_t>(p)]);
    return joined(names);
  }

  // The primary key and the indexes; what SQLite can only declare with the
  // table is kept for its CREATE TABLE.
  void planKeys(std::size_t at) {
    TablePlan& t = plan_.tables[at];
    const jet::TableDef& def = t.source;
    std::vector<std::vector<int>> built;
    if (const jet::Index* pk = primaryKey(def)) {
      built.push_back(positions(*pk));
      const std::string clause = "CONSTRAINT " + quoteName(claim(relations_, def.name + "_" + pk->name, "key " + pk->name + " of " + def.name)) +
                                 " PRIMARY KEY (" + columnList(t, positions(*pk)) + ")";
      if (postgres())
        t.indexes.push_back("ALTER TABLE " + t.name + " ADD " + clause);
      else if (!sqliteRowIdKey(def))
        tableClauses_[at].push_back(clause);
    }
    for (const jet::Index& index : def.indexes)
      if (!index.primaryKey && !index.foreignKey) built.push_back(positions(index));
    for (const jet::Index& index : def.indexes) {
      if (index.primaryKey) continue;
      // A relationship's own index is worth keeping for the foreign key's
      // checks and cascades, unless another index already covers it.
      if (index.foreignKey) {
        if (std::find(built.begin(), built.end(), positions(index)) != built.end()) continue;
        built.push_back(positions(index));
      }
      std::vector<std::string> columns;
      std::vector<std::string> nulls;
      for (const jet::IndexColumn& c : index.columns) {
        const std::string& name = t.columns[static_cast<std::size_t>(c.column)];
        columns.push_back(name + (c.ascending ? "" : " DESC"));
        nulls.push_back(name + " IS NOT NULL");
      }
      std::string statement = std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " +
                              quoteName(claim(relations_, def.name + "_" + index.name, "index " + index.name + " of " + def.name)) + " ON " + t.name +
                              " (" + joined(columns) + ")";
      // Access leaves out of such an index the rows whose columns are all
      // null. A unique index never counts nulls as equal, so it stays whole
      // and can back a foreign key.
      if (index.ignoreNulls && !index.unique) {
        std::string where;
        for (const std::string& n : nulls) where += (where.empty() ? "" : " OR ") + n;
        statement += " WHERE " + where;
      }
      t.indexes.push_back(std::move(statement));
    }
  }

  // SQLite numbers a table's rows by itself only through a single integer
  // primary key column.
  static const jet::Column* sqliteRowIdKey(const jet::TableDef& def) {
    const jet::Index* pk = primaryKey(def);
    if (!pk || pk->columns.size() != 1) return nullptr;
    const jet::Column& c = def.columns[static_cast<std::size_t>(pk->columns[0].column)];
    return c.autoNumber && c.type == jet::ColumnType::Long ? &c : nullptr;
  }

  TablePlan* tableNamed(const std::string& name) {
    for (TablePlan& t : plan_.tables)
      if (folded(t.source.name) == folded(name)) return &t;
    return nullptr;
  }

  // Whether the columns are the table's primary key or one of its unique
  // indexes, as a foreign key needs.
  static bool uniquelyKeyed(const jet::TableDef& def, std::vector<int> columns) {
    std::sort(columns.begin(), columns.end());
    for (const jet::Index& i : def.indexes) {
      if (!i.unique) continue;
      std::vector<int> p = positions(i);
      std::sort(p.begin(), p.end());
      if (p == columns) return true;
    }
    return false;
  }

  void addRelationship(const jet::Relationship& r) {
    TablePlan* child = tableNamed(r.table);
    TablePlan* parent = tableNamed(r.referencedTable);
    if (!child && !parent) return;
    const std::string what = "relationship " + r.name + " (" + r.table + " to " + r.referencedTable + ")";
    if (!r.enforced) {
      plan_.notes.push_back("no foreign key for " + what + ": the database doesn't enforce it");
      return;
    }
    if (!child || !parent) {
      plan_.notes.push_back("no foreign key for " + what + ": table " + (child ? r.referencedTable : r.table) +
                            " is not converted");
      return;
    }
    std::vector<int> from, to;
    for (const jet::Relationship::ColumnPair& pair : r.columns) {
      from.push_back(columnNamed(child->source, pair.column));
      to.push_back(columnNamed(parent->source, pair.referencedColumn));
      if (from.back() < 0 || to.back() < 0) {
        plan_.notes.push_back("no foreign key for " + what + ": it names a column its tables lack");
        return;
      }
    }
    if (!uniquelyKeyed(parent->source, to)) {
      plan_.notes.push_back("no foreign key for " + what + ": its columns in " + r.referencedTable +
                            " are neither the primary key nor a unique index");
      return;
    }
    // SQLite looks a referenced table up in the referring table's schema.
    std::string clause = "CONSTRAINT " + quoteName(claim(relations_, r.name, "relationship " + r.name)) + " FOREIGN KEY (" +
                         columnList(*child, from) + ") REFERENCES " + parent->name + " (" +
                         columnList(*parent, to) + ")";
    if (r.cascadeUpdates) clause += " ON UPDATE CASCADE";
    if (r.cascadeDeletes)
      clause += " ON DELETE CASCADE";
    else if (r.cascadeNull)
      clause += " ON DELETE SET NULL";
    if (postgres())
      plan_.foreignKeys.push_back("ALTER TABLE " + child->name + " ADD " + clause);
    else
      tableClauses_[static_cast<std::size_t>(child - plan_.tables.data())].push_back(clause);
    plan_.relationships.push_back({r.name, child->source.name, parent->source.name});
  }

  std::string columnDefinition(TablePlan& t, std::size_t i, const std::vector<bool>& notNull) {
    const jet::Column& c = t.source.columns[i];
    const std::string where = t.source.name + "." + c.name;
    std::string line = t.columns[i] + " " + columnType(c, options_.dialect);
    if (c.autoNumber && c.type == jet::ColumnType::Long) {
      if (postgres()) {
        t.identity = i;
        return line + " GENERATED BY DEFAULT AS IDENTITY";
      }
      if (sqliteRowIdKey(t.source) == &c) return t.columns[i] + " integer PRIMARY KEY AUTOINCREMENT";
      plan_.notes.push_back("autonumber " + where +
                            " is a plain integer: SQLite numbers only a single-column integer primary key");
    }
    if (notNull[i]) line += " NOT NULL";
    jet::Column withDefault = c;
    if (c.autoNumber && c.type == jet::ColumnType::Guid && c.defaultValue.empty()) withDefault.defaultValue = "GenGUID()";
    const TranslatedDefault d = translateDefault(withDefault, options_.dialect);
    if (!d.sql.empty())
      line += " DEFAULT " + d.sql;
    else if (c.type == jet::ColumnType::Boolean)
      line += postgres() ? " DEFAULT false" : " DEFAULT 0";  // Access stores No for a yes/no left out
    if (!d.skipped.empty())
      plan_.notes.push_back("no default for " + where + " (" + withDefault.defaultValue + "): " + d.skipped);
    return line;
  }

  void writeCreate(std::size_t at) {
    TablePlan& t = plan_.tables[at];
    const jet::TableDef& def = t.source;
    // Required columns, and those an index requires (the primary key's).
    std::vector<bool> notNull(def.columns.size());
    for (std::size_t i = 0; i < def.columns.size(); ++i) notNull[i] = !def.columns[i].nullable;
    for (const jet::Index& index : def.indexes)
      if (index.primaryKey || index.required)
        for (const jet::IndexColumn& c : index.columns) notNull[static_cast<std::size_t>(c.column)] = true;

    std::vector<std::string> lines;
    for (std::size_t i = 0; i < def.columns.size(); ++i) lines.push_back(columnDefinition(t, i, notNull));
    for (const std::string& clause : tableClauses_[at]) lines.push_back(clause);
    std::string create = "CREATE TABLE " + t.name + " (";
    for (std::size_t i = 0; i < lines.size(); ++i) create += (i ? ",\n  " : "\n  ") + lines[i];
    t.create.push_back(create + "\n)");
  }

  const jet::Database& db_;
  const PlanOptions& options_;
  NameScope relations_;  // tables, keys, indexes and constraints share one namespace
  SchemaPlan plan_;
  std::vector<std::vector<std::string>> tableClauses_;  // SQLite: keys declared with each table
};

}  // namespace

SchemaPlan planSchema(const jet::Database& db, const PlanOptions& options) { return Planner(db, options).run(); }

std::string continueIdentity(const TablePlan& table, std::int64_t next) {
  return "ALTER TABLE " + table.name + " ALTER COLUMN " + table.columns.at(*table.identity) + " RESTART WITH " +
         std::to_string(next);
}

}  // namespace tabrix::cli
