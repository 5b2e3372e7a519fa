// tabrix-cli: lists, describes and exports the tables of an Access database,
// and runs Access SQL on it.

#include <cstdio>
#include <exception>
#include <string>
#include <unistd.h>
#include <vector>

#include "convert_command.h"
#include "csv_writer.h"
#include "jet/database.h"
#include "jet/error.h"
#include "output.h"
#include "sql_command.h"
#include "usage.h"

namespace {

using tabrix::cli::CsvWriter;
using tabrix::cli::Output;
using tabrix::cli::UsageError;

constexpr const char* kUsage =
    "usage: tabrix-cli [--password TEXT] tables FILE\n"
    "       tabrix-cli [--password TEXT] schema FILE [TABLE]\n"
    "       tabrix-cli [--password TEXT] schema FILE --sql postgres|sqlite [TABLE]\n"
    "       tabrix-cli [--password TEXT] export FILE TABLE\n"
    "       tabrix-cli [--password TEXT] convert FILE TARGET [--tables A,B,...]\n"
    "                  [--single-transaction|--per-table]\n"
    "       tabrix-cli [--password TEXT] sql FILE STATEMENT\n"
    "\n"
    "tables   one line per catalogue entry: its kind (TABLE, VIEW, SYSTEM TABLE),\n"
    "         a tab, its name.\n"
    "schema   a block per table (blocks apart by an empty line) of tab-separated\n"
    "         lines:\n"
    "           table   NAME\n"
    "           column  NAME TYPE SIZE PRECISION SCALE NULL|NOT NULL [AUTONUMBER]\n"
    "           index   NAME KIND COLUMNS\n"
    "         TYPE is Boolean, Byte, Integer, Long, Currency, Single, Double,\n"
    "         DateTime, Binary, Text, OLE, Memo, Guid or Numeric; SIZE is the\n"
    "         length in characters for Text and in bytes otherwise (0 for Memo\n"
    "         and OLE, which have none); PRECISION and SCALE are a Numeric's digits\n"
    "         in all and after the point, 0 for other types; NOT NULL marks a\n"
    "         required column, AUTONUMBER one the database numbers. KIND is\n"
    "         PRIMARY KEY, UNIQUE, INDEX or FOREIGN KEY (the index a relationship\n"
    "         keeps), followed by IGNORE NULLS when rows whose columns are all\n"
    "         null are left out and REQUIRED when its columns must have values;\n"
    "         COLUMNS are the index's columns in order, separated by \", \", a\n"
    "         descending one followed by DESC.\n"
    "         With --sql, the same structure as SQL for PostgreSQL or SQLite: the\n"
    "         tables, keys, indexes and foreign keys convert creates.\n"
    "export   the table's rows as CSV in UTF-8, a header line first.\n"
    "convert  copies the tables (all, or those of --tables) with their keys,\n"
    "         indexes, defaults and relationships into TARGET:\n"
    "           sqlite:PATH                       a new SQLite file\n"
    "           postgresql://...[?schema=NAME]    a PostgreSQL database; the\n"
    "                                             schema is created if absent\n"
    "         The run is one transaction (--single-transaction, the default);\n"
    "         with --per-table each table is one. A failure leaves no table\n"
    "         half-copied.\n"
    "sql      runs one statement in Access's SQL: a result as CSV as export\n"
    "         writes it, or the number of rows a change affected.\n";

const char* kindName(jet::ObjectKind kind) {
  switch (kind) {
    case jet::ObjectKind::SystemTable: return "SYSTEM TABLE";
    case jet::ObjectKind::Table: return "TABLE";
    case jet::ObjectKind::View: return "VIEW";
  }
  return "";
}

const char* typeName(jet::ColumnType type) {
  using jet::ColumnType;
  switch (type) {
    case ColumnType::Boolean: return "Boolean";
    case ColumnType::Byte: return "Byte";
    case ColumnType::Integer: return "Integer";
    case ColumnType::Long: return "Long";
    case ColumnType::Currency: return "Currency";
    case ColumnType::Single: return "Single";
    case ColumnType::Double: return "Double";
    case ColumnType::DateTime: return "DateTime";
    case ColumnType::Binary: return "Binary";
    case ColumnType::Text: return "Text";
    case ColumnType::OLE: return "OLE";
    case ColumnType::Memo: return "Memo";
    case ColumnType::Guid: return "Guid";
    case ColumnType::Numeric: return "Numeric";
  }
  return "";
}

void tables(const jet::Database& db, Output& out) {
  for (const jet::CatalogueEntry& e : db.catalogue()) {
    out.put(kindName(e.kind));
    out.put('\t');
    out.put(e.name);
    out.put('\n');
  }
}

// One block per table: a "table" line, a line per column (name, type, size,
// precision, scale, nullable, autonumber) and a line per index, tab-separated.
void describe(const jet::TableDef& t, Output& out) {
  out.put("table\t" + t.name + "\n");
  for (const jet::Column& c : t.columns) {
    out.put("column\t" + c.name + "\t" + typeName(c.type) + "\t" + std::to_string(c.size) + "\t" +
            std::to_string(c.precision) + "\t" + std::to_string(c.scale) + "\t" + (c.nullable ? "NULL" : "NOT NULL") +
            (c.autoNumber ? "\tAUTONUMBER" : "") + "\n");
  }
  for (const jet::Index& i : t.indexes) {
    std::string kind = i.primaryKey ? "PRIMARY KEY" : i.foreignKey ? "FOREIGN KEY" : i.unique ? "UNIQUE" : "INDEX";
    if (i.ignoreNulls) kind += " IGNORE NULLS";
    if (i.required) kind += " REQUIRED";
    std::string columns;
    for (const jet::IndexColumn& ic : i.columns) {
      if (!columns.empty()) columns += ", ";
      columns += t.columns.at(static_cast<std::size_t>(ic.column)).name;
      if (!ic.ascending) columns += " DESC";
    }
    out.put("index\t" + i.name + "\t" + kind + "\t" + columns + "\n");
  }
}

void schema(const jet::Database& db, const std::vector<std::string>& args, Output& out) {
  if (args.size() == 3) {
    describe(db.table(args[2]), out);
    return;
  }
  bool first = true;
  for (const jet::CatalogueEntry& e : db.catalogue()) {
    if (e.kind != jet::ObjectKind::Table) continue;
    jet::TableDef t;
    try {
      t = db.table(e.name);
    } catch (const jet::Error& error) {
      if (error.kind() != jet::ErrorKind::Unsupported) throw;
      continue;  // a linked table: nothing here to describe
    }
    if (!first) out.put('\n');
    first = false;
    describe(t, out);
  }
}

void exportTable(const jet::Database& db, const std::string& table, Output& out) {
  auto rows = db.rows(table);
  const jet::TableDef& def = rows->table();
  CsvWriter csv(out);
  csv.header(def);
  const std::size_t columns = def.columns.size();
  while (rows->next()) csv.row(*rows, columns);
}

int run(int argc, char** argv) {
  jet::OpenOptions options;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--password") {
      if (i + 1 >= argc) throw UsageError();
      options.password = argv[++i];
    } else if (a.starts_with("--password=")) {
      options.password = a.substr(11);
    } else if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      args.push_back(a);
    }
  }
  if (args.size() < 2) throw UsageError();
  const std::string& command = args[0];
  if (command == "convert") return tabrix::cli::convertCommand(args, options);
  if (command == "schema" && tabrix::cli::wantsSql(args)) return tabrix::cli::schemaSqlCommand(args, options);
  const bool known = (command == "tables" && args.size() == 2) || (command == "schema" && args.size() <= 3) ||
                     (command == "export" && args.size() == 3) || (command == "sql" && args.size() == 3);
  if (!known) throw UsageError();

  auto db = jet::Database::open(args[1], options);
  Output out(STDOUT_FILENO);
  if (command == "tables")
    tables(*db, out);
  else if (command == "schema")
    schema(*db, args, out);
  else if (command == "sql")
    tabrix::cli::runSql(*db, args[2], out);
  else
    exportTable(*db, args[2], out);
  out.flush();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const UsageError&) {
    std::fputs(kUsage, stderr);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tabrix-cli: %s\n", e.what());
    return 1;
  }
}
