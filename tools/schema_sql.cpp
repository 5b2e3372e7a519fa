#include "schema_sql.h"

namespace tabrix::cli {
namespace {

void statements(const std::vector<std::string>& list, Output& out) {
  for (const std::string& s : list) {
    out.put(s);
    out.put(";\n");
  }
}

}  // namespace

void printSchemaSql(const SchemaPlan& plan, Output& out) {
  for (const std::string& note : plan.notes) {
    out.put("-- ");
    out.put(note);
    out.put('\n');
  }
  if (!plan.notes.empty()) out.put('\n');
  statements(plan.prelude, out);
  for (std::size_t i = 0; i < plan.tables.size(); ++i) {
    if (i || !plan.prelude.empty()) out.put('\n');
    statements(plan.tables[i].create, out);
    statements(plan.tables[i].indexes, out);
  }
  if (!plan.foreignKeys.empty()) out.put('\n');
  statements(plan.foreignKeys, out);
}

}  // namespace tabrix::cli
