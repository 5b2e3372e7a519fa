#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/database.h"
#include "progress.h"
#include "schema_plan.h"
#include "target.h"

namespace tabrix::cli {

struct CopiedTable {
  std::string name;
  std::uint64_t rows = 0;
};

// Creates the plan's structure in the target and copies every table's
// rows, streamed from the engine's cursor. With `singleTransaction` the
// whole run is one transaction; otherwise each table is (its structure,
// rows, keys and indexes), and the foreign keys one more at the end. A
// failure rolls back the transaction it happened in, so no table is left
// half-copied, and throws std::runtime_error naming the table, and the row
// and column where the target said which; jet::Error from the source goes
// on as it is, after the same rollback.
std::vector<CopiedTable> convert(const jet::Database& db, const SchemaPlan& plan, Target& target,
                                 bool singleTransaction, Progress& progress);

}  // namespace tabrix::cli
