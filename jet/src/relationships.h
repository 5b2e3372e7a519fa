#pragma once

#include <vector>

#include "jet/database.h"
#include "jet/schema.h"

namespace jet {

// Reads the relationships from a cursor over MSysRelationships (or any
// table with its columns): gathers each relationship's rows, orders its
// column pairs by their position and checks that they agree with each
// other. Ordered by name without regard to case. Throws Error(Corrupt) for
// rows that contradict each other or a column the table lacks.
std::vector<Relationship> readRelationships(RowCursor& rows);

}  // namespace jet
