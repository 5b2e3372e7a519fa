#include "table_cursor.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "bytes.h"
#include "jet/error.h"
#include "page_format.h"
#include "pager.h"
#include "row_format.h"
#include "text_codec.h"

namespace jet {

TableCursor::TableCursor(Pager& pager, Format format, const TextCodec& codec, std::shared_ptr<const TableInfo> info)
    : pager_(pager),
      format_(format),
      codec_(codec),
      info_(std::move(info)),
      pages_(pager, format, info_->usageMap, info_->def.name),
      page_(static_cast<std::size_t>(pager.pageSize())),
      overflow_(static_cast<std::size_t>(pager.pageSize())),
      decodedAt_(info_->def.columns.size(), 0),
      values_(info_->def.columns.size()),
      texts_(info_->def.columns.size()),
      longValues_(info_->def.columns.size()) {
  for (std::size_t i = 0; i < values_.size(); ++i) values_[i].type = info_->storage[i].type;
}

// The next page of the map that is a data page of this table. A map may
// mark pages the table has since given up; those are passed over.
bool TableCursor::loadNextPage() {
  std::uint32_t number;
  while (pages_.next(pager_, number)) {
    pager_.read(number, page_);
    if (getU8(page_.data()) != page::kData || getU32(page_.data() + row::kOwnerOffset) != info_->definitionPage)
      continue;
    pageNumber_ = number;
    rowCount_ = rowCountOf(page_, format_, number);
    nextRow_ = 0;
    return true;
  }
  return false;
}

void TableCursor::followOverflow(std::span<const std::byte> pointerBytes) {
  auto pointerIn = [&](std::span<const std::byte> bytes) {
    if (bytes.size() < 4)
      throw Error(ErrorKind::Corrupt, "an overflowed row of table " + info_->def.name + " has a pointer cut short");
    return getU32(bytes.data());
  };
  // Access moves a row once and points its home at the new place. Longer
  // chains are damage: following them row after row would cost the square
  // of the rows.
  std::array<std::uint32_t, row::kMaxOverflowHops> hops;
  std::uint32_t pointer = pointerIn(pointerBytes);
  for (std::size_t hop = 0;; ++hop) {
    const std::uint32_t number = row::pointerPage(pointer);
    const int target = static_cast<int>(row::pointerRow(pointer));
    const std::span<const std::uint32_t> followed = std::span(hops).first(hop);
    if (std::ranges::find(followed, pointer) != followed.end())
      throw Error(ErrorKind::Corrupt, "the overflowed rows of table " + info_->def.name + " loop at page " +
                                          std::to_string(number));
    if (hop == hops.size())
      throw Error(ErrorKind::Corrupt, "an overflowed row of table " + info_->def.name + " on data page " +
                                          std::to_string(pageNumber_) + " leads on through more than " +
                                          std::to_string(row::kMaxOverflowHops) + " moved rows");
    hops[hop] = pointer;
    pager_.read(number, overflow_);
    if (getU8(overflow_.data()) != page::kData || getU32(overflow_.data() + row::kOwnerOffset) != info_->definitionPage)
      throw Error(ErrorKind::Corrupt, "an overflowed row of table " + info_->def.name + " points to page " +
                                          std::to_string(number) + ", which holds none of its rows");
    // The row pointed to is marked deleted, so that a scan doesn't meet it
    // twice; its bounds are checked all the same.
    RowLocation loc = locateRow(overflow_, format_, target, number);
    requireInBounds(loc, number, target);
    std::span<const std::byte> bytes(overflow_.data() + loc.start, static_cast<std::size_t>(loc.end - loc.start));
    if (!loc.overflow) {
      row_.reset(format_, bytes, info_->varColumnCount, number);
      return;
    }
    pointer = pointerIn(bytes);
  }
}

bool TableCursor::next() {
  ++rowStamp_;
  onRow_ = false;
  for (;;) {
    if (nextRow_ >= rowCount_) {
      if (!loadNextPage()) return false;
      continue;
    }
    const int r = nextRow_++;
    RowLocation loc = locateRow(page_, format_, r, pageNumber_);
    if (loc.deleted) continue;
    requireInBounds(loc, pageNumber_, r);
    std::span<const std::byte> bytes(page_.data() + loc.start, static_cast<std::size_t>(loc.end - loc.start));
    if (loc.overflow)
      followOverflow(bytes);
    else
      row_.reset(format_, bytes, info_->varColumnCount, pageNumber_);
    position_ = {pageNumber_, static_cast<std::uint16_t>(r)};
    onRow_ = true;
    return true;
  }
}

void TableCursor::corrupt(std::size_t column, const std::string& what) const {
  throw Error(ErrorKind::Corrupt, "the value of column " + info_->def.columns[column].name + " of table " +
                                      info_->def.name + " " + what);
}

const Value& TableCursor::value(std::size_t column) {
  if (column >= values_.size())
    throw Error(ErrorKind::NotFound, "Table " + info_->def.name + " has no column " + std::to_string(column) + ".");
  if (!onRow_) throw Error(ErrorKind::NotFound, "The cursor over table " + info_->def.name + " is not on a row.");
  Value& v = values_[column];
  if (decodedAt_[column] != rowStamp_) {
    decode(column, v);
    decodedAt_[column] = rowStamp_;
  }
  return v;
}

std::uint64_t TableCursor::bookmark() const {
  if (!onRow_) throw Error(ErrorKind::NotFound, "the cursor over table " + info_->def.name + " is not on a row");
  if (position_.row > 0xFF)
    throw Error(ErrorKind::Corrupt, "data page " + std::to_string(position_.page) + " lists a row numbered " +
                                        std::to_string(position_.row) + ", beyond the 256 a row pointer can reach");
  return (std::uint64_t(position_.page) << 8) | position_.row;
}

void TableCursor::decode(std::size_t column, Value& v) {
  const ColumnStorage& c = info_->storage[column];
  const bool present = row_.present(c);
  if (c.type == ColumnType::Boolean) {
    v.null = false;
    v.boolean = present;
    return;
  }
  v.null = true;
  if (!present) return;
  auto stored = row_.valueBytes(c);
  if (!stored) return;
  std::span<const std::byte> b = *stored;
  const int size = fixedSizeOf(c.type);
  if (size != 0 && b.size() != static_cast<std::size_t>(size))
    corrupt(column, "has " + std::to_string(b.size()) + " bytes where its type has " + std::to_string(size));
  const std::byte* p = b.data();
  v.null = false;
  switch (c.type) {
    case ColumnType::Boolean: break;
    case ColumnType::Byte: v.integer = getU8(p); break;
    case ColumnType::Integer: v.integer = getI16(p); break;
    case ColumnType::Long: v.integer = getI32(p); break;
    case ColumnType::Currency: v.integer = getI64(p); break;
    case ColumnType::Single: v.real = getF32(p); break;
    case ColumnType::Double:
    case ColumnType::DateTime: v.real = getF64(p); break;
    case ColumnType::Guid: std::memcpy(v.guid.data(), p, v.guid.size()); break;
    case ColumnType::Numeric: {
      // A sign byte, then the 128-bit magnitude as four little-endian
      // words, the most significant first.
      if (getU32(p + 1) != 0) corrupt(column, "is a decimal number beyond 28 digits");
      v.decimal.negative = (getU8(p) & 0x80) != 0;
      v.decimal.scale = static_cast<std::uint8_t>(info_->def.columns[column].scale);
      v.decimal.magnitude = {getU32(p + 13), getU32(p + 9), getU32(p + 5)};
      break;
    }
    case ColumnType::Text:
      codec_.decode(b, texts_[column]);
      v.text = texts_[column];
      break;
    case ColumnType::Binary: v.bytes = b; break;
    case ColumnType::Memo:
      codec_.decode(longValues_[column].read(pager_, format_, b, info_->def.name, info_->def.columns[column].name),
                    texts_[column]);
      v.text = texts_[column];
      break;
    case ColumnType::OLE:
      v.bytes = longValues_[column].read(pager_, format_, b, info_->def.name, info_->def.columns[column].name);
      break;
  }
}

}  // namespace jet
