#pragma once

#include "output.h"
#include "schema_plan.h"

namespace tabrix::cli {

// Prints a plan as SQL DDL, each statement ended by ";": the notes as
// comments first, then each table with its keys and indexes, then the
// foreign keys. Running it creates the structure a conversion creates,
// without the rows.
void printSchemaSql(const SchemaPlan& plan, Output& out);

}  // namespace tabrix::cli
