#pragma once

#include "data/driver.h"

namespace tabrix {

// A column of a type as a driver describes it, for tests of its values.
inline ColumnInfo typedColumn(DataType type, int precision = 0, int scale = 0) {
  ColumnInfo c;
  c.name = "k";
  c.type = type;
  c.precision = precision;
  c.scale = scale;
  return c;
}

}  // namespace tabrix
