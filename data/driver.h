#pragma once

#include <vector>

#include "data/connection.h"

namespace tabrix {

// What the data access component needs of a database: the catalogue, rows
// read into a sink, and row writes. A driver reports every failure as a
// ProviderError with its own text.
class Driver {
 public:
  virtual ~Driver() = default;

  // Every catalogue row, in the driver's order.
  virtual std::vector<CatalogueRow> catalogue() = 0;
};

}  // namespace tabrix
