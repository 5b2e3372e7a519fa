#pragma once

#include <sqlite3.h>

#include "context.h"

namespace jet::sql {

// Throws for a failed SQLite call: the error kept in the context when
// there is one (the engine's, a function's), else one of our own words for
// what SQLite reported. SQLite's own message never reaches the user.
[[noreturn]] void raise(Context& context, sqlite3* db, int code, const char* doing);

}  // namespace jet::sql
