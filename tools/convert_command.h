#pragma once

#include <string>
#include <vector>

#include "jet/database.h"

namespace tabrix::cli {

// tabrix-cli convert FILE TARGET [--tables A,B,...] [--single-transaction|--per-table]
// `args` starts with "convert". Copies, reports each table's rows on
// standard output and what it left out on standard error. Returns the exit
// status; throws UsageError, and what the conversion throws.
int convertCommand(const std::vector<std::string>& args, const jet::OpenOptions& options);

// tabrix-cli schema FILE --sql postgres|sqlite [TABLE]: the structure a
// conversion creates, as DDL on standard output. `args` starts with
// "schema". Throws UsageError, jet::Error.
int schemaSqlCommand(const std::vector<std::string>& args, const jet::OpenOptions& options);

// Whether a schema command asks for SQL.
bool wantsSql(const std::vector<std::string>& args);

}  // namespace tabrix::cli
