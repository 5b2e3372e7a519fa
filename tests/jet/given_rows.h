#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "jet/database.h"

namespace jettest {

// A cursor over rows given in the test, for code that reads any RowCursor.
class GivenRows : public jet::RowCursor {
 public:
  GivenRows(jet::TableDef table, std::vector<std::vector<jet::Value>> rows)
      : table_(std::move(table)), rows_(std::move(rows)) {}
  const jet::TableDef& table() const override { return table_; }
  bool next() override { return ++at_ < static_cast<int>(rows_.size()); }
  const jet::Value& value(std::size_t column) override { return rows_[static_cast<std::size_t>(at_)][column]; }
  // A row cursor names each row by a bookmark; here the row's place is it.
  std::uint64_t bookmark() const override { return static_cast<std::uint64_t>(at_); }

 private:
  jet::TableDef table_;
  std::vector<std::vector<jet::Value>> rows_;
  int at_ = -1;
};

}  // namespace jettest
