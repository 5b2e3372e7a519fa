#include "row.h"

#include "bytes.h"
#include "jet/error.h"
#include "row_format.h"

namespace jet {
namespace {

const row::PageLayout& pageLayout(Format format) { return format == Format::Jet3 ? row::kJet3Page : row::kJet4Page; }

[[noreturn]] void pageCorrupt(std::uint32_t page, const std::string& what) {
  throw Error(ErrorKind::Corrupt, "data page " + std::to_string(page) + " " + what);
}

}  // namespace

int rowCountOf(std::span<const std::byte> page, Format format, std::uint32_t pageNumber) {
  const row::PageLayout& L = pageLayout(format);
  int count = getU16(page.data() + L.rowCount);
  if (static_cast<std::size_t>(L.rowTable + 2 * count) > page.size())
    pageCorrupt(pageNumber, "claims " + std::to_string(count) + " rows, more than the page can hold");
  return count;
}

RowLocation locateRow(std::span<const std::byte> page, Format format, int row, std::uint32_t pageNumber) {
  const row::PageLayout& L = pageLayout(format);
  const int count = rowCountOf(page, format, pageNumber);
  if (row < 0 || row >= count)
    pageCorrupt(pageNumber, "has no row " + std::to_string(row) + " (it holds " + std::to_string(count) + ")");
  std::uint16_t raw = getU16(page.data() + L.rowTable + 2 * row);
  RowLocation loc;
  loc.deleted = (raw & row::kDeleted) != 0;
  loc.overflow = (raw & row::kOverflow) != 0;
  loc.start = raw & row::kOffsetMask;
  // Rows are stacked from the page's end down: a row ends where the one
  // before it in the table starts.
  loc.end = row == 0 ? static_cast<std::uint16_t>(page.size())
                     : static_cast<std::uint16_t>(getU16(page.data() + L.rowTable + 2 * (row - 1)) & row::kOffsetMask);
  const std::size_t tableEnd = static_cast<std::size_t>(L.rowTable + 2 * count);
  loc.inBounds = loc.start >= tableEnd && loc.start <= loc.end && loc.end <= page.size();
  return loc;
}

void requireInBounds(const RowLocation& location, std::uint32_t pageNumber, int row) {
  if (!location.inBounds) pageCorrupt(pageNumber, "places row " + std::to_string(row) + " outside its row area");
}

void RowView::corrupt(const std::string& what) const {
  throw Error(ErrorKind::Corrupt, "a row on data page " + std::to_string(page_) + " " + what);
}

void RowView::reset(Format format, std::span<const std::byte> row, std::uint16_t tableVarColumns,
                    std::uint32_t pageNumber) {
  format_ = format;
  row_ = row.data();
  size_ = row.size();
  page_ = pageNumber;
  countSize_ = format == Format::Jet3 ? row::kJet3CountSize : row::kJet4CountSize;
  if (size_ < countSize_) corrupt("is too short to hold its column count");
  columnCount_ = format == Format::Jet3 ? getU8(row_) : getU16(row_);
  const std::size_t maskSize = (columnCount_ + 7u) / 8u;
  if (size_ < countSize_ + maskSize) corrupt("is too short to hold its null mask");
  nullMask_ = row_ + size_ - maskSize;
  varCount_ = 0;
  dataEnd_ = size_ - maskSize;
  if (tableVarColumns == 0) return;

  if (format == Format::Jet4) {
    if (size_ < countSize_ + maskSize + 2) corrupt("is too short to hold its variable-length column count");
    varCount_ = getU16(row_ + size_ - maskSize - 2);
    const std::size_t tableSize = 2 * (varCount_ + 1);
    if (size_ < countSize_ + maskSize + 2 + tableSize) corrupt("is too short to hold its variable-length offsets");
    dataEnd_ = size_ - maskSize - 2 - tableSize;
    varTable_ = row_ + size_ - maskSize - 2 - 2;  // entry 0; entry k lies 2*k bytes lower
  } else {
    readJet3Offsets();
  }
}

// Jet 3 offsets are single bytes. Past 255 bytes a jump table, stored just
// before the variable-length count, lists the columns at which each further
// 256-byte span begins; it has one entry per started span of the row, the
// last of which may be a dummy.
void RowView::readJet3Offsets() {
  const long maskSize = static_cast<long>((columnCount_ + 7u) / 8u);
  const long size = static_cast<long>(size_);
  if (size < static_cast<long>(countSize_) + maskSize + 1) corrupt("is too short to hold its variable-length column count");
  varCount_ = getU8(row_ + size - maskSize - 1);
  const long varCount = static_cast<long>(varCount_);
  long jumps = (size - 1) / row::kJet3JumpSpan;
  const long offsetsEnd = size - maskSize - jumps - 2;  // offset of the first entry; later ones lie lower
  if (offsetsEnd - varCount < static_cast<long>(countSize_)) corrupt("is too short to hold its variable-length offsets");
  if ((offsetsEnd - varCount) / row::kJet3JumpSpan < jumps) --jumps;
  long used = 0;
  for (long i = 0; i <= varCount; ++i) {
    while (used < jumps && i == getU8(row_ + size - maskSize - 2 - used)) ++used;
    jet3Offsets_[i] = static_cast<std::uint16_t>(getU8(row_ + offsetsEnd - i) + used * row::kJet3JumpSpan);
  }
  dataEnd_ = static_cast<std::size_t>(offsetsEnd - varCount);
}

std::optional<std::span<const std::byte>> RowView::valueBytes(const ColumnStorage& column) const {
  std::size_t start, end;
  if (column.fixed) {
    start = countSize_ + column.fixedOffset;
    end = start + column.length;
  } else {
    if (column.varIndex >= varCount_) return std::nullopt;  // written before the column existed
    if (format_ == Format::Jet4) {
      start = getU16(varTable_ - 2 * column.varIndex);
      end = getU16(varTable_ - 2 * (column.varIndex + 1));
    } else {
      start = jet3Offsets_[column.varIndex];
      end = jet3Offsets_[column.varIndex + 1];
    }
    if (start < countSize_) corrupt("places a value over its column count");
  }
  if (start > end || end > dataEnd_) corrupt("places a value outside the row");
  return std::span<const std::byte>(row_ + start, end - start);
}

}  // namespace jet
