#include "index_cursor.h"

#include "jet/error.h"

namespace jet {

IndexContext indexContext(const TableInfo& info, Format format, std::size_t position) {
  IndexContext context;
  context.format = format;
  context.table = info.def.name;
  context.index = info.def.indexes.at(position).name;
  context.definitionPage = info.definitionPage;
  return context;
}

TableIndexCursor::TableIndexCursor(Pager& pager, Format format, std::shared_ptr<const TableInfo> info,
                                   std::size_t position)
    : info_(std::move(info)),
      position_(position),
      columns_(keyColumns(*info_, format, position)),
      reader_(pager, indexContext(*info_, format, position), info_->indexStorage.at(position).firstPage),
      decodedAt_(columns_.size(), 0),
      values_(columns_.size()),
      valueBytes_(columns_.size()) {}

std::vector<std::byte> TableIndexCursor::encode(std::span<const Value> key) const {
  if (key.size() > columns_.size())
    throw Error(ErrorKind::NotFound, "index " + index().name + " of table " + info_->def.name + " has " +
                                         std::to_string(columns_.size()) + " columns, not " + std::to_string(key.size()));
  std::vector<std::byte> bytes;
  for (std::size_t i = 0; i < key.size(); ++i) appendKeyValue(columns_[i], key[i], bytes);
  return bytes;
}

void TableIndexCursor::seek(std::span<const Value> key, bool inclusive) {
  onEntry_ = false;
  ended_ = false;
  if (key.empty()) {
    reader_.rewind();
    return;
  }
  const std::vector<std::byte> bytes = encode(key);
  reader_.seek(bytes, !inclusive);
}

void TableIndexCursor::stopAt(std::span<const Value> key, bool inclusive) {
  end_ = encode(key);
  hasEnd_ = !key.empty();
  endInclusive_ = inclusive;
}

bool TableIndexCursor::next() {
  onEntry_ = false;
  ++entryStamp_;
  if (ended_ || !reader_.next()) return false;
  if (hasEnd_) {
    // Past the end: after the key, or (exclusive) at a key that starts with it.
    const int c = compareKeyStart(reader_.key(), end_);
    ended_ = c > 0 || (c == 0 && !endInclusive_);
    if (ended_) return false;
  }
  onEntry_ = true;
  return true;
}

std::uint64_t TableIndexCursor::bookmark() const { return onEntry_ ? reader_.row() : 0; }

const Value& TableIndexCursor::key(std::size_t column) {
  if (column >= columns_.size())
    throw Error(ErrorKind::NotFound, "index " + index().name + " of table " + info_->def.name + " has no column " +
                                         std::to_string(column));
  if (!onEntry_)
    throw Error(ErrorKind::NotFound, "the cursor over index " + index().name + " of table " + info_->def.name +
                                         " is not on an entry");
  if (decodedAt_[column] == entryStamp_) return values_[column];
  if (splitAt_ != entryStamp_) {
    parts_ = splitKey(columns_, reader_.key());
    if (parts_.empty()) reader_.context().corrupt(reader_.page(), "holds a key that doesn't fit its columns");
    splitAt_ = entryStamp_;
  }
  const std::span<const std::byte> part = reader_.key().subspan(parts_[column], parts_[column + 1] - parts_[column]);
  if (!decodeKeyValue(columns_[column], part, values_[column], valueBytes_[column]))
    reader_.context().corrupt(reader_.page(), "holds a key that doesn't fit its columns");
  decodedAt_[column] = entryStamp_;
  return values_[column];
}

}  // namespace jet
