#include "long_value.h"

#include <algorithm>

#include "bytes.h"
#include "jet/error.h"
#include "long_value_format.h"
#include "page_format.h"
#include "pager.h"
#include "row.h"
#include "row_format.h"

namespace jet {
namespace {

[[noreturn]] void corrupt(const std::string& table, const std::string& column, const std::string& what) {
  throw Error(ErrorKind::Corrupt, "the long value in column " + column + " of table " + table + " " + what);
}

}  // namespace

std::span<const std::byte> LongValueReader::read(Pager& pager, Format format, std::span<const std::byte> reference,
                                                 const std::string& table, const std::string& column) {
  if (reference.size() < lval::kReferenceSize) corrupt(table, column, "has a reference that is cut short");
  const std::uint32_t word = getU32(reference.data() + lval::kLengthOffset);
  const std::size_t length = word & lval::kLengthMask;

  if (word & lval::kInline) {
    if (length > reference.size() - lval::kReferenceSize) corrupt(table, column, "is shorter than its declared length");
    return reference.subspan(lval::kReferenceSize, length);
  }

  // A row of a long-value page, checked before its bytes are used.
  auto rowAt = [&](std::uint32_t pointer, std::span<const std::byte>& page) -> RowLocation {
    const std::uint32_t number = row::pointerPage(pointer);
    page = pager.fetch(number);
    if (getU8(page.data()) != page::kData)
      corrupt(table, column, "points to page " + std::to_string(number) + ", which holds no long values");
    RowLocation loc = locateRow(page, format, static_cast<int>(row::pointerRow(pointer)), number);
    if (loc.deleted) corrupt(table, column, "points to a deleted row on page " + std::to_string(number));
    requireInBounds(loc, number, static_cast<int>(row::pointerRow(pointer)));
    return loc;
  };

  std::uint32_t pointer = getU32(reference.data() + lval::kPointerOffset);
  if (word & lval::kSingleRow) {
    std::span<const std::byte> page;
    RowLocation loc = rowAt(pointer, page);
    if (static_cast<std::size_t>(loc.end - loc.start) < length) corrupt(table, column, "is shorter than its declared length");
    buffer_.assign(page.begin() + loc.start, page.begin() + loc.start + static_cast<std::ptrdiff_t>(length));
    return buffer_;
  }

  // A chain of rows. The declared length is a claim: it can't exceed the
  // file, and the buffer grows with the parts actually read, so a damaged
  // length costs no more memory than the chain really holds.
  if (length > static_cast<std::uint64_t>(pager.pageCount()) * static_cast<std::uint64_t>(pager.pageSize()))
    corrupt(table, column, "declares a length larger than the file");
  buffer_.clear();
  seen_.clear();
  while (buffer_.size() < length) {
    if (row::pointerPage(pointer) == 0) corrupt(table, column, "ends before its declared length");
    if (!seen_.insert(pointer).second)
      throw Error(ErrorKind::Corrupt, "the long value chain of column " + column + " of table " + table +
                                          " loops at page " + std::to_string(row::pointerPage(pointer)));
    std::span<const std::byte> page;
    RowLocation loc = rowAt(pointer, page);
    std::size_t size = static_cast<std::size_t>(loc.end - loc.start);
    if (size < lval::kChainHeader) corrupt(table, column, "has a part too short to hold its link");
    const std::byte* part = page.data() + loc.start;
    const std::size_t piece = std::min(size - lval::kChainHeader, length - buffer_.size());
    buffer_.insert(buffer_.end(), part + lval::kChainHeader, part + lval::kChainHeader + piece);
    pointer = getU32(part);
  }
  return buffer_;
}

}  // namespace jet
