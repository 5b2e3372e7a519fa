#include "convert_command.h"

#include <cstdio>
#include <unistd.h>

#include "convert.h"
#include "output.h"
#include "postgres_target.h"
#include "schema_sql.h"
#include "sqlite_target.h"
#include "target_address.h"
#include "usage.h"

namespace tabrix::cli {
namespace {

std::vector<std::string> split(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string part = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (part.empty()) throw UsageError();
    parts.push_back(part);
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

void tell(const std::string& line) { std::fprintf(stderr, "tabrix-cli: %s\n", line.c_str()); }

}  // namespace

bool wantsSql(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--sql" || a.starts_with("--sql=")) return true;
  return false;
}

int schemaSqlCommand(const std::vector<std::string>& args, const jet::OpenOptions& options) {
  PlanOptions plan;
  std::vector<std::string> positional;
  bool dialectGiven = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string dialect;
    if (args[i] == "--sql") {
      if (i + 1 >= args.size()) throw UsageError();
      dialect = args[++i];
    } else if (args[i].starts_with("--sql=")) {
      dialect = args[i].substr(6);
    } else {
      positional.push_back(args[i]);
      continue;
    }
    if (dialect == "postgres" || dialect == "postgresql")
      plan.dialect = Dialect::Postgres;
    else if (dialect == "sqlite")
      plan.dialect = Dialect::Sqlite;
    else
      throw UsageError();
    dialectGiven = true;
  }
  if (!dialectGiven || positional.empty() || positional.size() > 2) throw UsageError();
  if (positional.size() == 2) plan.tables.push_back(positional[1]);
  auto db = jet::Database::open(positional[0], options);
  Output out(STDOUT_FILENO);
  printSchemaSql(planSchema(*db, plan), out);
  out.flush();
  return 0;
}

int convertCommand(const std::vector<std::string>& args, const jet::OpenOptions& options) {
  std::vector<std::string> positional, tables;
  bool singleTransaction = true, modeGiven = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--tables") {
      if (i + 1 >= args.size()) throw UsageError();
      tables = split(args[++i]);
    } else if (a.starts_with("--tables=")) {
      tables = split(a.substr(9));
    } else if (a == "--single-transaction" || a == "--per-table") {
      if (modeGiven && singleTransaction != (a == "--single-transaction")) throw UsageError();
      singleTransaction = a == "--single-transaction";
      modeGiven = true;
    } else if (a.starts_with("--")) {
      throw UsageError();
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) throw UsageError();
  TargetAddress address;
  try {
    address = parseTargetAddress(positional[1]);
  } catch (const std::invalid_argument& e) {
    tell(e.what());
    throw UsageError();
  }

  auto db = jet::Database::open(positional[0], options);
  PlanOptions planOptions;
  planOptions.tables = tables;
  planOptions.dialect = std::holds_alternative<SqliteAddress>(address) ? Dialect::Sqlite : Dialect::Postgres;
  if (const auto* pg = std::get_if<PostgresAddress>(&address)) planOptions.schema = pg->schema;
  const SchemaPlan plan = planSchema(*db, planOptions);

  std::unique_ptr<Target> target;
  try {
    if (const auto* sqlite = std::get_if<SqliteAddress>(&address))
      target = std::make_unique<SqliteTarget>(*sqlite);
    else
      target = std::make_unique<PostgresTarget>(std::get<PostgresAddress>(address));
  } catch (const TargetError& e) {
    throw std::runtime_error(e.what());
  }
  for (const std::string& note : plan.notes) tell(note);
  Progress progress(STDERR_FILENO);
  const std::vector<CopiedTable> copied = convert(*db, plan, *target, singleTransaction, progress);
  Output out(STDOUT_FILENO);
  for (const CopiedTable& t : copied) out.put(t.name + "\t" + std::to_string(t.rows) + " rows\n");
  out.flush();
  return 0;
}

}  // namespace tabrix::cli
