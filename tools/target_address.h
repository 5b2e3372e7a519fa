#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace tabrix::cli {

// A new SQLite file: "sqlite:PATH".
struct SqliteAddress {
  std::string path;
};

// A PostgreSQL database: a connection URI for libpq and the schema the
// tables go into (empty: the connection's default, normally public).
struct PostgresAddress {
  std::string uri;     // as given, without the schema parameter
  std::string schema;  // from "?schema=NAME", percent-decoded
};

using TargetAddress = std::variant<SqliteAddress, PostgresAddress>;

// Reads a convert target: "sqlite:PATH", or a "postgresql://" or
// "postgres://" URI whose query may hold "schema=NAME" (taken out: libpq
// doesn't know it). Throws std::invalid_argument with the reason.
TargetAddress parseTargetAddress(std::string_view text);

}  // namespace tabrix::cli
