#pragma once

#include <string>

#include "jet/schema.h"
#include "sql_text.h"

namespace tabrix::cli {

// The target's type for a column:
//   Text(n)      varchar(n)                 Memo          text
//   Byte         smallint                   Integer       smallint
//   Long         integer                    Single        real
//   Double       double precision           Currency      numeric(19,4)
//   Numeric(p,s) numeric(p,s)               DateTime      timestamp
//   Boolean      boolean                    Guid          uuid
//   Binary, OLE  bytea
// SQLite takes the same names where they give the right affinity (so a
// decimal is a number there, to 15 significant digits), blob for binary and
// guid for a GUID kept as its text.
std::string columnType(const jet::Column& column, Dialect dialect);

}  // namespace tabrix::cli
