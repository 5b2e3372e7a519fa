#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "index_key.h"
#include "index_reader.h"
#include "jet/index_cursor.h"
#include "table_definition.h"

namespace jet {

class Pager;

// The IndexContext of the index at `position` in info.def.indexes.
IndexContext indexContext(const TableInfo& info, Format format, std::size_t position);

// An IndexCursor over the entries an IndexReader walks: turns key values
// into key bytes for seeks and ends, and key bytes back into values.
class TableIndexCursor final : public IndexCursor {
 public:
  TableIndexCursor(Pager& pager, Format format, std::shared_ptr<const TableInfo> info,
                   std::size_t position);

  const TableDef& table() const override { return info_->def; }
  const Index& index() const override { return info_->def.indexes[position_]; }
  void seek(std::span<const Value> key, bool inclusive) override;
  void stopAt(std::span<const Value> key, bool inclusive) override;
  bool next() override;
  std::uint64_t bookmark() const override;
  const Value& key(std::size_t column) override;

 private:
  std::vector<std::byte> encode(std::span<const Value> key) const;

  std::shared_ptr<const TableInfo> info_;
  std::size_t position_;
  std::vector<KeyColumn> columns_;
  IndexReader reader_;
  bool onEntry_ = false;
  bool ended_ = false;  // past the end stopAt() set, until the next seek
  std::vector<std::byte> end_;
  bool hasEnd_ = false;
  bool endInclusive_ = true;

  std::uint64_t entryStamp_ = 1;
  std::uint64_t splitAt_ = 0;        // the entry stamp parts_ was split for
  std::vector<std::size_t> parts_;  // where each column's part of the key starts
  std::vector<std::uint64_t> decodedAt_;  // the entry stamp each value was decoded for
  std::vector<Value> values_;
  std::vector<std::vector<std::byte>> valueBytes_;  // binary values, per column
};

}  // namespace jet
