#pragma once

#include <sqlite3.h>

#include <string>

#include "context.h"

namespace jet::sql {

// Registers the module "jet": `CREATE VIRTUAL TABLE x USING jet(name)`
// makes x read the engine's table `name`, row by row as SQLite asks,
// without copying it anywhere.
void registerTableModule(sqlite3* db, Context& context);

// How a column is declared to SQLite: its affinity and, for text, the
// JET collation, so comparisons follow Access.
std::string declaredType(const Column& column);

}  // namespace jet::sql
