#pragma once

#include <string>

#include "objects.h"

namespace jet::sql {

// The kinds of saved query, as the type row of MSysQueries numbers them.
enum class SavedQueryKind {
  Select = 1, MakeTable = 2, Append = 3, Update = 4, Delete = 5,
  Crosstab = 6, DataDefinition = 7, PassThrough = 8, Union = 9,
};

SavedQueryKind savedQueryKind(const SavedQuery& query);

// The Access SQL of a select or union query, rebuilt from its rows of
// MSysQueries. Throws Error naming the query for the kinds that give no
// rows here (crosstab, pass-through, action queries) and for rows that
// make no query.
std::string savedQuerySql(const SavedQuery& query);

}  // namespace jet::sql
