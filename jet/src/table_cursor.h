#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "jet/database.h"
#include "long_value.h"
#include "row.h"
#include "table_definition.h"
#include "usage_map.h"

namespace jet {

class Pager;
class TextCodec;

// Where a row lives: the data page and row number of its header (an
// overflowed row's data lies elsewhere, but it is known by its header).
struct RowId {
  std::uint32_t page = 0;
  std::uint16_t row = 0;
};

// Walks a table's data pages in the order of its page map and the rows on
// each page in their order, skipping deleted rows and following overflowed
// ones. Reads one data page at a time into its own buffer; decodes a value
// only when asked, once per row. Borrows the pager and codec.
class TableCursor final : public RowCursor {
 public:
  TableCursor(Pager& pager, Format format, const TextCodec& codec, std::shared_ptr<const TableInfo> info);

  const TableDef& table() const override { return info_->def; }
  bool next() override;
  const Value& value(std::size_t column) override;
  std::uint64_t bookmark() const override;

  // The current row's identity; meaningful after next() returned true.
  RowId position() const { return position_; }

 private:
  bool loadNextPage();
  void followOverflow(std::span<const std::byte> pointerBytes);
  void decode(std::size_t column, Value& v);
  [[noreturn]] void corrupt(std::size_t column, const std::string& what) const;

  Pager& pager_;
  Format format_;
  const TextCodec& codec_;
  std::shared_ptr<const TableInfo> info_;
  UsageMap pages_;

  std::vector<std::byte> page_;      // the data page being walked
  std::vector<std::byte> overflow_;  // the page an overflowed row's data lies on
  std::uint32_t pageNumber_ = 0;
  int rowCount_ = 0;
  int nextRow_ = 0;
  bool onRow_ = false;
  RowId position_;
  RowView row_;

  std::uint64_t rowStamp_ = 1;
  std::vector<std::uint64_t> decodedAt_;  // the row stamp each value was decoded for
  std::vector<Value> values_;
  std::vector<std::u16string> texts_;           // per column, reused from row to row
  std::vector<LongValueReader> longValues_;    // per column
};

}  // namespace jet
